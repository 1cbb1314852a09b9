#include "ui/Options.h"

#include "platform/forms/Printable.h"

#include <cerrno>
#include <cstdlib>

#ifndef OZMIR_VERSION
#define OZMIR_VERSION "unknown"
#endif

namespace oz {

namespace {

// Digits with at most one decimal point and at least one digit; nothing else.
bool ParseDecimal(const std::string& text, double& value) {
    bool digit = false, point = false;
    for (char c : text) {
        if (c >= '0' && c <= '9')
            digit = true;
        else if (c == '.' && !point)
            point = true;
        else
            return false;
    }
    if (!digit || text.size() > 16)
        return false;
    value = std::strtod(text.c_str(), nullptr);
    return true;
}

bool ParseWhole(const std::string& text, long low, long high, long& value) {
    if (text.empty() || text.size() > 9 ||
        text.find_first_not_of("0123456789") != std::string::npos)
        return false;
    value = std::strtol(text.c_str(), nullptr, 10);
    return value >= low && value <= high;
}

// A window id: decimal, or hexadecimal after 0x; X ids fit in 32 bits and are never 0.
bool ParseWindowId(const std::string& text, unsigned long& id) {
    const bool hex = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X');
    const std::string digits = hex ? text.substr(2) : text;
    const char* allowed = hex ? "0123456789abcdefABCDEF" : "0123456789";
    if (digits.empty() || digits.size() > (hex ? 8u : 10u) ||
        digits.find_first_not_of(allowed) != std::string::npos)
        return false;
    errno = 0;
    const unsigned long long v = std::strtoull(digits.c_str(), nullptr, hex ? 16 : 10);
    if (errno != 0 || v == 0 || v > 0xFFFFFFFFull)
        return false;
    id = static_cast<unsigned long>(v);
    return true;
}

std::string Quoted(const std::string& text) {
    return "'" + Printable(text, kLongestShownValue) + "'";
}

} // namespace

bool ParseOptions(const std::vector<std::string>& args, const char* screensaverWindow,
                  Options& options, std::string& error) {
    Options o;
    for (size_t i = 0; i < args.size(); ++i) {
        std::string name = args[i];
        // XScreenSaver's hacks are run with one dash (-root): take both spellings.
        if (name == "-h")
            name = "--help";
        else if (name.size() > 2 && name[0] == '-' && name[1] != '-')
            name = "-" + name;
        if (name.size() < 3 || name.compare(0, 2, "--") != 0) {
            error = "unexpected argument " + Quoted(args[i]) + " (see ozmir --help)";
            return false;
        }
        std::optional<std::string> attached;
        if (size_t eq = name.find('='); eq != std::string::npos) {
            attached = name.substr(eq + 1);
            name = name.substr(0, eq);
        }
        auto flag = [&](bool& on) {
            if (attached) {
                error = name + " takes no value";
                return false;
            }
            on = true;
            return true;
        };
        auto value = [&](std::string& text) {
            if (attached) {
                text = *attached;
                return true;
            }
            if (i + 1 >= args.size()) {
                error = name + " needs a value (see ozmir --help)";
                return false;
            }
            text = args[++i];
            return true;
        };
        std::string text;
        // A value that is malformed or out of range: one line naming the option.
        auto refuse = [&](const char* want) {
            error = name + " " + Quoted(text) + ": want " + want;
            return false;
        };
        double number = 0;
        long whole = 0;
        if (name == "--help" || name == "--version") {
            bool on = false;
            if (!flag(on))
                return false;
            (name == "--help" ? o.Help : o.Version) = true;
            options = o;
            return true;
        } else if (name == "--fps") {
            if (!flag(o.Start.ShowFps))
                return false;
        } else if (name == "--autopilot") {
            if (!flag(o.Start.Autopilot))
                return false;
        } else if (name == "--root") {
            if (!flag(o.Root))
                return false;
        } else if (name == "--speed" || name == "--brightness") {
            const bool speed = name == "--speed";
            if (!value(text))
                return false;
            if (!ParseDecimal(text, number) || number < (speed ? 0 : 0.2) ||
                number > (speed ? 50 : 3))
                return refuse(speed ? "a number from 0.0 to 50.0" : "a number from 0.2 to 3.0");
            (speed ? o.Start.SpeedLabel : o.Start.Brightness) = static_cast<float>(number);
        } else if (name == "--stars") {
            if (!value(text))
                return false;
            if (!ParseWhole(text, 0, 2000, whole))
                return refuse("a whole number from 0 to 2000");
            o.Start.Stars = static_cast<std::int32_t>(whole);
        } else if (name == "--max-fps") {
            if (!value(text))
                return false;
            if (!ParseWhole(text, 1, kMaxFpsLimit, whole))
                return refuse("a whole number from 1 to 1000");
            o.Start.MaxFps = static_cast<int>(whole);
        } else if (name == "--display") {
            if (!value(text))
                return false;
            if (!ParseWhole(text, 0, 99, whole))
                return refuse("a display number from 0 to 99");
            o.Display = static_cast<int>(whole);
        } else if (name == "--window-id") {
            if (!value(text))
                return false;
            unsigned long id = 0;
            if (!ParseWindowId(text, id))
                return refuse("a window id, decimal or 0x hex");
            o.Window = id;
        } else {
            error = "unknown option " + Quoted(args[i]) + " (see ozmir --help)";
            return false;
        }
    }
    if (!o.Window && screensaverWindow && *screensaverWindow) {
        unsigned long id = 0;
        if (!ParseWindowId(screensaverWindow, id)) {
            error = "XSCREENSAVER_WINDOW " + Quoted(screensaverWindow) +
                    ": want a window id, decimal or 0x hex";
            return false;
        }
        o.Window = id;
        o.WindowFromHost = true;
    }
    // --root --window-id ID is how XScreenSaver's settings dialog runs its preview in ID.
    if (o.Window)
        o.Root = false;
    if (o.Root || o.Window) {
        o.Start.Screensaver = true;
        o.Start.Autopilot = true;
    }
    options = o;
    return true;
}

std::string UsageText() {
    return "usage: ozmir [options]\n"
           "Fly through a field of stars. ozmir starts full screen; a double click or Enter\n"
           "switches to a window with a control panel, F1 shows the keys.\n"
           "\n"
           "  --speed N        starting speed as the panel shows it, 0.0 to 50.0 (default 5.0)\n"
           "  --stars N        number of stars, 0 to 2000 (default 1500)\n"
           "  --brightness N   brightness of the stars, 0.2 to 3.0 (default 1.5)\n"
           "  --fps            show the frame rate (P toggles it)\n"
           "  --autopilot      fly by itself: gentle turns, spins and changes of speed\n"
           "  --max-fps N      draw at most N frames a second, 1 to 1000, on a steady\n"
           "                   schedule (default: no cap; as a screensaver, the display's\n"
           "                   refresh rate)\n"
           "  --display N      start on display N, counted from 0 (default: the display\n"
           "                   under the pointer)\n"
           "  --root           screensaver: draw into XScreenSaver's window when\n"
           "                   XSCREENSAVER_WINDOW names one, else into the root window\n"
           "  --window-id ID   screensaver: draw into window ID, decimal or 0x hex (also\n"
           "                   after --root, as XScreenSaver's preview runs it)\n"
           "  --help           show this help and exit\n"
           "  --version        show the version and exit\n"
           "\n"
           "As a screensaver (--root, --window-id, or a window id in XSCREENSAVER_WINDOW)\n"
           "ozmir fills the window and follows its size, flies on autopilot, takes no keys\n"
           "or mouse, and ends when the window goes away (status 0) or on SIGTERM.\n"
           "While the window is minimised or unmapped, or the display sleeps, ozmir draws\n"
           "nothing and the flight waits where it was.\n"
           "OZMIR_SCALE=N (1 to 8) draws window mode N times larger; by default the scale\n"
           "comes from the display's dots per inch.\n";
}

std::string VersionText() {
    return std::string("ozmir ") + OZMIR_VERSION;
}

} // namespace oz
