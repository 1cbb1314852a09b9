// ozmir-record: flies the real program on a virtual screen from a script, and writes
// screenshots and state files of chosen frames; or flies it on random input and checks
// after every frame that its state stays sound.
//
//   ozmir-record [--screen WxH] [--fps N] [--frames N] --script FILE --out DIR
//   ozmir-record [--screen WxH] [--fps N] [--frames N] --random SEED

#include "engine3d/GlobalDataAndFunctions3D.h"
#include "platform/displays/HeadlessBackend.h"
#include "platform/forms/Backend.h"
#include "platform/forms/Printable.h"
#include "platform/pixels/Assets.h"
#include "tools/OutputFolder.h"
#include "tools/RandomFlight.h"
#include "ui/Form1.h"
#include "ui/ScreenSize.h"
#include "widgets/TimerOwner.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include <unistd.h>

namespace {

using namespace oz;

struct Command {
    int line = 0; // in the script
    int frame = 0;
    std::string verb; // screenshot, state, keydown, keyup, mousedown, mouseup, mousemove,
                      // click, dblclick, quit
    std::string name;
    int x = 0, y = 0;
    std::int16_t button = vbLeftButton;
    std::int16_t keyCode = 0;
};

struct Options {
    int screenWidth = 1024, screenHeight = 768;
    int fps = 64;
    long frames = 100000;
    static constexpr long kMostFrames = 100000000;
    std::string script, out;
    long seed = -1; // a random flight when 0 or more
};

// Text from the user as it may be shown on a terminal, on one line of sensible length.
std::string Shown(const std::string& text) {
    return Printable(text, 200);
}

constexpr const char* kUsage = "usage: ozmir-record [--screen WxH] [--fps N] [--frames N] "
                               "(--script FILE --out DIR | --random SEED)\n";

[[noreturn]] void Usage(const std::string& problem) {
    std::fprintf(stderr, "ozmir-record: %s\n%s", problem.c_str(), kUsage);
    std::exit(2);
}

// A whole number written plainly: an optional minus, then digits without a leading zero.
bool ParseInt(const std::string& text, long low, long high, long& value) {
    if (text.empty() || text.size() > 12)
        return false;
    size_t digits = text[0] == '-' ? 1 : 0;
    if (digits == text.size() || (text[digits] == '0' && text.size() > digits + 1) ||
        text.find_first_not_of("0123456789", digits) != std::string::npos || text == "-0")
        return false;
    char* end = nullptr;
    errno = 0;
    long v = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || v < low || v > high)
        return false;
    value = v;
    return true;
}

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        std::string arg = argv[i];
        auto next = [&]() -> std::string {
            if (i + 1 >= argc)
                Usage("missing value after " + Shown(arg));
            return argv[++i];
        };
        long v;
        if (arg == "--help" || arg == "-h") {
            std::printf("%sSee man ozmir-record for the script's commands.\n", kUsage);
            std::exit(0);
        } else if (arg == "--screen") {
            std::string s = next();
            size_t x = s.find('x');
            long w, h;
            if (x == std::string::npos || !ParseInt(s.substr(0, x), 64, 16384, w) ||
                !ParseInt(s.substr(x + 1), 64, 16384, h))
                Usage("bad --screen " + Shown(s) + " (want WxH, 64 to 16384 each)");
            o.screenWidth = static_cast<int>(w);
            o.screenHeight = static_cast<int>(h);
        } else if (arg == "--fps") {
            std::string s = next();
            if (!ParseInt(s, 1, 1000, v))
                Usage("bad --fps " + Shown(s) + " (want 1 to 1000)");
            o.fps = static_cast<int>(v);
        } else if (arg == "--frames") {
            std::string s = next();
            if (!ParseInt(s, 1, Options::kMostFrames, v))
                Usage("bad --frames " + Shown(s) + " (want 1 to " +
                      std::to_string(Options::kMostFrames) + ")");
            o.frames = v;
        } else if (arg == "--script") {
            o.script = next();
        } else if (arg == "--out") {
            o.out = next();
        } else if (arg == "--random") {
            std::string s = next();
            if (!ParseInt(s, 0, 999999999, v))
                Usage("bad --random " + Shown(s) + " (want a seed, 0 to 999999999)");
            o.seed = v;
        } else {
            Usage("unknown option " + Shown(arg));
        }
    }
    if (o.seed >= 0) {
        if (!o.script.empty() || !o.out.empty())
            Usage("--random flies without --script and --out");
        return o;
    }
    if (o.script.empty())
        Usage("--script is required");
    if (o.out.empty())
        Usage("--out is required");
    return o;
}

