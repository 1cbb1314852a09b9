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
    for (std::int16_t key : {82, 112}) // R and F1
        if (frame == 3 || frame == 20)
            frame == 3 ? screen.KeyDown(key) : screen.KeyUp(key);
    if (frame == 30)
        screen.DoubleClick(500, 400);
    if (frame == 40 || frame == 50)
        frame == 40 ? screen.MouseDown(355, 665) : screen.MouseUp(355, 665);
    if (frame == 70)
        screen.Click(112 + 796, 84 + 4); // the close button
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
