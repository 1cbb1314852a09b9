// The command line: what each option sets, and the one line that refuses a bad one.

#include "ui/Options.h"

#include <gtest/gtest.h>

namespace oz {
namespace {

struct Accepted {
    std::vector<std::string> args;
    const char* env;
    void (*check)(const Options&);
};

TEST(Options, SetWhatTheyName) {
    const Accepted cases[] = {
        {{},
         nullptr,
         [](const Options& o) {
             EXPECT_FALSE(o.Start.SpeedLabel || o.Start.Stars || o.Start.Brightness || o.Display ||
                          o.Window || o.Root || o.Help || o.Version);
             EXPECT_FALSE(o.Start.ShowFps || o.Start.Autopilot || o.Start.Screensaver);
         }},
        {{"--speed", "12.5", "--stars=0", "--brightness", "0.2", "--fps", "--display", "1"},
         nullptr,
         [](const Options& o) {
             EXPECT_EQ(*o.Start.SpeedLabel, 12.5f);
             EXPECT_EQ(*o.Start.Stars, 0);
             EXPECT_EQ(*o.Start.Brightness, 0.2f);
             EXPECT_TRUE(o.Start.ShowFps);
             EXPECT_EQ(*o.Display, 1);
             EXPECT_FALSE(o.Start.Screensaver || o.Start.Autopilot);
         }},
        {{"--speed", "50", "--stars", "2000", "--brightness", "3", "--autopilot"},
         nullptr,
         [](const Options& o) {
             EXPECT_EQ(*o.Start.SpeedLabel, 50.0f);
             EXPECT_EQ(*o.Start.Stars, 2000);
             EXPECT_EQ(*o.Start.Brightness, 3.0f);
             EXPECT_TRUE(o.Start.Autopilot);
             EXPECT_FALSE(o.Start.Screensaver);
         }},
        // Screensaver mode flies on autopilot; the option beats XScreenSaver's variable.
        {{"--window-id", "0x1a00007"},
         "123",
         [](const Options& o) {
             EXPECT_EQ(*o.Window, 0x1a00007ul);
             EXPECT_TRUE(o.Start.Screensaver && o.Start.Autopilot);
         }},
        {{"-root"},
         "123",
         [](const Options& o) { EXPECT_TRUE(o.Root && !o.Window && o.Start.Screensaver); }},
        {{}, "0X2A", [](const Options& o) { EXPECT_EQ(*o.Window, 42ul); }},
        {{"-fps", "-window-id", "4294967295"},
         "",
         [](const Options& o) {
             EXPECT_EQ(*o.Window, 4294967295ul);
             EXPECT_TRUE(o.Start.ShowFps);
         }},
    };
    for (const Accepted& c : cases) {
        Options o;
        std::string error;
        ASSERT_TRUE(ParseOptions(c.args, c.env, o, error)) << error;
        c.check(o);
    }
    Options o;
    std::string error;
    ASSERT_TRUE(ParseOptions({"--version", "--bogus"}, nullptr, o, error));
    EXPECT_TRUE(o.Version);
    ASSERT_TRUE(ParseOptions({"-h"}, nullptr, o, error));
    EXPECT_TRUE(o.Help);
}

TEST(Options, RefuseWithOneLineNamingTheOption) {
    const struct {
        std::vector<std::string> args;
        const char* env;
        const char* error;
    } cases[] = {
        {{"--bogus"}, nullptr, "unknown option '--bogus' (see ozmir --help)"},
        {{"stray"}, nullptr, "unexpected argument 'stray' (see ozmir --help)"},
        {{"--speed"}, nullptr, "--speed needs a value (see ozmir --help)"},
        {{"--speed", "50.01"}, nullptr, "--speed '50.01': want a number from 0.0 to 50.0"},
        {{"--speed", "1e1"}, nullptr, "--speed '1e1': want a number from 0.0 to 50.0"},
        {{"--speed", "5,0"}, nullptr, "--speed '5,0': want a number from 0.0 to 50.0"},
        {{"--brightness", "0.19"}, nullptr, "--brightness '0.19': want a number from 0.2 to 3.0"},
        {{"--stars", "2001"}, nullptr, "--stars '2001': want a whole number from 0 to 2000"},
        {{"--stars", "10.5"}, nullptr, "--stars '10.5': want a whole number from 0 to 2000"},
        {{"--display", "x"}, nullptr, "--display 'x': want a display number from 0 to 99"},
        {{"--window-id", "0"}, nullptr, "--window-id '0': want a window id, decimal or 0x hex"},
        {{"--window-id", "4294967296"},
         nullptr,
         "--window-id '4294967296': want a window id, decimal or 0x hex"},
        {{"--fps=1"}, nullptr, "--fps takes no value"},
        {{"--root", "--window-id", "7"}, nullptr, "--root and --window-id cannot be used together"},
        {{}, "0xZZ", "XSCREENSAVER_WINDOW '0xZZ': want a window id, decimal or 0x hex"},
    };
    for (const auto& c : cases) {
        Options o;
        std::string error;
        EXPECT_FALSE(ParseOptions(c.args, c.env, o, error)) << c.error;
        EXPECT_EQ(error, c.error);
    }
}

} // namespace
} // namespace oz
