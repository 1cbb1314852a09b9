// The command line: what each option sets, and the one line that refuses a bad one.

#include "ui/Options.h"

#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <utility>
#include <vector>

namespace oz {
namespace {

// Everything a parse set, in one line: each option given, and the flags that are on.
std::string Described(const Options& o) {
    std::ostringstream out;
    auto put = [&out](const char* name, const auto& value) {
        if (value)
            out << name << " " << *value << " ";
    };
    put("speed", o.Start.SpeedLabel);
    put("stars", o.Start.Stars);
    put("brightness", o.Start.Brightness);
    put("max-fps", o.Start.MaxFps);
    put("display", o.Display);
    put("window", o.Window);
    for (auto [on, name] : {std::pair{o.Start.ShowFps, "fps"},
                            {o.Start.Autopilot, "autopilot"},
                            {o.Start.Screensaver, "screensaver"},
                            {o.Root, "root"},
                            {o.WindowFromHost, "host"},
                            {o.Help, "help"},
                            {o.Version, "version"}})
        if (on)
            out << name << " ";
    return out.str();
}

// What each command line gives: the options it sets, or the one line that refuses it.
// Screensaver mode flies on autopilot; --window-id beats XScreenSaver's variable, which
// beats the real root for --root (XScreenSaver's calling convention); --help and
// --version answer whatever follows them.
TEST(Options, SetWhatTheyNameOrRefuseWithOneLineNamingTheOption) {
    const struct {
        std::vector<std::string> args;
        std::string result;
        const char* env = nullptr; // XSCREENSAVER_WINDOW
    } cases[] = {
        {{}, ""},
        {{"--speed", "12.5", "--stars=0", "--brightness", "0.2", "--fps", "--display", "1"},
         "speed 12.5 stars 0 brightness 0.2 display 1 fps "},
        {{"--speed", "50", "--stars", "2000", "--brightness", "3", "--autopilot"},
         "speed 50 stars 2000 brightness 3 autopilot "},
        {{"--window-id", "0x1a00007"}, "window 27262983 autopilot screensaver ", "123"},
        {{"-root"}, "window 123 autopilot screensaver host ", "123"},
        {{"--root"}, "autopilot screensaver root "},
        {{"--root"}, "autopilot screensaver root ", ""},
        {{"-root", "-window-id", "0x2c00003"},
         "window 46137347 autopilot screensaver ",
         "0x600008"},
        {{"--window-id", "7", "--root"}, "window 7 autopilot screensaver "},
        {{}, "window 42 autopilot screensaver host ", "0X2A"},
        {{"-fps", "-window-id", "4294967295"}, "window 4294967295 fps autopilot screensaver ", ""},
        {{"--version", "--bogus"}, "version "},
        {{"-h"}, "help "},
        {{"--max-fps=1000"}, "max-fps 1000 "},
        {{"-max-fps", "1", "-root"}, "max-fps 1 autopilot screensaver root "},

        {{"--bogus"}, "refused: unknown option '--bogus' (see ozmir --help)"},
        {{"stray"}, "refused: unexpected argument 'stray' (see ozmir --help)"},
        {{"--speed"}, "refused: --speed needs a value (see ozmir --help)"},
        {{"--speed", "000000000012.500", "--speed=0"}, "speed 0 "}, // 16 characters
        {{"--speed", "0000000000012.500"},                          // 17
         "refused: --speed '0000000000012.500': want a number from 0.0 to 50.0"},
        {{"--speed", "50.01"}, "refused: --speed '50.01': want a number from 0.0 to 50.0"},
        {{"--speed", "1e1"}, "refused: --speed '1e1': want a number from 0.0 to 50.0"},
        {{"--speed", "5,0"}, "refused: --speed '5,0': want a number from 0.0 to 50.0"},
        {{"--brightness", "0.19"}, "refused: --brightness '0.19': want a number from 0.2 to 3.0"},
        {{"--stars", "2001"}, "refused: --stars '2001': want a whole number from 0 to 2000"},
        {{"--stars", "10.5"}, "refused: --stars '10.5': want a whole number from 0 to 2000"},
        {{"--max-fps", "0"}, "refused: --max-fps '0': want a whole number from 1 to 1000"},
        {{"--max-fps", "1001"}, "refused: --max-fps '1001': want a whole number from 1 to 1000"},
        {{"--max-fps"}, "refused: --max-fps needs a value (see ozmir --help)"},
        {{"--display", "x"}, "refused: --display 'x': want a display number from 0 to 99"},
        {{"--window-id", "0"}, "refused: --window-id '0': want a window id, decimal or 0x hex"},
        {{"--window-id", "4294967296"},
         "refused: --window-id '4294967296': want a window id, decimal or 0x hex"},
        {{"--fps=1"}, "refused: --fps takes no value"},
        {{}, "refused: XSCREENSAVER_WINDOW '0xZZ': want a window id, decimal or 0x hex", "0xZZ"},
        {{"--root"},
         "refused: XSCREENSAVER_WINDOW '0x12\\x0a': want a window id, decimal or 0x hex",
         "0x12\n"},

        // Values are shown on one line, escaped for the terminal, and cut when long.
        {{"--speed", "1\n2"}, "refused: --speed '1\\x0a2': want a number from 0.0 to 50.0"},
        {{"\x1b]0;owned\a"},
         "refused: unexpected argument '\\x1b]0;owned\\x07' (see ozmir --help)"},
        {{"--st\xffrs=1"}, "refused: unknown option '--st\\xffrs=1' (see ozmir --help)"},
        {{"--stars", std::string(100000, '9')},
         "refused: --stars '" + std::string(80, '9') +
             "... (100000 bytes)': want a whole number from 0 to 2000"},
    };
    for (const auto& c : cases) {
        Options o;
        std::string error;
        const bool accepted = ParseOptions(c.args, c.env, o, error);
        EXPECT_EQ(accepted ? Described(o) : "refused: " + error, c.result);
    }
}

} // namespace
} // namespace oz
