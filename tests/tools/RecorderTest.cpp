// ozmir-record, run as a user runs it: a script in, pictures and states out, the same
// bytes every time, and a clear refusal of bad input.

#include "platform/pixels/Assets.h"
#include "tests/ui/ProgramHarness.h"
#include "tools/RandomFlight.h"

#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include <unistd.h>

namespace {

namespace fs = std::filesystem;

class Recorder : public ::testing::Test {
protected:
    void SetUp() override {
        // One folder per test and process: other builds may run the same tests at once.
        dir = fs::path(::testing::TempDir()) /
              ("ozmir-record-" +
               std::string(::testing::UnitTest::GetInstance()->current_test_info()->name()) + "-" +
               std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
        out = dir / "out";
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
        std::string command = launcher + OZMIR_RECORD + " " + options + " --script '" +
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

    // What the output folder holds, hidden files included, sorted.
    static std::vector<std::string> Listing(const fs::path& folder) {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(folder))
            names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    static size_t LineCount(const std::string& text) {
        return static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    }

    fs::path dir, out; // the test's folder, and the tool's usual output folder in it
    std::string errors;
    std::string launcher; // shell words before the tool's path
};

TEST_F(Recorder, WritesPicturesAndStatesOfTheChosenFramesTheSameEveryTime) {
    std::string script = "# a stop and a look\n1 state start.json\n20 screenshot early.png\n"
                         "20 keydown X\n21 state stopped.json\n30 keydown P\n31 dblclick 500 400\n"
                         "40 screenshot window.png\n40 state window.json\n41 quit\n";
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
    EXPECT_EQ(std::pair(shot.Width(), shot.Height()), std::pair(800, 600));
    // An 800 x 600 screen takes the whole window: the border's corner at the top left,
    // the panel's grey below the view.
    EXPECT_EQ(shot.Get(0, 0), oz::PixelFromColor(oz::RGB(214, 203, 163)));
    EXPECT_EQ(shot.Get(400, 597), oz::PixelFromColor(oz::RGB(128, 128, 128)));

    // The same script gives the same bytes.
    ASSERT_EQ(Run(script, (dir / "again").string(), "--screen 800x600"), 0) << errors;
    for (const char* file : {"early.png", "window.png", "stopped.json", "window.json"})
        EXPECT_EQ(Read(out / file), Read(dir / "again" / file)) << file;
}

// Every refusal names the file and line, or the option or folder, with anything unprintable
// escaped and anything long cut, on one line (a bad option adds the usage), and comes
// before the first frame.
TEST_F(Recorder, BadInputIsRefusedWithTheFileAndLineAndRunsNoFrame) {
    struct Case {
        std::string script, message, options = "";
        fs::path folder = {}, path = {};
    };
    const std::string fine = "1 state a.json\n1 quit\n", longName(300, 'a');
    std::ofstream(dir / "file") << "x";
    const std::string longOut = (dir / std::string(5000, 'o')).string();
    const Case cases[] = {
        {"1 state a.json\n2 fly away\n", "script.txt:2: unknown command"},
        {"1 state a.json\nx state b.json\n", "script.txt:2: bad frame number"},
        {"5 state a.json\n3 state b.json\n", "script.txt:2: frame 3 comes after frame 5"},
        {"1 click 10\n", "script.txt:1: wrong number of arguments"},
        {"1 screenshot ../escape.png\n", "script.txt:1: bad file name"},
        {"0 quit\n", "script.txt:1: bad frame number"},
        {"1 state a.json\n100000001 quit\n", "script.txt:2: bad frame number \"100000001\" "
                                             "(want a whole number, 1 to 100000000)"},
        {"1 mousemove 1 2 left+\n", "script.txt:1: unknown buttons"},
        {"1 state a.json\n70 quit\n", "script.txt:2: frame 70 comes after the last frame, 60",
         "--frames 60"},
        {"1 state a.json\n2 screenshot " + longName + ".png\n", "script.txt:2: bad file name"},
        {std::string("1 state a.json\n2 state a\0b.json\n", 32), "script.txt:2: a NUL byte"},
        {"1 state a.json\n2 keydown \x1b[31m\n", "script.txt:2: unknown key \"\\x1b[31m\""},
        // Commands that could never run: the flight ends at quit, and a second write of
        // a name would lose the first.
        {"1 state a.json\n2 quit\n3 screenshot b.png\n",
         "script.txt:3: nothing can follow the quit on line 2"},
        {"1 state a.json\n1 quit\n1 keydown R\n", "script.txt:3: nothing can follow the quit"},
        {"1 state a.json\n2 screenshot b.png\n3 state a.json\n",
         "script.txt:3: a.json is already written on line 1"},
        {"1 state a.json\n2 keydown " + std::string(1000, 'K') + "\n", "KKK... (1000 bytes)"},
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
        {"", "missing: cannot read the script: No such file", "", {}, dir / "missing"},
        {"", ":1: cannot read the script: Is a directory", "", {}, dir},
        {"", "/dev/zero:1: a NUL byte", "", {}, "/dev/zero"},
        // A fine script with a bad option or output folder: the offending value, cut when
        // long, the real limit and the system's reason.
        {fine, "bad --screen +800x600 (want WxH, 64 to 16384 each)", "--screen +800x600"},
        {fine, "bad --fps 030 (want 1 to 1000)", "--fps 030"},
        {fine, "bad --fps 0", "--fps 0"},
        {fine, "bad --fps 1001", "--fps 1001"},
        {fine, "bad --screen 63x600", "--screen 63x600"},
        {fine, "bad --screen 64x16385", "--screen 64x16385"},
        {fine, "bad --frames 100000001 (want 1 to 100000000)", "--frames 100000001"},
        {fine, "unknown option --xxx", "--" + std::string(3000, 'x')},
        {fine, "output folder \"" + (dir / "file").string() + "\": Not a directory", "",
         dir / "file"},
        {fine, "/file/sub\": Not a directory", "", dir / "file" / "sub"},
        {fine, "... (" + std::to_string(longOut.size()) + " bytes)\": File name too long", "",
         longOut},
    };
    for (const Case& c : cases) {
        const std::string folder = c.folder.empty() ? out.string() : c.folder.string();
        EXPECT_EQ(Run(c.script, folder, c.options, c.path), 2) << c.script << c.options;
        EXPECT_NE(errors.find(c.message), std::string::npos) << c.message << " in: " << errors;
        const long lines = c.message.find("--") == std::string::npos ? 1 : 2; // and the usage
        EXPECT_EQ(std::count_if(errors.begin(), errors.end(),
                                [](char ch) { return (ch >= 0 && ch < 0x20) || ch == 0x7f; }),
                  lines)
            << "its lines, nothing unprintable: " << errors;
        EXPECT_TRUE(c.script != fine ||
                    (errors.find("script.txt") == std::string::npos && errors.find('\n') < 400))
            << "a short line, not the script's fault: " << errors.substr(0, 500);
        EXPECT_FALSE(fs::exists(out / "a.json")) << "a frame ran for: " << c.script << c.options;
    }
}

// A run that cannot write a file, or whose flight ends before the script does (the program
// quits on Escape), writes what it reached, names every file it did not, with its line, and
// fails. In a shared folder someone else may have left links under the names the script
// uses, or under any name the tool might pick: none is ever written through.
TEST_F(Recorder, FilesNotWrittenAreNamedAndNoWriteFollowsALink) {
    fs::create_directories(out / "taken.json");
    std::ofstream(dir / "victim") << "keep";
    fs::create_symlink(dir / "victim", out / "shot.png");
    fs::create_symlink(dir / "victim", out / ".ozmir-record-probe");
    fs::create_symlink(dir / "created-through-link", out / "state.json");
    std::string script = "2 screenshot shot.png\n2 state state.json\n3 state taken.json\n"
                         "5 keydown Escape\n9 screenshot late.png\n9 keydown R\n12 state x.json\n";
    EXPECT_EQ(Run(script, out.string(), "--screen 320x240"), 1);
    for (const char* line : {"cannot write taken.json: Is a directory",
                             "script.txt:5: late.png was not written: the flight ended at frame 5",
                             "script.txt:7: x.json was not written"})
        EXPECT_NE(errors.find(line), std::string::npos) << errors;
    EXPECT_EQ(LineCount(errors), 3u) << errors;
    EXPECT_EQ(Read(dir / "victim"), "keep");
    EXPECT_FALSE(fs::exists(dir / "created-through-link"));
    // The links themselves were replaced by the files, and nothing else was left behind.
    for (const char* name : {"shot.png", "state.json"})
        EXPECT_TRUE(fs::is_regular_file(fs::symlink_status(out / name))) << name;
    EXPECT_EQ(Read(out / "shot.png").substr(1, 3), "PNG");
    EXPECT_EQ(Listing(out), (std::vector<std::string>{".ozmir-record-probe", "shot.png",
                                                      "state.json", "taken.json"}));
}

// A disk that fills up (here: a limit on file sizes) fails the file it cut short, leaves
// no partial file under any name, and the run goes on with the next one.
TEST_F(Recorder, AFullDiskLeavesNoPartialFile) {
    launcher = "trap '' XFSZ; ulimit -f 20; exec ";
    // The state holds every star: tens of kilobytes.
    std::string script = "1 state big.json\n2 screenshot small.png\n2 quit\n";
    EXPECT_EQ(Run(script, out.string(), "--screen 320x240"), 1);
    EXPECT_NE(errors.find("cannot write big.json: File too large"), std::string::npos) << errors;
    EXPECT_EQ(Listing(out), std::vector<std::string>{"small.png"});
}

// A fontconfig set-up that puts other faces under the families the program asks for: a
// serif face that calls itself Arial, Arial Black, Arial Narrow and MS Sans Serif, and a
// monospaced one that those names and sans-serif are aliased to.
std::string ImpostorFontconfig(const fs::path& dir) {
    fs::create_directories(dir / "fonts");
    const fs::path dejavu = "/usr/share/fonts/truetype/dejavu";
    fs::copy_file(dejavu / "DejaVuSerif.ttf", dir / "fonts/impostor.ttf");
    fs::copy_file(dejavu / "DejaVuSansMono.ttf", dir / "fonts/other.ttf");
    std::string conf = R"(<?xml version="1.0"?>
<!DOCTYPE fontconfig SYSTEM "fonts.dtd">
<fontconfig><cachedir>@/cache</cachedir>
<include ignore_missing="yes">/etc/fonts/fonts.conf</include><dir>@/fonts</dir>
<match target="scan"><test name="file"><string>@/fonts/impostor.ttf</string></test>
<edit name="family" mode="assign_replace"><string>Arial</string><string>Arial Black</string>
<string>Arial Narrow</string><string>MS Sans Serif</string></edit></match>
<match target="scan"><test name="file"><string>@/fonts/other.ttf</string></test>
<edit name="family" mode="assign_replace"><string>Ozmir Other</string></edit></match>
)"; // the cache folder first: fontconfig writes to the first it can
    for (size_t at = 0; (at = conf.find('@', at)) != std::string::npos; at += dir.string().size())
        conf.replace(at, 1, dir.string());
    for (const char* family :
         {"Arial", "Arial Black", "Arial Narrow", "MS Sans Serif", "sans-serif"})
        conf += std::string("<alias binding=\"strong\"><family>") + family +
                "</family><prefer><family>Ozmir Other</family></prefer></alias>\n";
    conf += "</fontconfig>\n";
    const fs::path file = dir / "fonts.conf";
    std::ofstream(file) << conf;
    return file.string();
}

// Which file fontconfig gives for a family under the configuration in `confFile`.
std::string MatchedFile(const std::string& confFile, const char* family) {
    FcConfig* config = FcConfigCreate();
    FcConfigParseAndLoad(config, reinterpret_cast<const FcChar8*>(confFile.c_str()), FcTrue);
    FcConfigBuildFonts(config);
    FcPattern* pattern = FcNameParse(reinterpret_cast<const FcChar8*>(family));
    FcConfigSubstitute(config, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* match = FcFontMatch(config, pattern, &result);
    FcChar8* path = nullptr;
    const bool found = match && FcPatternGetString(match, FC_FILE, 0, &path) == FcResultMatch;
    const std::string file = found ? reinterpret_cast<const char*>(path) : "";
    for (FcPattern* p : {match, pattern})
        if (p)
            FcPatternDestroy(p);
    FcConfigDestroy(config);
    return file;
}

// Other faces installed under the forms' family names, and aliases to them, draw nothing
// differently: every text, in full screen and in the panel, is the same bytes.
TEST_F(Recorder, OtherFontsAndAliasesChangeNoPixel) {
    const std::string conf = ImpostorFontconfig(dir / "fontconfig");
    for (const char* family :
         {"Arial", "Arial Black", "Arial Narrow", "MS Sans Serif", "sans-serif"})
        EXPECT_EQ(fs::path(MatchedFile(conf, family)).parent_path(), dir / "fontconfig/fonts")
            << family << " is not taken over: the comparison below would prove nothing";

    const std::string script = "2 keydown F1\n3 keyup F1\n3 keydown P\n4 keyup P\n"
                               "4 keydown R\n30 keyup R\n30 keydown A\n40 keyup A\n"
                               "41 screenshot full.png\n42 keydown Return\n"
                               "43 keyup Return\n50 screenshot window.png\n51 quit\n";
    ASSERT_EQ(Run(script, (dir / "machine").string(), "--screen 1024x768"), 0) << errors;
    EXPECT_EQ(errors, "");
    ASSERT_EQ(setenv("FONTCONFIG_FILE", conf.c_str(), 1), 0);
    const int status = Run(script, (dir / "impostors").string(), "--screen 1024x768");
    unsetenv("FONTCONFIG_FILE");
    ASSERT_EQ(status, 0) << errors;
    EXPECT_EQ(errors, "");
    for (const char* shot : {"full.png", "window.png"}) {
        const std::string png = Read(dir / "machine" / shot);
        EXPECT_GT(png.size(), 1000u) << shot;
        EXPECT_TRUE(png == Read(dir / "impostors" / shot)) << shot << " differs";
    }
}

// On a machine without the Liberation files (their folder hidden in a mount namespace of
// the test's own) the flight goes on in fontconfig's faces, and each missing file the
// flight asks for is named once, with the package that brings it.
TEST_F(Recorder, MissingFontFilesAreNamedOnceWithTheirPackage) {
    const fs::path empty = dir / "empty", caches = dir / "caches";
    fs::create_directories(empty);
    fs::create_directories(caches / "xdg");
    // fontconfig's caches of what it sees there stay in the namespace too.
    launcher = "XDG_CACHE_HOME=" + (caches / "xdg").string() +
               " unshare -m --propagation private sh -c 'mount --bind " + empty.string() +
               " /usr/share/fonts/truetype/liberation && mount --bind " + caches.string() +
               " /var/cache/fontconfig || exit 77; exec \"$0\" \"$@\"' ";
    const int status = Run("2 dblclick 500 400\n10 screenshot window.png\n"
                           "11 dblclick 500 400\n20 screenshot full.png\n21 quit\n",
                           (dir / "out").string());
    if (status == 77 || errors.starts_with("unshare:"))
        GTEST_SKIP() << "no mount namespace here: " << errors;
    ASSERT_EQ(status, 0) << errors;
    ASSERT_EQ(LineCount(errors), 2u) << errors;
    std::istringstream lines(errors);
    for (auto [file, family] : {std::pair{"LiberationSans-Regular.ttf", "MS Sans Serif"},
                                {"LiberationSansNarrow-BoldItalic.ttf", "Arial Narrow"}}) {
        const std::string prefix = std::string("ozmir: font file ") + file +
                                   " (package fonts-liberation) is missing: \"" + family +
                                   "\" is drawn in ";
        std::string line;
        std::getline(lines, line);
        EXPECT_TRUE(line.starts_with(prefix) && line.size() > prefix.size() &&
                    !line.ends_with("nothing"))
            << "no stand-in named: " << line;
    }
    for (const char* shot : {"window.png", "full.png"})
        EXPECT_TRUE(fs::exists(dir / "out" / shot)) << shot;
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
    ASSERT_EQ(Run(script, out.string(), "--screen 64x16384 --fps 1 --frames 3"), 0) << errors;
    const std::string state = Read(out / (longest + ".json"));
    for (const char* fragment : {"\"frame\":3,", "\"HelpShown\":true", // F1 is the help key
                                 "\"window\":{\"left\":0,\"top\":0,\"width\":64,\"height\":16384}"})
        EXPECT_NE(state.find(fragment), std::string::npos) << fragment;
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