std::optional<std::int16_t> KeyCode(const std::string& name) {
    static const std::map<std::string, std::int16_t> named = {
        {"Left", 37},   {"Up", 38},     {"Right", 39}, {"Down", 40},
        {"Return", 13}, {"Escape", 27}, {"Space", 32}};
    if (auto it = named.find(name); it != named.end())
        return it->second;
    if (name.size() == 1 && name[0] >= 'A' && name[0] <= 'Z')
        return static_cast<std::int16_t>(name[0]);
    if (name.size() == 1 && name[0] >= '0' && name[0] <= '9')
        return static_cast<std::int16_t>(name[0]);
    long v;
    if (name.size() >= 2 && name[0] == 'F' && ParseInt(name.substr(1), 1, 12, v))
        return static_cast<std::int16_t>(111 + v);
    if (name.rfind("vk:", 0) == 0 && ParseInt(name.substr(3), 1, 255, v))
        return static_cast<std::int16_t>(v);
    return std::nullopt;
}

std::optional<std::int16_t> Buttons(const std::string& text, bool allowSet) {
    std::int16_t bits = 0;
    int count = 0;
    for (size_t start = 0; start <= text.size();) {
        size_t plus = std::min(text.find('+', start), text.size());
        std::string part = text.substr(start, plus - start);
        start = plus + 1;
        ++count;
        if (part == "left")
            bits |= vbLeftButton;
        else if (part == "right")
            bits |= vbRightButton;
        else if (part == "middle")
            bits |= vbMiddleButton;
        else if (part == "none" && allowSet && text == "none")
            bits = 0;
        else
            return std::nullopt;
    }
    if (count == 0 || (!allowSet && count != 1))
        return std::nullopt;
    return bits;
}

// An output name is a plain file name with the expected ending, short enough for the
// file system: nothing is written outside the output folder.
constexpr size_t kLongestName = 255;

bool PlainName(const std::string& name, const std::string& ending) {
    if (name.size() > kLongestName)
        return false;
    if (name.size() <= ending.size() ||
        name.compare(name.size() - ending.size(), ending.size(), ending) != 0)
        return false;
    if (name.find('/') != std::string::npos || name.find('\\') != std::string::npos)
        return false;
    return name[0] != '.';
}

// Longer lines are no script of ours (an endless stream, say) and are refused.
constexpr size_t kLongestLine = 4096;

