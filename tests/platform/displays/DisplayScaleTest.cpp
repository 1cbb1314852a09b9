// Window mode on a high-density display: the scale chosen, where the window goes, and the
// enlarged frame it shows.

#include "platform/displays/DisplayScale.h"

#include <gtest/gtest.h>

#include <string>
#include <tuple>
#include <utility>

namespace oz {
namespace {

TEST(DisplayScale, ComesFromTheVariableOrTheDpiAndStillFitsTheWindow) {
    // The variable, the DPI, the screen, the scale, and whether the variable is ignored, with
    // one line saying so.
    const std::tuple<const char*, float, int, int, int, bool> cases[] = {
        {nullptr, 0, 3840, 2160, 1, false},   // DPI unknown
        {nullptr, 144, 3840, 2160, 1, false}, // 1.5 is not a whole scale
        {nullptr, 180, 3840, 2160, 2, false}, // close enough to 2
        {nullptr, 300, 3840, 2160, 3, false}, // 3 × 800 × 600 still fits
        {nullptr, 400, 3840, 2160, 3, false}, // 4 would not
        {nullptr, 192, 1024, 768, 1, false},  // 1600 × 1200 would not fit
        {"2", 96, 3840, 2160, 2, false},      // the variable decides
        {"1", 192, 3840, 2160, 1, false},     // also downwards
        {"8", 96, 1920, 1200, 2, false},      // but the window must fit
        {"8", 96, 1600, 1200, 2, false},      // exactly
        {"0", 192, 3840, 2160, 2, true},      // out of range: ignored, with a warning
        {"9", 96, 3840, 2160, 1, true},       {"-1", 96, 3840, 2160, 1, true},
        {"2.5", 192, 3840, 2160, 2, true}, // malformed: ignored, with a warning
        {"2x", 96, 3840, 2160, 1, true},      {" 2", 96, 3840, 2160, 1, true},
        {"", 192, 3840, 2160, 2, false}, // empty is unset: no warning
    };
    for (auto [env, dpi, width, height, scale, warns] : cases) {
        std::string warning;
        const int chosen = DesktopScale(env, dpi, width, height, 800, 600, &warning);
        EXPECT_EQ(std::pair(chosen, !warning.empty()), std::pair(scale, warns))
            << (env ? env : "(unset)") << " " << dpi << " " << width << ": " << warning;
    }
    // The warning is one line that shows the value, harmless and short.
    std::string warning;
    DesktopScale("3\n\x1b[2J", 96, 3840, 2160, 800, 600, &warning);
    EXPECT_EQ(warning, "OZMIR_SCALE '3\\x0a\\x1b[2J' ignored: want a whole number from 1 to 8");
}

TEST(DisplayScale, TheWindowMovesByWholeScaledPixelsAndEachFramePixelIsASquare) {
    // The 800 × 600 window centred on a 3840 × 2160 display, and one logical pixel off.
    const IntRect centred{1520, 780, 2320, 1380};
    EXPECT_EQ(PhysicalWindowRect(centred, 3840, 2160, 1), centred);
    EXPECT_EQ(PhysicalWindowRect(centred, 3840, 2160, 2), (IntRect{1120, 480, 2720, 1680}));
    EXPECT_EQ(PhysicalWindowRect(centred.Translated(1, -1), 3840, 2160, 2),
              (IntRect{1122, 478, 2722, 1678}));

    // A known frame, every pixel a different colour, shown in two regions, the second
    // partly outside it; nothing to show for a region wholly outside.
    Bitmap frame(5, 4);
    for (int i = 0; i < 20; ++i)
        frame.Data()[i] = static_cast<Pixel>(i + 1);
    Bitmap shown(10, 8, 0xFFFFFF);
    EXPECT_EQ(ScaleRegion(frame, {1, 1, 3, 3}, 2, shown), (IntRect{2, 2, 6, 6}));
    EXPECT_EQ(ScaleRegion(frame, {4, 3, 9, 9}, 2, shown), (IntRect{8, 6, 10, 8}));
    EXPECT_TRUE(ScaleRegion(frame, {6, 0, 8, 2}, 2, shown).IsEmpty());
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 10; ++x) {
            const bool shownHere = (x >= 2 && x < 6 && y >= 2 && y < 6) || (x >= 8 && y >= 6);
            EXPECT_EQ(shown.Get(x, y), shownHere ? frame.Get(x / 2, y / 2) : 0xFFFFFF)
                << x << "," << y;
        }
}

} // namespace
} // namespace oz
