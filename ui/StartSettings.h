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
};

} // namespace oz