std::vector<Command> ParseScript(const Options& options) {
    const std::string& path = options.script;
    int lineNo = 0, lastFrame = 0, quitLine = 0;
    std::map<std::string, int> fileLines; // each output name, by the line that writes it
    auto fail = [&](const std::string& why) {
        std::string where = Shown(path);
        if (lineNo > 0)
            where += ":" + std::to_string(lineNo);
        std::fprintf(stderr, "ozmir-record: %s: %s\n", where.c_str(), why.c_str());
        std::exit(2);
    };
    std::FILE* in = std::fopen(path.c_str(), "rb");
    if (in == nullptr)
        fail(std::string("cannot read the script: ") + std::strerror(errno));
    std::vector<Command> commands;
    std::string line;
    while (true) {
        line.clear();
        int ch;
        while ((ch = std::getc(in)) != EOF && ch != '\n') {
            if (ch == '\0') {
                ++lineNo;
                fail("a NUL byte in the line");
            }
            if (line.size() == kLongestLine) {
                ++lineNo;
                fail("line longer than " + std::to_string(kLongestLine) + " bytes");
            }
            line += static_cast<char>(ch);
        }
        if (ch == EOF && std::ferror(in)) {
            int error = errno;
            ++lineNo;
            fail(std::string("cannot read the script: ") + std::strerror(error));
        }
        if (ch == EOF && line.empty())
            break;
        ++lineNo;
        if (size_t hash = line.find('#'); hash != std::string::npos)
            line.erase(hash);
        std::stringstream words(line);
        std::vector<std::string> w;
        for (std::string word; words >> word;)
            w.push_back(word);
        if (w.empty())
            continue;
        if (quitLine > 0)
            fail("nothing can follow the quit on line " + std::to_string(quitLine));
        Command c;
        c.line = lineNo;
        long v;
        if (!ParseInt(w[0], 1, Options::kMostFrames, v))
            fail("bad frame number \"" + Shown(w[0]) + "\" (want a whole number, 1 to " +
                 std::to_string(Options::kMostFrames) + ")");
        c.frame = static_cast<int>(v);
        if (c.frame > options.frames)
            fail("frame " + Shown(w[0]) + " comes after the last frame, " +
                 std::to_string(options.frames) + " (--frames)");
        if (c.frame < lastFrame)
            fail("frame " + Shown(w[0]) + " comes after frame " + std::to_string(lastFrame));
        lastFrame = c.frame;
        if (w.size() < 2)
            fail("a command is missing after the frame number");
        c.verb = w[1];
        auto want = [&](size_t lo, size_t hi) {
            if (w.size() < lo + 2 || w.size() > hi + 2)
                fail("wrong number of arguments for " + Shown(c.verb));
        };
        auto coords = [&] {
            long x, y;
            if (!ParseInt(w[2], -100000, 100000, x) || !ParseInt(w[3], -100000, 100000, y))
                fail("bad coordinates \"" + Shown(w[2]) + " " + Shown(w[3]) + "\"");
            c.x = static_cast<int>(x);
            c.y = static_cast<int>(y);
        };
        if (c.verb == "screenshot" || c.verb == "state") {
            want(1, 1);
            c.name = w[2];
            if (!PlainName(c.name, c.verb == "screenshot" ? ".png" : ".json"))
                fail("bad file name \"" + Shown(c.name) + "\" (a plain name of at most " +
                     std::to_string(kLongestName) + " bytes ending in " +
                     (c.verb == "screenshot" ? ".png" : ".json") + ")");
            if (auto [first, fresh] = fileLines.emplace(c.name, lineNo); !fresh)
                fail(Shown(c.name) + " is already written on line " +
                     std::to_string(first->second));
        } else if (c.verb == "keydown" || c.verb == "keyup") {
            want(1, 1);
            auto k = KeyCode(w[2]);
            if (!k)
                fail("unknown key \"" + Shown(w[2]) + "\"");
            c.keyCode = *k;
        } else if (c.verb == "mousedown" || c.verb == "mouseup") {
            want(2, 3);
            coords();
            if (w.size() == 5) {
                auto b = Buttons(w[4], false);
                if (!b)
                    fail("unknown button \"" + Shown(w[4]) + "\"");
                c.button = *b;
            }
        } else if (c.verb == "mousemove") {
            want(2, 3);
            coords();
            c.button = 0;
            if (w.size() == 5) {
                auto b = Buttons(w[4], true);
                if (!b)
                    fail("unknown buttons \"" + Shown(w[4]) + "\"");
                c.button = *b;
            }
        } else if (c.verb == "click" || c.verb == "dblclick") {
            want(2, 2);
            coords();
        } else if (c.verb == "quit") {
            want(0, 0);
            quitLine = lineNo;
        } else {
            fail("unknown command \"" + Shown(c.verb) + "\"");
        }
        commands.push_back(c);
    }
    std::fclose(in);
    return commands;
}

// ---- State files ----

class Json {
public:
    void Key(const char* name) {
        Separate();
        text_ += '"';
        text_ += name;
        text_ += "\":";
        fresh_ = true;
    }
    void Number(double v) {
        Separate();
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.9g", v);
        text_ += buf;
    }
    void Float(float v) { Number(static_cast<double>(v)); }
    void Int(long v) {
        Separate();
        text_ += std::to_string(v);
    }
    void Bool(bool b) {
        Separate();
        text_ += b ? "true" : "false";
    }
    void String(const std::string& s) {
        Separate();
        text_ += '"';
        for (unsigned char ch : s) {
            if (ch == '"' || ch == '\\') {
                text_ += '\\';
                text_ += static_cast<char>(ch);
            } else if (ch < 0x20) {
                char buf[8];
                std::snprintf(buf, sizeof buf, "\\u%04x", ch);
                text_ += buf;
            } else {
                text_ += static_cast<char>(ch);
            }
        }
        text_ += '"';
    }
    void Open(char bracket) {
        Separate();
        text_ += bracket;
        fresh_ = true;
    }
    void Close(char bracket) {
        text_ += bracket;
        fresh_ = false;
    }
    const std::string& Text() const { return text_; }

private:
    void Separate() {
        if (!fresh_)
            text_ += ',';
        fresh_ = false;
    }
    std::string text_;
    bool fresh_ = true;
};

