// Showing only what changed must show exactly what redrawing everything shows. Random
// seeded flights are flown twice, once the usual way (surfaces track their damage, the
// window composes and presents only that) and once redrawing every pixel of every frame,
// and the window's composed image must be the same after every frame.

#include "platform/forms/Form.h"
#include "platform/forms/Random.h"
#include "tests/ui/ProgramHarness.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

namespace oz {
namespace {

using test::ProgramHarness;

std::size_t Fingerprint(const Bitmap& image, const IntRect& at) {
    const std::string_view pixels(reinterpret_cast<const char*>(image.Data()),
                                  sizeof(Pixel) * image.Width() * image.Height());
    std::size_t h = std::hash<std::string_view>{}(pixels);
    for (int v : {at.left, at.top, image.Width(), image.Height()})
        h = h * 1099511628211ULL ^ static_cast<std::uint32_t>(v);
    return h;
}

struct Flight {
    std::vector<std::size_t> frames; // the composed window after each frame
    int windowFrames = 0;
};

// Flight keys held and let go, F1, P, star count and brightness in full screen; Enter and
// a double click between the modes every 75 frames; in window mode presses and drags
// anywhere on the panel (the four sliders, the joystick, the wheel, the arrow, labels and
// the background, which drags the window).
Flight Fly(std::uint64_t seed, bool fullRedraw, int frames) {
    constexpr std::int16_t kKeys[] = {37, 38, 39, 40, 'A', 'D', 'W', 'S', 'E', 'Q', 'R', 'F'};
    Form::SetFullRedraw(fullRedraw);
    ResetRnd();
    Flight flight;
    ProgramHarness h;
    UniformRandom dice(seed);
    auto pick = [&dice](int n) { return static_cast<int>(dice.Next() * static_cast<float>(n)); };
    std::int16_t held = 0;
    bool dragging = false;
    int x = 0, y = 0;
    auto tap = [&h](std::int16_t key) {
        h.screen.KeyDown(key);
        h.screen.KeyUp(key);
    };
    h.Run(
        [&](int frame, Form1& p) {
            Form& window = p.Window();
            flight.frames.push_back(Fingerprint(window.Image(), window.PixelRect()));
            const IntRect at = window.PixelRect();
            const float r = dice.Next();
            const bool switchMode = frame % 75 == 0;
            if (p.FullScreen) {
                if ((switchMode || r < 0.15f) && held != 0)
                    h.screen.KeyUp(held);
                if (switchMode) {
                    held = 0;
                    tap(13);
                } else if (r < 0.15f) {
                    held = held != 0 ? 0 : kKeys[pick(12)];
                    if (held != 0)
                        h.screen.KeyDown(held);
                } else if (r < 0.19f) {
                    tap(r < 0.17f ? 112 : 'P');
                } else if (r < 0.21f) {
                    p.StarCount = pick(2001);
                    p.Brightness = 0.2f + 0.1f * static_cast<float>(pick(29));
                }
                return;
            }
            ++flight.windowFrames;
            if (switchMode) {
                if (dragging)
                    h.screen.MouseUp(at.left + x, at.top + y);
                dragging = false;
                h.screen.DoubleClick(at.left + 400, at.top + 250);
            } else if (dragging) {
                x += pick(41) - 20;
                y += pick(21) - 10;
                h.screen.MouseMove(at.left + x, at.top + y, vbLeftButton);
                if (r < 0.2f) {
                    h.screen.MouseUp(at.left + x, at.top + y);
                    dragging = false;
                }
            } else if (r < 0.4f) {
                x = 5 + pick(790);
                y = 505 + pick(90);
                h.screen.MouseDown(at.left + x, at.top + y);
                dragging = true;
            }
        },
        frames);
    Form::SetFullRedraw(false);
    return flight;
}

TEST(Redraw, OnlyWhatChangedShowsWhatRedrawingEverythingShowsInEveryFrame) {
    for (std::uint64_t seed : {1u, 2u, 3u}) {
        const Flight fast = Fly(seed, false, 300);
        const Flight full = Fly(seed, true, 300);
        ASSERT_EQ(fast.frames.size(), full.frames.size()) << "seed " << seed;
        EXPECT_EQ(fast.windowFrames, 150) << "seed " << seed; // both modes flown
        for (size_t i = 0; i < fast.frames.size(); ++i)
            ASSERT_EQ(fast.frames[i], full.frames[i]) << "seed " << seed << ", frame " << i + 1;
    }
}

} // namespace
} // namespace oz
