// A host that owns the loop (a web page's animation frames) runs the program a frame at
// a time: it must fly exactly the frames the program's own loop flies.

#include "platform/forms/Random.h"
#include "tests/ui/ProgramHarness.h"

#include <gtest/gtest.h>

#include <vector>

namespace oz::test {
namespace {

// Input for both runs: full screen keys, a switch to window mode, a slider press, the close
// button.
void Fly(int frame, HeadlessBackend& screen) {
    switch (frame) {
    case 3:
        screen.KeyDown('R');
        screen.KeyDown(112);
        break; // F1
    case 20:
        screen.KeyUp('R');
        screen.KeyUp(112);
        break;
    case 30:
        screen.DoubleClick(500, 400);
        break;
    case 40:
        screen.MouseDown(355, 665);
        break;
    case 50:
        screen.MouseUp(355, 665);
        break;
    case 70:
        screen.Click(112 + 796, 84 + 4);
        break; // the close button
    default:
        break;
    }
}

std::vector<Bitmap> Frames(bool stepped) {
    ResetRnd();
    ProgramHarness h;
    std::vector<Bitmap> shots;
    h.screen.OnDispatch = [&](int frame) {
        if (frame < 1)
            return;
        shots.push_back(h.screen.Screenshot());
        Fly(frame, h.screen);
    };
    Form1 program;
    if (!stepped) {
        program.Run();
        return shots;
    }
    program.Start();
    EXPECT_TRUE(shots.empty()); // no frame before the host asks for one
    int frames = 0;
    while (program.RunFrame())
        EXPECT_LT(++frames, 200) << "the close button did not end the flight";
    EXPECT_FALSE(program.RunFrame()); // ended for good
    return shots;
}

TEST(SteppedRun, FliesTheFramesOfTheProgramsOwnLoop) {
    const std::vector<Bitmap> own = Frames(false);
    const std::vector<Bitmap> stepped = Frames(true);
    ASSERT_EQ(own.size(), 70u);
    ASSERT_EQ(stepped.size(), own.size());
    for (size_t i = 0; i < own.size(); ++i)
        ASSERT_TRUE(std::equal(own[i].Data(), own[i].Data() + own[i].Width() * own[i].Height(),
                               stepped[i].Data()))
            << "frame " << i + 1;
}

} // namespace
} // namespace oz::test