std::string StateJson(int frame, Form1& f) {
    Json j;
    j.Open('{');
    j.Key("frame"), j.Int(frame);
    j.Key("FullScreen"), j.Bool(f.FullScreen != 0);
    j.Key("Speed"), j.Float(f.Speed);
    j.Key("SavedSpeed"), j.Float(f.SavedSpeed);
    j.Key("Sensitivity"), j.Float(f.Sensitivity);
    j.Key("Brightness"), j.Float(f.Brightness);
    j.Key("StarCount"), j.Int(f.StarCount);
    j.Key("LookAngleH"), j.Float(f.LookAngleH);
    j.Key("LookAngleV"), j.Float(f.LookAngleV);
    j.Key("SinLookH"), j.Float(f.SinLookH);
    j.Key("CosLookH"), j.Float(f.CosLookH);
    j.Key("SinLookV"), j.Float(f.SinLookV);
    j.Key("CosLookV"), j.Float(f.CosLookV);
    j.Key("TargetAngleH"), j.Float(f.TargetAngleH);
    j.Key("TargetAngleV"), j.Float(f.TargetAngleV);
    j.Key("TimeScale"), j.Float(f.TimeScale);
    j.Key("ViewWidth"), j.Int(f.ViewWidth);
    j.Key("ViewHeight"), j.Int(f.ViewHeight);
    j.Key("HalfWidth"), j.Int(f.HalfWidth);
    j.Key("HalfHeight"), j.Int(f.HalfHeight);
    j.Key("IntroTime"), j.Float(f.IntroTime);
    j.Key("HelpShown"), j.Bool(f.HelpShown != 0);
    j.Key("HelpFade"), j.Float(f.HelpFade);
    j.Key("SpeedInfoTime"), j.Float(f.SpeedInfoTime);
    j.Key("ViewInfoTime"), j.Float(f.ViewInfoTime);
    j.Key("ShowFps"), j.Bool(f.ShowFps != 0);
    j.Key("FrameRate"), j.Int(f.FrameRate());
    j.Key("QuitRequested"), j.Bool(f.QuitRequested != 0);
    j.Key("ScreenWidthPx"), j.Int(ScreenWidthPx);
    j.Key("ScreenHeightPx"), j.Int(ScreenHeightPx);
    j.Key("DragX"), j.Float(f.DragX);
    j.Key("DragY"), j.Float(f.DragY);

    j.Key("HeldKeys");
    j.Open('{');
    const HeldKeyFlags& k = f.HeldKeys;
    const std::pair<const char*, std::uint8_t> keys[] = {
        {"TurnLeft", k.TurnLeft},
        {"TurnRight", k.TurnRight},
        {"TurnUp", k.TurnUp},
        {"TurnDown", k.TurnDown},
        {"LookLeft", k.LookLeft},
        {"LookRight", k.LookRight},
        {"LookUp", k.LookUp},
        {"LookDown", k.LookDown},
        {"SpinClockwise", k.SpinClockwise},
        {"SpinCounterClockwise", k.SpinCounterClockwise},
        {"Faster", k.Faster},
        {"Slower", k.Slower}};
    for (const auto& [name, flag] : keys)
        j.Key(name), j.Bool(flag != 0);
    j.Close('}');

    IntRect w = f.Window().PixelRect();
    j.Key("window");
    j.Open('{');
    j.Key("left"), j.Int(w.left);
    j.Key("top"), j.Int(w.top);
    j.Key("width"), j.Int(w.Width());
    j.Key("height"), j.Int(w.Height());
    j.Close('}');

    j.Key("labels");
    j.Open('{');
    for (Control* c : f.Window().StackingOrder())
        if (c->Kind() == ControlKind::Label)
            j.Key(c->Name().c_str()), j.String(static_cast<Label*>(c)->Caption());
    j.Close('}');

    j.Key("TimerOwner"), j.Int(TimerOwner);
    j.Key("TimerEnabled"), j.Bool(f.Timer1.Enabled());
    j.Key("sliders");
    j.Open('{');
    const std::pair<const char*, const ScrollBar*> sliders[] = {{"SpeedBar", f.SpeedBar.get()},
                                                                {"StarsBar", f.StarsBar.get()},
                                                                {"SensBar", f.SensBar.get()},
                                                                {"BrightBar", f.BrightBar.get()}};
    for (const auto& [name, bar] : sliders) {
        if (!bar)
            continue;
        j.Key(name);
        j.Open('{');
        j.Key("Value"), j.Int(bar->Value());
        j.Key("CurValue"), j.Int(bar->CurValue());
        j.Key("ThumbPos"), j.Int(bar->ThumbPos());
        j.Key("ThumbLen"), j.Int(bar->ThumbLen());
        j.Key("TrackLen"), j.Int(bar->TrackLen());
        j.Key("LeftPressed"), j.Bool(bar->LeftPressed());
        j.Key("RightPressed"), j.Bool(bar->RightPressed());
        j.Key("Dragging"), j.Bool(bar->Dragging());
        j.Key("RepeatDelay"), j.Int(bar->RepeatDelay());
        j.Close('}');
    }
    j.Close('}');
    j.Key("DirJoystick");
    j.Open('{');
    j.Key("KnobX"), j.Int(f.DirJoystick.KnobX());
    j.Key("KnobY"), j.Int(f.DirJoystick.KnobY());
    j.Key("Grabbed"), j.Bool(f.DirJoystick.Grabbed());
    j.Key("GetXAxis"), j.Float(f.DirJoystick.GetXAxis());
    j.Key("GetYAxis"), j.Float(f.DirJoystick.GetYAxis());
    j.Close('}');
    j.Key("SpinWheel");
    j.Open('{');
    j.Key("BallX"), j.Int(f.SpinWheel.BallX());
    j.Key("BallY"), j.Int(f.SpinWheel.BallY());
    j.Key("WheelAngle"), j.Float(f.SpinWheel.WheelAngle());
    j.Key("Grabbed"), j.Bool(f.SpinWheel.Grabbed());
    j.Key("GetValue"), j.Float(f.SpinWheel.GetValue());
    j.Close('}');
    if (f.Arrow) {
        const Camera& cam = f.Arrow->ViewCamera();
        j.Key("Arrow");
        j.Open('{');
        j.Key("AnH"), j.Float(cam.AnH);
        j.Key("AnV"), j.Float(cam.AnV);
        j.Key("X"), j.Float(cam.X);
        j.Key("Y"), j.Float(cam.Y);
        j.Key("Z"), j.Float(cam.Z);
        j.Key("Sens"), j.Float(f.Arrow->Sens);
        j.Key("Slope"), j.Float(f.Arrow->Slope);
        j.Close('}');
    }
    j.Key("DataCount"), j.Int(DataCount);

    j.Key("stars");
    j.Open('[');
    for (const StarRecord& s : f.Field.Stars) {
        j.Open('[');
        j.Float(s.X), j.Float(s.Y), j.Float(s.Z), j.Int(s.Active), j.Int(s.ColorIndex);
        j.Close(']');
    }
    j.Close(']');
    j.Close('}');
    return j.Text() + "\n";
}

} // namespace

