#pragma once
// The command line of ozmir.

#include "ui/StartSettings.h"

#include <optional>
#include <string>
#include <vector>

namespace oz {

struct Options {
    bool Help = false;
    bool Version = false;
    StartSettings Start;
    std::optional<int> Display;          // SDL's display number
    bool Root = false;                   // draw into the real root window
    std::optional<unsigned long> Window; // draw into this window
    bool WindowFromHost = false;         // that window came from XSCREENSAVER_WINDOW
};

// Reads the arguments (without the program's name) and the XSCREENSAVER_WINDOW variable
// (null when unset). False, with one line naming the option in `error`, when an option is
// unknown or a value is missing, malformed or out of range.
//
// The window follows XScreenSaver's convention: --window-id names it; otherwise --root
// means XScreenSaver's own window when XSCREENSAVER_WINDOW is set (its virtual root,
// which covers the real one), and the real root window when it is not; without either
// option the variable alone names the window.
bool ParseOptions(const std::vector<std::string>& args, const char* screensaverWindow,
                  Options& options, std::string& error);

// Every option, for --help.
std::string UsageText();
// "ozmir 1.0.0".
std::string VersionText();

} // namespace oz
