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
    put("display", o.Display);
    put("window", o.Window);
    for (auto [on, name] : {std::pair{o.Start.ShowFps, "fps"},
                            {o.Start.Autopilot, "autopilot"},
                            {o.Start.Screensaver, "screensaver"},
                            {o.Root, "root"},
                            {o.Help, "help"},
                            {o.Version, "version"}})
        if (on)
            out << name << " ";
    return out.str();
}

// What each command line gives: the options it sets, or the one line that refuses it.
// Screensaver mode flies on autopilot; the option beats XScreenSaver's variable; --help
// and --version answer whatever follows them.
TEST(Options, SetWhatTheyNameOrRefuseWithOneLineNamingTheOption) {
    const struct {
        std::vector<std::string> args;
        const char* env;
        const char* result;
    } cases[] = {
        {{}, nullptr, ""},
        {{"--speed", "12.5", "--stars=0", "--brightness", "0.2", "--fps", "--display", "1"},
         nullptr,
         "speed 12.5 stars 0 brightness 0.2 display 1 fps "},
        {{"--speed", "50", "--stars", "2000", "--brightness", "3", "--autopilot"},
         nullptr,
         "speed 50 stars 2000 brightness 3 autopilot "},
        {{"--window-id", "0x1a00007"}, "123", "window 27262983 autopilot screensaver "},
        {{"-root"}, "123", "autopilot screensaver root "},
        {{}, "0X2A", "window 42 autopilot screensaver "},
        {{"-fps", "-window-id", "4294967295"}, "", "window 4294967295 fps autopilot screensaver "},
        {{"--version", "--bogus"}, nullptr, "version "},
        {{"-h"}, nullptr, "help "},

        {{"--bogus"}, nullptr, "refused: unknown option '--bogus' (see ozmir --help)"},
        {{"stray"}, nullptr, "refused: unexpected argument 'stray' (see ozmir --help)"},
        {{"--speed"}, nullptr, "refused: --speed needs a value (see ozmir --help)"},
        {{"--speed", "000000000012.500", "--speed=0"}, nullptr, "speed 0 "}, // 16 characters
        {{"--speed", "0000000000012.500"},                                   // 17
         nullptr,
         "refused: --speed '0000000000012.500': want a number from 0.0 to 50.0"},
        {{"--speed", "50.01"}, nullptr, "refused: --speed '50.01': want a number from 0.0 to 50.0"},
        {{"--speed", "1e1"}, nullptr, "refused: --speed '1e1': want a number from 0.0 to 50.0"},
        {{"--speed", "5,0"}, nullptr, "refused: --speed '5,0': want a number from 0.0 to 50.0"},
        {{"--brightness", "0.19"},
         nullptr,
         "refused: --brightness '0.19': want a number from 0.2 to 3.0"},
        {{"--stars", "2001"},
         nullptr,
         "refused: --stars '2001': want a whole number from 0 to 2000"},
        {{"--stars", "10.5"},
         nullptr,
         "refused: --stars '10.5': want a whole number from 0 to 2000"},
        {{"--display", "x"}, nullptr, "refused: --display 'x': want a display number from 0 to 99"},
        {{"--window-id", "0"},
         nullptr,
         "refused: --window-id '0': want a window id, decimal or 0x hex"},
        {{"--window-id", "4294967296"},
         nullptr,
         "refused: --window-id '4294967296': want a window id, decimal or 0x hex"},
        {{"--fps=1"}, nullptr, "refused: --fps takes no value"},
        {{"--root", "--window-id", "7"},
         nullptr,
         "refused: --root and --window-id cannot be used together"},
        {{}, "0xZZ", "refused: XSCREENSAVER_WINDOW '0xZZ': want a window id, decimal or 0x hex"},
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