// Resident memory of this process in kilobytes, 0 where the system does not say.
long ResidentKilobytes() {
    long pages = 0, resident = 0;
    if (std::FILE* f = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(f, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(f);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

// Flies options.frames frames of random input; 0 when every frame left a sound state.
int FlyAtRandom(const Options& options) {
    HeadlessBackend screen(options.screenWidth, options.screenHeight);
    screen.SetFramePeriod(1000.0 / options.fps);
    SetBackend(&screen);
    int status = 0;
    long residentAtStart = 0;
    auto started = std::chrono::steady_clock::now();
    {
        Form1 program;
        RandomFlight flight(screen, program, static_cast<std::uint64_t>(options.seed));
        screen.OnDispatch = [&](int frame) {
            if (frame < 1)
                return;
            if (frame == 1)
                residentAtStart = ResidentKilobytes();
            if (std::string wrong = flight.Check(); !wrong.empty()) {
                std::fprintf(stderr, "ozmir-record: random flight %ld, frame %d: %s\n",
                             options.seed, frame, wrong.c_str());
                status = 1;
                screen.Close();
                return;
            }
            if (frame >= options.frames) {
                screen.Close();
                return;
            }
            flight.Fly();
        };
        program.Run();
    }
    SetBackend(nullptr);
    double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    std::printf("random flight %ld: %d frames in %.1f s; resident memory %ld kB at the start, "
                "%ld kB at the end\n",
                options.seed, screen.Frame(), seconds, residentAtStart, ResidentKilobytes());
    if (status == 0 && screen.Frame() < options.frames) {
        std::fprintf(stderr, "ozmir-record: random flight %ld ended early, at frame %d\n",
                     options.seed, screen.Frame());
        status = 1;
    }
    return status;
}

int main(int argc, char** argv) {
    Options options = ParseOptions(argc, argv);
    if (options.seed >= 0)
        return FlyAtRandom(options);
    std::vector<Command> script = ParseScript(options);

    OutputFolder folder;
    if (std::string why = folder.Open(options.out); !why.empty()) {
        std::fprintf(stderr, "ozmir-record: cannot write into the output folder \"%s\": %s\n",
                     Shown(options.out).c_str(), why.c_str());
        return 2;
    }

    HeadlessBackend screen(options.screenWidth, options.screenHeight);
    screen.SetFramePeriod(1000.0 / options.fps);
    SetBackend(&screen);
    int status = 0;
    {
        Form1 program;
        size_t next = 0;
        screen.OnDispatch = [&](int frame) {
            if (frame < 1)
                return;
            // Pictures and states of this frame first, then its input.
            for (size_t i = next; i < script.size() && script[i].frame == frame; ++i) {
                const Command& c = script[i];
                std::string why;
                if (c.verb == "screenshot")
                    why = folder.Write(c.name, [&](std::FILE* file) {
                        return WritePng(file, screen.Screenshot());
                    });
                else if (c.verb == "state")
                    why = folder.Write(c.name, [&](std::FILE* file) {
                        std::string json = StateJson(frame, program);
                        return std::fwrite(json.data(), 1, json.size(), file) == json.size();
                    });
                if (!why.empty()) {
                    std::fprintf(stderr, "ozmir-record: cannot write %s: %s\n",
                                 Shown(c.name).c_str(), why.c_str());
                    status = 1;
                }
            }
            for (; next < script.size() && script[next].frame == frame; ++next) {
                const Command& c = script[next];
                if (c.verb == "keydown")
                    screen.KeyDown(c.keyCode);
                else if (c.verb == "keyup")
                    screen.KeyUp(c.keyCode);
                else if (c.verb == "mousedown")
                    screen.MouseDown(c.x, c.y, c.button);
                else if (c.verb == "mouseup")
                    screen.MouseUp(c.x, c.y, c.button);
                else if (c.verb == "mousemove")
                    screen.MouseMove(c.x, c.y, c.button);
                else if (c.verb == "click")
                    screen.Click(c.x, c.y);
                else if (c.verb == "dblclick")
                    screen.DoubleClick(c.x, c.y);
                else if (c.verb == "quit")
                    screen.Close();
            }
            if (frame >= options.frames)
                screen.Close();
        };
        program.Run();
        // The program may have quit before the script's last frame (on Escape, say):
        // every file it asked for after that is missing.
        for (; next < script.size(); ++next) {
            const Command& c = script[next];
            if (c.name.empty())
                continue;
            std::fprintf(stderr,
                         "ozmir-record: %s:%d: %s was not written: the flight ended at "
                         "frame %d, before frame %d\n",
                         Shown(options.script).c_str(), c.line, Shown(c.name).c_str(),
                         screen.Frame(), c.frame);
            status = 1;
        }
    }
    SetBackend(nullptr);
    return status;
}
