// ozmir-record, run as a user runs it: a script in, pictures and states out, the same
// bytes every time, and a clear refusal of bad input.

#include "platform/Assets.h"
#include "tests/ui/ProgramHarness.h"
#include "tools/RandomFlight.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

namespace fs = std::filesystem;

class Recorder : public ::testing::Test {
protected:
    void SetUp() override {
        dir = fs::path(::testing::TempDir()) /
              ("ozmir-record-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override { fs::remove_all(dir); }

    // Runs the tool on a script (or on the file at scriptPath); returns its exit status,
    // with stderr in `errors`.
    int Run(const std::string& script, const std::string& out, const std::string& options = "",
            fs::path scriptPath = {}) {
        if (scriptPath.empty()) {
            scriptPath = dir / "script.txt";
            std::ofstream(scriptPath, std::ios::binary) << script;
        }
        fs::path errPath = dir / "stderr.txt";
        std::string command = std::string(OZMIR_RECORD) + " " + options + " --script '" +
                              scriptPath.string() + "' --out '" + out + "' 2>'" + errPath.string() +
                              "'";
        int status = std::system(command.c_str());
        errors = Read(errPath);
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    static std::string Read(const fs::path& p) {
        std::ifstream in(p, std::ios::binary);
        return {std::istreambuf_iterator<char>(in), {}};
    }

    fs::path dir;
    std::string errors;
};

TEST_F(Recorder, WritesPicturesAndStatesOfTheChosenFramesTheSameEveryTime) {
    std::string script = "# a stop and a look\n"
                         "1 state start.json\n"
                         "20 screenshot early.png\n"
                         "20 keydown X\n"
                         "21 state stopped.json\n"
                         "30 keydown P\n"
                         "31 dblclick 500 400\n"
                         "40 screenshot window.png\n"
                         "40 state window.json\n"
                         "41 quit\n";
    fs::path out = dir / "out";
    ASSERT_EQ(Run(script, out.string(), "--screen 800x600"), 0) << errors;
    EXPECT_EQ(errors, "");

    const std::pair<const char*, std::vector<const char*>> states[] = {
        {"start.json",
         {"\"frame\":1,", "\"Speed\":0.5,", "\"FullScreen\":true",
          "\"window\":{\"left\":0,\"top\":0,\"width\":800,\"height\":600}"}},
        {"stopped.json", {"\"Speed\":0,", "\"SavedSpeed\":0.5,"}},
        {"window.json",
         {"\"FullScreen\":false", "\"ViewWidth\":785", "\"ShowFps\":true", "\"FrameRate\":64",
          "\"TimeScale\":1,"}}};
    for (const auto& [file, fragments] : states)
        for (const char* fragment : fragments)
            EXPECT_NE(Read(out / file).find(fragment), std::string::npos)
                << file << ": " << fragment;

    oz::Bitmap shot;
    ASSERT_TRUE(oz::LoadPng((out / "window.png").string(), shot));
    EXPECT_EQ(shot.Width(), 800);
    EXPECT_EQ(shot.Height(), 600);
    // An 800 x 600 screen takes the whole window: the border's corner at the top left,
    // the panel's grey below the view.
    EXPECT_EQ(shot.Get(0, 0), oz::PixelFromColor(oz::RGB(214, 203, 163)));
    EXPECT_EQ(shot.Get(400, 597), oz::PixelFromColor(oz::RGB(128, 128, 128)));

    // The same script gives the same bytes.
    ASSERT_EQ(Run(script, (dir / "again").string(), "--screen 800x600"), 0) << errors;
    for (const char* file : {"early.png", "window.png", "stopped.json", "window.json"})
        EXPECT_EQ(Read(out / file), Read(dir / "again" / file)) << file;
}

// Every refusal is one line naming the file and line, with anything unprintable escaped,
// and comes before the first frame.
TEST_F(Recorder, BadInputIsRefusedWithTheFileAndLineAndRunsNoFrame) {
    struct Case {
        std::string script;
        std::string message;
        std::string options = "";
        fs::path path = {};
    };
    const std::string longName(300, 'a');
    const Case cases[] = {
        {"1 state a.json\n2 fly away\n", "script.txt:2: unknown command"},
        {"1 state a.json\nx state b.json\n", "script.txt:2: bad frame number"},
        {"5 state a.json\n3 state b.json\n", "script.txt:2: frame 3 comes after frame 5"},
        {"1 keydown Hyper\n", "script.txt:1: unknown key"},
        {"1 click 10\n", "script.txt:1: wrong number of arguments"},
        {"1 mousedown 1 2 thumb\n", "script.txt:1: unknown button"},
        {"1 screenshot ../escape.png\n", "script.txt:1: bad file name"},
        {"0 quit\n", "script.txt:1: bad frame number"},
        {"+3 quit\n", "script.txt:1: bad frame number"},
        {"1 keydown F01\n", "script.txt:1: unknown key"},
        {"1 keydown vk:+65\n", "script.txt:1: unknown key"},
        {"1 mousemove 1 2 left+\n", "script.txt:1: unknown buttons"},
        {"1 state a.json\n70 quit\n", "script.txt:2: frame 70 comes after the last frame, 60",
         "--frames 60"},
        {"1 state a.json\n2 screenshot " + longName + ".png\n", "script.txt:2: bad file name"},
        {std::string("1 state a.json\n2 state a\0b.json\n", 32), "script.txt:2: a NUL byte"},
        {"1 state a.json\n# " + std::string(5000, '#') + "\n", "script.txt:2: line longer than"},
        {"1 state a.json\n2 keydown \x1b[31m\n", "script.txt:2: unknown key \"\\x1b[31m\""},
        {"1 state a.json\n2 keydown \x7f\n", "script.txt:2: unknown key \"\\x7f\""},
        {"1 state a.json\n# " + std::string(4095, '#') + "\n", "script.txt:2: line longer than"},
        {"1 state a.json\n2 click -0 5\n", "script.txt:2: bad coordinates"},
        {"1 state a.json\n2 click -100001 5\n", "script.txt:2: bad coordinates"},
        {"1 state a.json\n2 mousedown 1 2 left+right\n", "script.txt:2: unknown button"},
        {"1 state a.json\n2 mousemove 1 2 none+left\n", "script.txt:2: unknown buttons"},
        {"1 state a.json\n2 quit now\n", "script.txt:2: wrong number of arguments"},
        {"1 state a.json\n2 keydown F13\n", "script.txt:2: unknown key"},
        {"1 state a.json\n2 keydown vk:256\n", "script.txt:2: unknown key"},
        {"1 state a.json\n2 state .hidden.json\n", "script.txt:2: bad file name"},
        {"", "missing: cannot read the script: No such file", "", dir / "missing"},
        {"", ":1: cannot read the script: Is a directory", "", dir},
        {"", "/dev/zero:1: a NUL byte", "", "/dev/zero"},
    };
    for (const Case& c : cases) {
        fs::path out = dir / "refused";
        EXPECT_EQ(Run(c.script, out.string(), c.options, c.path), 2) << c.script;
        EXPECT_NE(errors.find(c.message), std::string::npos) << errors;
        EXPECT_EQ(std::count_if(errors.begin(), errors.end(),
                                [](char ch) { return (ch >= 0 && ch < 0x20) || ch == 0x7f; }),
                  1)
            << "one line, nothing unprintable: " << errors;
        EXPECT_FALSE(fs::exists(out / "a.json")) << "a frame ran for: " << c.script;
    }
    for (const char* option : {"--screen +800x600", "--frames +5", "--fps 030", "--fps 0",
                               "--fps 1001", "--screen 63x600", "--screen 64x16385"}) {
        EXPECT_EQ(Run("1 quit\n", (dir / "out").string(), option), 2) << option;
        EXPECT_NE(errors.find("bad --"), std::string::npos) << errors;
    }
    std::ofstream(dir / "file") << "x";
    EXPECT_EQ(Run("1 state a.json\n", (dir / "file" / "sub").string()), 2);
    EXPECT_NE(errors.find("cannot write"), std::string::npos) << errors;
}

// Input exactly at every limit is taken: the ends of the ranges of numbers, key and button
// names, commands sharing a frame and the last frame, the longest name and line.
TEST_F(Recorder, InputAtEveryLimitIsAccepted) {
    const std::string longest(255 - 5, 'n'), longestLine = "# " + std::string(4094, '#');
    const std::string script =
        "1 keydown Z\n1 keyup 9\n1 keydown F12\n1 keyup vk:255\n"
        "1 keydown vk:1\n1 keyup A\n1 keydown 0\n"
        "1 mousemove -100000 100000 none\n1 mousemove 0 0 left+right+middle\n"
        "1 mousedown 0 0 middle\n1 mouseup 0 0 middle\n2 keydown F1\n" +
        longestLine + "\n3 state " + longest + ".json\n3 quit\n";
    fs::path out = dir / "out";
    ASSERT_EQ(Run(script, out.string(), "--screen 64x16384 --fps 1 --frames 3"), 0) << errors;
    const std::string state = Read(out / (longest + ".json"));
    EXPECT_NE(state.find("\"frame\":3,"), std::string::npos);
    EXPECT_NE(state.find("\"HelpShown\":true"), std::string::npos) << "F1 is the help key";
    EXPECT_NE(state.find("\"window\":{\"left\":0,\"top\":0,\"width\":64,\"height\":16384}"),
              std::string::npos);
}

// The random flight's check passes a flight at the ends of the speed's range, not beyond.
TEST(RandomFlightCheck, PassesTheSpeedsLimitsAndNamesSpeedsBeyond) {
    oz::test::ProgramHarness h(320, 240);
    h.Run(
        [&](int, oz::Form1& p) {
            oz::RandomFlight flight(h.screen, p, 1);
            for (float speed : {0.0f, 5.0f, -0.01f, 5.01f}) {
                p.Speed = speed;
                EXPECT_EQ(flight.Check().find("Speed"),
                          speed >= 0 && speed <= 5 ? std::string::npos : 0)
                    << speed;
            }
        },
        1);
}

} // namespace
