#pragma once
// How the main window starts when the command line asks for more than its defaults.

#include <cstdint>
#include <optional>

namespace oz {

struct StartSettings {
    std::optional<float> SpeedLabel; // the speed as its panel label shows it, 0 to 50
    std::optional<std::int32_t> Stars;
    std::optional<float> Brightness;
    bool ShowFps = false;
    bool Autopilot = false;
    // Drawing into another program's window: full-screen flight only, without the start-up
    // hint, following the window's size.
    bool Screensaver = false;
    // At most this many frames a second (1 to kMaxFpsLimit). Unset: no cap, or in screensaver
    // mode the display's refresh rate (kUnknownRefreshRate when the display does not say).
    std::optional<int> MaxFps;
};

constexpr int kMaxFpsLimit = 1000;
constexpr int kUnknownRefreshRate = 60;

} // namespace oz
