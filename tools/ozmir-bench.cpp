// ozmir-bench: what one frame costs.
//
//   ozmir-bench [--frames N] [--screen WxH] [--paced]
//       Flies the real program on the headless display with every star slot in use, in full
//       screen at 1024x768, 1920x1080 and 3840x2160 (or the one size given), then in window
//       mode, and prints per frame: the time of each step (clear, stars, steering, overlays,
//       compose, present into a screen-sized framebuffer), the pixels handed to the display,
//       and the heap allocations (none once the flight is under way). Each size is also
//       compared with one clear plus one copy of a whole frame of that size. The frames run
//       back to back, their data warm in the processor's caches; --paced starts them a 60 Hz
//       period apart in real time, as a display paces them, each finding its caches as the
//       rest of the machine left them.
//
//   ozmir-bench --window [--seconds S] [--server-pid PID]
//       On the real display (scripts/bench-window runs it under Xvfb and under a headless
//       Wayland compositor): first a bare loop that
//       clears a full-screen frame, draws 1500 dots and presents it every 10 ms through the
//       same SDL path the program uses (and once more presenting each dot by itself, a
//       request per dot), then the program's default flight in full screen
//       (after a warm-up at top speed that brings every star of the field into use).
//       Prints frames per second and the CPU time per frame of this process and, given its
//       process id, of the display server (the X server or the Wayland compositor). On
//       Wayland the bare loops go through SDL's own window surface (OpenGL), the program
//       through its shared-memory buffers.
//
//   ozmir-bench --pacing [--seconds S] [--rounds N] [--server-pid PID]
//       On the real display: the program's flight without a cap, with --max-fps 60, with
//       its window unmapped (as a minimised window is; once with the loop that draws on
//       regardless, as it did before it learnt to pause), as a screensaver whose window
//       is unmapped, and with the display asleep (where the X server has DPMS). Prints the
//       CPU time per second of flight of this process and of the X server, wake-ups per
//       second (voluntary context switches) and the frame-interval jitter (99th
//       percentile of |interval - period|), beside a loop that only sleeps to a 60 Hz
//       schedule and dispatches events: the machine's own floor. The cases take turns for N
//       rounds (3), and each prints its median round.

#include "platform/displays/HeadlessBackend.h"
#include "platform/displays/SdlBackend.h"
#include "platform/forms/Form.h"
#include "sim/FramePacer.h"
#include "ui/Form1.h"

#include <SDL.h>
#include <X11/Xlib.h>
#include <X11/extensions/dpms.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <new>
#include <optional>
#include <string>
#include <thread>
#include <unistd.h>
#include <vector>

namespace {

std::size_t allocations = 0;

} // namespace

void* operator new(std::size_t size) {
    ++allocations;
    if (void* p = std::malloc(size ? size : 1))
        return p;
    throw std::bad_alloc();
}
void operator delete(void* p) noexcept {
    std::free(p);
}
void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) {
    return std::chrono::duration<double>(to - from).count();
}

// ---- Headless ----

enum Step { kClear, kStars, kSteering, kOverlays, kCompose, kPresent, kEvents, kSteps };
const char* const kStepNames[kSteps] = {"clear",   "stars",   "steering", "overlays",
                                        "compose", "present", "events"};

// The headless display, timing each step of the frame. Present copies the regions it is
// given into a framebuffer of the screen's size, as a real display's upload would.
class TimedScreen : public oz::HeadlessBackend {
public:
    TimedScreen(int width, int height)
        : HeadlessBackend(width, height),
          framebuffer_(static_cast<std::size_t>(width) * static_cast<std::size_t>(height)) {}

    bool timing = false;
    bool paced = false; // a 60 Hz period from one timed frame's start to the next
    double seconds[kSteps] = {};
    double presentedPixels = 0; // all regions handed to the display
    double panelPixels = 0;     // the part of them outside the view
    double regionCount = 0;
    oz::IntRect view; // the view, in window pixels

    void FrameStarted() override {
        Lap(kEvents);
        if (timing && paced) {
            due_ = std::max(due_ + std::chrono::microseconds(16667), mark_);
            std::this_thread::sleep_until(due_);
            mark_ = Clock::now(); // the wait is no step of the frame
        }
        HeadlessBackend::FrameStarted();
    }
    void PhaseDone(oz::FramePhase phase) override {
        switch (phase) {
        case oz::FramePhase::Cleared:
            Lap(kClear);
            break;
        case oz::FramePhase::StarsDrawn:
            Lap(kStars);
            break;
        case oz::FramePhase::Steered:
            Lap(kSteering);
            break;
        case oz::FramePhase::OverlaysDrawn:
            Lap(kOverlays);
            awaitingRefresh_ = true;
            break;
        }
    }
    void Present(const oz::Bitmap& image, const oz::IntRect* regions, int count) override {
        // The view's own Refresh right after the overlays: what came before it composed.
        const bool frameRefresh = awaitingRefresh_;
        awaitingRefresh_ = false;
        if (frameRefresh)
            Lap(kCompose);
        HeadlessBackend::Present(image, regions, count);
        oz::IntRect at = window_ ? window_->PixelRect() : oz::IntRect{};
        for (int i = 0; i < count; ++i) {
            oz::IntRect r = regions[i].Intersected(image.Bounds());
            for (int y = r.top; y < r.bottom; ++y) {
                const int sy = at.top + y;
                if (sy < 0 || sy >= ScreenHeightPx())
                    continue;
                const int x0 = std::max(r.left, -at.left);
                const int x1 = std::min(r.right, ScreenWidthPx() - at.left);
                if (x0 < x1)
                    std::copy(image.Row(y) + x0, image.Row(y) + x1,
                              framebuffer_.data() +
                                  static_cast<std::size_t>(sy) *
                                      static_cast<std::size_t>(ScreenWidthPx()) +
                                  (at.left + x0));
            }
            if (timing) {
                const double all = static_cast<double>(r.Width()) * r.Height();
                const oz::IntRect inView = r.Intersected(view);
                presentedPixels += all;
                regionCount += 1;
                panelPixels += all - static_cast<double>(inView.Width()) * inView.Height();
            }
        }
        if (frameRefresh)
            Lap(kPresent);
    }
    void WindowChanged(oz::Form& form) override {
        window_ = &form;
        HeadlessBackend::WindowChanged(form);
    }

private:
    void Lap(Step step) {
        const Clock::time_point now = Clock::now();
        if (timing)
            seconds[step] += Seconds(mark_, now);
        mark_ = now;
    }

    std::vector<oz::Pixel> framebuffer_;
    Clock::time_point mark_ = Clock::now(), due_;
    bool awaitingRefresh_ = false;
    oz::Form* window_ = nullptr;
};

struct Flight {
    int frames = 0;
    double seconds[kSteps] = {};
    double presentedPixels = 0, panelPixels = 0, regions = 0;
    std::size_t allocations = 0;

    double Ms(int step) const { return seconds[step] * 1000 / frames; }
    double FrameMs() const {
        double all = 0;
        for (int s = 0; s < kEvents; ++s)
            all += seconds[s];
        return all * 1000 / frames;
    }
};

// One clear plus one copy of a whole frame, in milliseconds: the least a frame costs that
// redraws and shows all of its pixels.
double ClearAndCopyMs(int width, int height) {
    const std::size_t n = static_cast<std::size_t>(width) * static_cast<std::size_t>(height);
    std::vector<oz::Pixel> frame(n, 1), shown(n, 2);
    const int reps = 40;
    const Clock::time_point start = Clock::now();
    for (int i = 0; i < reps; ++i) {
        std::fill(frame.begin(), frame.end(), static_cast<oz::Pixel>(i));
        std::copy(frame.begin(), frame.end(), shown.begin());
    }
    const double ms = Seconds(start, Clock::now()) * 1000 / reps;
    return shown[n / 2] == static_cast<oz::Pixel>(reps - 1) ? ms : -1;
}

// Flies full screen, then window mode, every star slot in use.
void FlyHeadless(int width, int height, int frames, bool paced, Flight& full, Flight& window) {
    TimedScreen screen(width, height);
    screen.paced = paced;
    screen.SetFramePeriod(1000.0 / 64);
    oz::SetBackend(&screen);
    const int warmUp = 150; // at top speed, every star is born again and in use
    std::size_t startAllocations = 0;
    auto begin = [&] {
        std::fill(std::begin(screen.seconds), std::end(screen.seconds), 0.0);
        screen.presentedPixels = screen.panelPixels = screen.regionCount = 0;
        startAllocations = allocations;
        screen.timing = true;
    };
    auto end = [&](Flight& f) {
        screen.timing = false;
        f.frames = frames;
        std::copy(std::begin(screen.seconds), std::end(screen.seconds), f.seconds);
        f.presentedPixels = screen.presentedPixels;
        f.panelPixels = screen.panelPixels;
        f.regions = screen.regionCount;
        f.allocations = allocations - startAllocations;
    };
    {
        oz::Form1 program;
        screen.OnDispatch = [&](int frame) {
            if (frame == 0) {
                program.StarCount = 2000; // slots 0 to 2000
                program.Speed = 5;
            } else if (frame == warmUp) {
                program.Speed = 0.5f;
            } else if (frame == warmUp + 10) {
                screen.view = program.picMain.PixelRect();
                begin();
            } else if (frame == warmUp + 10 + frames) {
                end(full);
                screen.DoubleClick(width / 2, height / 2);
            } else if (frame == warmUp + 30 + frames) {
                screen.view = program.picMain.PixelRect();
                begin();
            } else if (frame == warmUp + 30 + 2 * frames) {
                end(window);
                screen.Close();
            }
        };
        program.Run();
    }
    oz::SetBackend(nullptr);
}

int RunHeadless(int frames, int onlyWidth, int onlyHeight, bool paced) {
    std::vector<std::pair<int, int>> sizes = {{1024, 768}, {1920, 1080}, {3840, 2160}};
    if (onlyWidth > 0)
        sizes = {{onlyWidth, onlyHeight}};
    std::printf("headless, %d frames each%s, all 2001 star slots in use; ms per frame\n", frames,
                paced ? " at 60 Hz" : " back to back");
    std::printf("%-16s", "size, mode");
    for (int s = 0; s < kEvents; ++s)
        std::printf(" %8s", kStepNames[s]);
    std::printf(" %8s %9s %8s %7s %7s %7s\n", "frame", "clr+copy", "ratio", "Mpx/fr", "rects",
                "alloc");
    double firstFrame = 0;
    for (auto [w, h] : sizes) {
        Flight full, window;
        FlyHeadless(w, h, frames, paced, full, window);
        const double baseline = ClearAndCopyMs(w, h);
        for (const Flight* f : {&full, &window}) {
            char label[32];
            std::snprintf(label, sizeof label, "%dx%d %s", w, h, f == &full ? "full" : "win");
            std::printf("%-16s", label);
            for (int s = 0; s < kEvents; ++s)
                std::printf(" %8.3f", f->Ms(s));
            std::printf(" %8.3f %9.3f %8.3f %7.3f %7.1f %7.2f\n", f->FrameMs(), baseline,
                        f->FrameMs() / baseline, f->presentedPixels / f->frames / 1e6,
                        f->regions / f->frames, static_cast<double>(f->allocations) / f->frames);
        }
        if (firstFrame == 0)
            firstFrame = full.FrameMs();
        else
            std::printf("%-16s full-screen frame = %.2f x the first size's\n", "",
                        full.FrameMs() / firstFrame);
        std::printf("%-16s window mode: %.0f panel pixels presented per frame\n", "",
                    window.panelPixels / window.frames);
    }
    return 0;
}

// ---- Real display ----

// Sums a number read from a file of every thread of a process (/proc/PID/task/TID/NAME);
// -1 when there is none.
template <typename Read> double SumOverThreads(long pid, const char* name, Read read) {
    char path[320];
    std::snprintf(path, sizeof path, "/proc/%ld/task", pid);
    DIR* tasks = opendir(path);
    if (!tasks)
        return -1;
    double sum = -1;
    while (const dirent* task = readdir(tasks)) {
        if (task->d_name[0] == '.')
            continue;
        std::snprintf(path, sizeof path, "/proc/%ld/task/%s/%s", pid, task->d_name, name);
        if (FILE* f = std::fopen(path, "r")) {
            double value = 0;
            if (read(f, value))
                sum = std::max(sum, 0.0) + value;
            std::fclose(f);
        }
    }
    closedir(tasks);
    return sum;
}

// CPU time of a process so far, in seconds, to the nanosecond (the scheduler's own count of
// every thread's time on a CPU); -1 when it cannot be read.
double CpuSeconds(long pid) {
    return SumOverThreads(pid, "schedstat", [](FILE* f, double& seconds) {
        unsigned long long ns = 0;
        if (std::fscanf(f, "%llu", &ns) != 1)
            return false;
        seconds = static_cast<double>(ns) / 1e9;
        return true;
    });
}

// How often a process went to sleep and was woken, so far: the voluntary context switches of
// every thread.
double WakeUps(long pid) {
    return SumOverThreads(pid, "status", [](FILE* f, double& count) {
        char line[256];
        while (std::fgets(line, sizeof line, f))
            if (std::sscanf(line, "voluntary_ctxt_switches: %lf", &count) == 1)
                return true;
        return false;
    });
}

struct Pace {
    int frames = 0;
    double seconds = 0, selfCpu = 0, serverCpu = 0;

    void Print(const char* what) const {
        std::printf("%-8s %7.1f fps  CPU/frame: program %6.2f ms", what, frames / seconds,
                    selfCpu * 1000 / frames);
        if (serverCpu >= 0)
            std::printf(" + server %6.2f ms = %6.2f ms", serverCpu * 1000 / frames,
                        (selfCpu + serverCpu) * 1000 / frames);
        std::printf("\n");
    }
};

// Measures frames between two marks, with the CPU time of this process and the server.
class PaceMeter {
public:
    PaceMeter(long serverPid) : serverPid_(serverPid) {}
    void Start() {
        frames_ = 0;
        start_ = Clock::now();
        self_ = CpuSeconds(getpid());
        server_ = serverPid_ > 0 ? CpuSeconds(serverPid_) : -1;
    }
    void Frame() { ++frames_; }
    double Elapsed() const { return Seconds(start_, Clock::now()); }
    Pace Stop() const {
        Pace p;
        p.frames = std::max(frames_, 1);
        p.seconds = Elapsed();
        p.selfCpu = CpuSeconds(getpid()) - self_;
        p.serverCpu = server_ >= 0 ? CpuSeconds(serverPid_) - server_ : -1;
        return p;
    }

private:
    long serverPid_;
    int frames_ = 0;
    Clock::time_point start_;
    double self_ = 0, server_ = -1;
};

// The SDL display passed through, closing the window at the first event dispatch once the
// bench has what it came for.
class ForwardingDisplay : public oz::Backend {
public:
    explicit ForwardingDisplay(oz::Backend& inner) : inner_(inner) {}

    int ScreenWidthPx() const override { return inner_.ScreenWidthPx(); }
    int ScreenHeightPx() const override { return inner_.ScreenHeightPx(); }
    std::uint32_t TickCount() override { return inner_.TickCount(); }
    void Sleep(std::uint32_t ms) override { inner_.Sleep(ms); }
    std::uint64_t TickMicroseconds() override { return inner_.TickMicroseconds(); }
    void SleepUntilMicroseconds(std::uint64_t due) override { inner_.SleepUntilMicroseconds(due); }
    bool Showing() override { return inner_.Showing(); }
    void WaitForInput(std::uint32_t ms) override { inner_.WaitForInput(ms); }
    int RefreshRate() override { return inner_.RefreshRate(); }
    bool PollInput(oz::InputEvent& event) override {
        if (finished_ && !closeSent_) {
            closeSent_ = true;
            event = oz::InputEvent{};
            event.type = oz::InputEvent::Type::Close;
            return true;
        }
        return inner_.PollInput(event);
    }
    void WindowChanged(oz::Form& form) override { inner_.WindowChanged(form); }
    void Present(const oz::Bitmap& image, const oz::IntRect* regions, int count) override {
        inner_.Present(image, regions, count);
    }
    void WindowClosed(oz::Form& form) override { inner_.WindowClosed(form); }

protected:
    oz::Backend& inner_;
    bool finished_ = false;

private:
    bool closeSent_ = false;
};

// The SDL display, counting frames and closing the window once the time is up.
class PacedDisplay : public ForwardingDisplay {
public:
    PacedDisplay(oz::Backend& inner, PaceMeter& meter, double warmUp, double seconds)
        : ForwardingDisplay(inner), meter_(meter), warmUp_(warmUp), seconds_(seconds) {}

    Pace result;
    oz::Form1* program = nullptr;

    void FrameStarted() override {
        // The warm-up flies at top speed, so that every star of the default field is born
        // again and in use; then the default speed.
        if (!started_ && program)
            program->Speed = 5;
        if (!started_ && Seconds(born_, Clock::now()) >= warmUp_) {
            if (program)
                program->Speed = 0.5f;
            meter_.Start();
            started_ = true;
        } else if (started_ && !finished_) {
            meter_.Frame();
            if (meter_.Elapsed() >= seconds_) {
                result = meter_.Stop();
                finished_ = true;
            }
        }
    }

private:
    PaceMeter& meter_;
    double warmUp_, seconds_;
    Clock::time_point born_ = Clock::now();
    bool started_ = false;
};

// A full-screen frame cleared, 1500 dots drawn and presented every 10 ms, through the
// window surface that the program's display uses: the whole frame at once, or (perDot)
// only the dots, last frame's and this frame's, one rectangle each.
Pace BareLoop(int width, int height, bool perDot, PaceMeter& meter, double warmUp, double seconds) {
    SDL_Window* window = SDL_CreateWindow("bare present", 0, 0, width, height,
                                          SDL_WINDOW_BORDERLESS | SDL_WINDOW_FULLSCREEN_DESKTOP);
    Pace pace;
    if (!window)
        return pace;
    constexpr int kDots = 1500;
    std::vector<SDL_Rect> dots(2 * kDots, SDL_Rect{0, 0, 1, 1});
    std::uint32_t seed = 1;
    const Clock::time_point born = Clock::now();
    bool started = false;
    while (true) {
        SDL_Event e;
        while (SDL_PollEvent(&e)) {
        }
        SDL_Surface* s = SDL_GetWindowSurface(window);
        if (s) {
            auto at = [s](const SDL_Rect& r) {
                auto* row = static_cast<unsigned char*>(s->pixels) + r.y * s->pitch;
                return reinterpret_cast<std::uint32_t*>(row) + r.x;
            };
            if (perDot) {
                for (int i = 0; i < kDots; ++i) {
                    *at(dots[static_cast<size_t>(i)]) = 0;
                    dots[static_cast<size_t>(kDots + i)] = dots[static_cast<size_t>(i)];
                }
            } else {
                SDL_FillRect(s, nullptr, 0);
            }
            for (int i = 0; i < kDots; ++i) {
                SDL_Rect& dot = dots[static_cast<size_t>(i)];
                seed = seed * 1664525u + 1013904223u;
                dot.x = static_cast<int>((seed >> 8) % static_cast<unsigned>(s->w));
                seed = seed * 1664525u + 1013904223u;
                dot.y = static_cast<int>((seed >> 8) % static_cast<unsigned>(s->h));
                *at(dot) = 0xFFFFFF;
            }
            if (perDot)
                SDL_UpdateWindowSurfaceRects(window, dots.data(), 2 * kDots);
            else
                SDL_UpdateWindowSurface(window);
        }
        SDL_Delay(10);
        if (!started && Seconds(born, Clock::now()) >= warmUp) {
            meter.Start();
            started = true;
        } else if (started) {
            meter.Frame();
            if (meter.Elapsed() >= seconds) {
                pace = meter.Stop();
                break;
            }
        }
    }
    SDL_DestroyWindow(window);
    return pace;
}

int RunWindow(double seconds, long serverPid) {
    std::string error;
    std::unique_ptr<oz::SdlBackend> display = oz::SdlBackend::Create(error);
    if (!display) {
        std::fprintf(stderr, "ozmir-bench: %s\n", error.c_str());
        return 1;
    }
    const int w = display->ScreenWidthPx(), h = display->ScreenHeightPx();
    const double warmUp = 2.5;
    PaceMeter meter(serverPid);
    const Pace bare = BareLoop(w, h, false, meter, warmUp, seconds);
    const Pace perDot = BareLoop(w, h, true, meter, warmUp, seconds);

    PacedDisplay paced(*display, meter, warmUp, seconds);
    oz::SetBackend(&paced);
    {
        oz::Form1 program;
        paced.program = &program;
        program.Run();
    }
    oz::SetBackend(nullptr);
    const Pace& flight = paced.result;

    std::printf("real window %dx%d (driver %s), %.0f s each\n", w, h, SDL_GetCurrentVideoDriver(),
                seconds);
    bare.Print("bare");
    perDot.Print("per dot");
    flight.Print("ozmir");
    if (bare.frames > 0 && flight.frames > 0) {
        const double bareCpu = (bare.selfCpu + std::max(bare.serverCpu, 0.0)) / bare.frames;
        const double flightCpu = (flight.selfCpu + std::max(flight.serverCpu, 0.0)) / flight.frames;
        std::printf("ratio    fps %.2f x bare, CPU/frame %.2f x bare\n",
                    (flight.frames / flight.seconds) / (bare.frames / bare.seconds),
                    bareCpu > 0 ? flightCpu / bareCpu : 0.0);
    }
    return 0;
}

// ---- Pacing and pauses ----

// How a case leaves the window once the flight is warm.
enum class Hiding {
    Shown,
    Unmapped,        // as a window manager unmaps a minimised window
    UnmappedOldLoop, // the same, with a display that always says the window shows
    Asleep,          // DPMS off
};

struct PacingCase {
    const char* name;
    std::optional<int> maxFps;
    Hiding hiding = Hiding::Shown;
    bool screensaver = false; // drawn into a window the bench makes, as XScreenSaver's
    bool bare = false;        // no program: only the schedule's sleeps, the machine's floor
};

struct PacingResult {
    double seconds = 0, selfCpu = 0, serverCpu = -1, wakeUps = 0;
    std::vector<double> starts; // frame starts while measured, seconds
};

// The 99th percentile of |interval - period| between frame starts, in milliseconds; the
// mean interval stands for the period when there is no cap.
double JitterMs(const std::vector<double>& starts, double period) {
    if (starts.size() < 3)
        return -1;
    std::vector<double> intervals;
    for (size_t i = 1; i < starts.size(); ++i)
        intervals.push_back(starts[i] - starts[i - 1]);
    if (period <= 0)
        period = (starts.back() - starts.front()) / static_cast<double>(intervals.size());
    for (double& d : intervals)
        d = std::abs(d - period);
    std::sort(intervals.begin(), intervals.end());
    return intervals[(intervals.size() - 1) * 99 / 100] * 1000;
}

// The topmost mapped window on the screen: without a window manager, the program's own.
::Window TopWindow(Display* x) {
    ::Window root = 0, parent = 0, *children = nullptr, top = 0;
    unsigned count = 0;
    if (XQueryTree(x, DefaultRootWindow(x), &root, &parent, &children, &count)) {
        for (unsigned i = 0; i < count; ++i) {
            XWindowAttributes a;
            if (XGetWindowAttributes(x, children[i], &a) && a.map_state == IsViewable)
                top = children[i];
        }
        XFree(children);
    }
    return top;
}

// The SDL display under a schedule: a warm-up that brings every star into use, then the
// case's hiding, half a second to settle, the measurement, and a close. The schedule moves
// on at every frame and every event dispatch, so it also runs while the loop pauses.
class PacingDisplay : public ForwardingDisplay {
public:
    PacingDisplay(oz::Backend& inner, Display* x, ::Window window, const PacingCase& c,
                  long serverPid, double seconds)
        : ForwardingDisplay(inner), x_(x), window_(window), case_(c), serverPid_(serverPid),
          seconds_(seconds) {
        result.starts.reserve(static_cast<size_t>(seconds * 1100) + 16);
    }

    PacingResult result;
    oz::Form1* program = nullptr;

    bool Showing() override {
        const bool showing = inner_.Showing();
        return case_.hiding == Hiding::UnmappedOldLoop || showing;
    }
    void FrameStarted() override {
        const double now = Seconds(born_, Clock::now());
        if (phase_ == Phase::Measuring)
            result.starts.push_back(now);
        MoveOn(now);
    }
    bool PollInput(oz::InputEvent& event) override {
        MoveOn(Seconds(born_, Clock::now()));
        return ForwardingDisplay::PollInput(event);
    }

private:
    enum class Phase { WarmingUp, Settling, Measuring, Done };
    static constexpr double kWarmUp = 2.5, kSettle = 0.5;

    void MoveOn(double now) {
        switch (phase_) {
        case Phase::WarmingUp:
            // At top speed, so that every star of the default field is born again and in
            // use; then the default speed.
            if (program)
                program->Speed = now < kWarmUp ? 5 : 0.5f;
            if (now >= kWarmUp) {
                Hide(true);
                phase_ = Phase::Settling;
            }
            break;
        case Phase::Settling:
            if (now >= kWarmUp + kSettle) {
                Mark(-1);
                phase_ = Phase::Measuring;
            }
            break;
        case Phase::Measuring:
            if (now - measureStart_ >= seconds_) {
                Mark(1);
                Hide(false);
                phase_ = Phase::Done;
                finished_ = true;
            }
            break;
        case Phase::Done:
            break;
        }
    }

    // Starts (-1) or ends (+1) the measurement: CPU and wake-ups of both processes.
    void Mark(int sign) {
        const double now = Seconds(born_, Clock::now());
        if (sign < 0)
            measureStart_ = now;
        else
            result.seconds = now - measureStart_;
        result.selfCpu += sign * CpuSeconds(getpid());
        result.wakeUps += sign * WakeUps(getpid());
        if (serverPid_ > 0)
            result.serverCpu = (sign < 0 ? 0 : result.serverCpu) + sign * CpuSeconds(serverPid_);
    }

    void Hide(bool hide) {
        if (window_ == 0) // the program's own window, made when it started
            window_ = TopWindow(x_);
        switch (case_.hiding) {
        case Hiding::Shown:
            return;
        case Hiding::Unmapped:
        case Hiding::UnmappedOldLoop:
            if (hide)
                XUnmapWindow(x_, window_);
            else
                XMapWindow(x_, window_);
            break;
        case Hiding::Asleep:
            DPMSForceLevel(x_, hide ? DPMSModeOff : DPMSModeOn);
            break;
        }
        XSync(x_, False);
    }

    Display* x_;
    ::Window window_;
    PacingCase case_;
    long serverPid_;
    double seconds_;
    Clock::time_point born_ = Clock::now();
    Phase phase_ = Phase::WarmingUp;
    double measureStart_ = 0;
};

// Flies one case, in a window of its own or in one made here as a screensaver's.
std::optional<PacingResult> FlyCase(const PacingCase& c, Display* x, long serverPid,
                                    double seconds) {
    ::Window saver = 0;
    oz::SdlDisplayRequest request;
    if (c.screensaver) {
        const int w = DisplayWidth(x, DefaultScreen(x)), h = DisplayHeight(x, DefaultScreen(x));
        saver = XCreateSimpleWindow(x, DefaultRootWindow(x), 0, 0, static_cast<unsigned>(w),
                                    static_cast<unsigned>(h), 0, 0, 0);
        XMapWindow(x, saver);
        XSync(x, False);
        request.window = saver;
    }
    std::string error;
    std::unique_ptr<oz::SdlBackend> display = oz::SdlBackend::Create(error, request);
    if (!display) {
        std::fprintf(stderr, "ozmir-bench: %s\n", error.c_str());
        return std::nullopt;
    }
    PacingResult result;
    {
        oz::StartSettings settings;
        settings.MaxFps = c.maxFps;
        settings.Screensaver = settings.Autopilot = c.screensaver;
        PacingDisplay pacing(*display, x, saver, c, serverPid, seconds);
        oz::SetBackend(&pacing);
        if (c.bare) {
            oz::FramePacer pacer(c.maxFps.value_or(60));
            pacer.Restart(display->TickMicroseconds());
            for (oz::InputEvent e; !pacing.PollInput(e) || e.type != oz::InputEvent::Type::Close;) {
                pacing.FrameStarted();
                display->SleepUntilMicroseconds(pacer.NextDue(display->TickMicroseconds()));
            }
        } else {
            oz::Form1 program;
            pacing.program = &program;
            program.Run(settings);
        }
        oz::SetBackend(nullptr);
        result = pacing.result;
    }
    display.reset();
    if (saver != 0)
        XDestroyWindow(x, saver);
    XSync(x, False);
    return result;
}

int RunPacing(double seconds, int rounds, long serverPid) {
    Display* x = XOpenDisplay(nullptr);
    if (!x) {
        std::fprintf(stderr, "ozmir-bench: cannot open the X display\n");
        return 1;
    }
    int base = 0, errors = 0;
    const bool dpms = DPMSQueryExtension(x, &base, &errors) && DPMSCapable(x);
    if (dpms)
        DPMSEnable(x);
    std::vector<PacingCase> cases = {
        {"60 Hz, sleep+dispatch", 60, Hiding::Shown, false, true},
        {"no cap", std::nullopt, Hiding::Shown},
        {"--max-fps 60", 60, Hiding::Shown},
        {"unmapped, drawing on", std::nullopt, Hiding::UnmappedOldLoop},
        {"unmapped", std::nullopt, Hiding::Unmapped},
        {"saver unmapped", std::nullopt, Hiding::Unmapped, true},
    };
    if (dpms)
        cases.push_back({"display asleep", std::nullopt, Hiding::Asleep});
    std::printf("pacing %dx%d, %.0f s each; CPU and wake-ups per second of flight%s\n",
                DisplayWidth(x, DefaultScreen(x)), DisplayHeight(x, DefaultScreen(x)), seconds,
                dpms ? "" : " (this X server has no DPMS)");
    std::printf("%d rounds, the cases taking turns; each row is its case's median round by "
                "CPU\n",
                rounds);
    std::printf("%-22s %7s %10s %10s %10s %9s %11s\n", "case", "fps", "CPU ms/s", "X ms/s",
                "sum ms/s", "wakes/s", "jitter p99");
    struct Row {
        double fps, self, server, wakes, jitter;
    };
    std::vector<std::vector<Row>> rows(cases.size());
    for (int round = 0; round < rounds; ++round) {
        for (size_t i = 0; i < cases.size(); ++i) {
            const PacingCase& c = cases[i];
            const std::optional<PacingResult> r = FlyCase(c, x, serverPid, seconds);
            if (!r || r->seconds <= 0)
                return 1;
            rows[i].push_back(Row{
                static_cast<double>(r->starts.size()) / r->seconds, r->selfCpu * 1000 / r->seconds,
                r->serverCpu >= 0 ? r->serverCpu * 1000 / r->seconds : 0, r->wakeUps / r->seconds,
                JitterMs(r->starts, c.maxFps ? 1.0 / *c.maxFps : 0)});
        }
    }
    double uncapped = 0, capped = 0;
    for (size_t i = 0; i < cases.size(); ++i) {
        std::vector<Row>& runs = rows[i];
        std::sort(runs.begin(), runs.end(),
                  [](const Row& a, const Row& b) { return a.self + a.server < b.self + b.server; });
        const Row& m = runs[runs.size() / 2];
        std::printf("%-22s %7.1f %10.2f %10.2f %10.2f %9.1f", cases[i].name, m.fps, m.self,
                    m.server, m.self + m.server, m.wakes);
        if (m.jitter >= 0)
            std::printf(" %8.3f ms", m.jitter);
        std::printf("\n");
        if (cases[i].hiding == Hiding::Shown && !cases[i].bare)
            (cases[i].maxFps ? capped : uncapped) = m.self + m.server;
    }
    if (uncapped > 0)
        std::printf("ratio    --max-fps 60 CPU/s %.2f x no cap\n", capped / uncapped);
    XCloseDisplay(x);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: ozmir-bench [--frames N] [--screen WxH] [--paced]\n"
                 "       ozmir-bench --window [--seconds S] [--server-pid PID]\n"
                 "       ozmir-bench --pacing [--seconds S] [--rounds N] [--server-pid PID]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int frames = 300, width = 0, height = 0;
    bool window = false, pacing = false, paced = false;
    double seconds = 5;
    int rounds = 3;
    long serverPid = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--window") {
            window = true;
        } else if (arg == "--pacing") {
            pacing = true;
        } else if (arg == "--paced") {
            paced = true;
        } else if (arg == "--frames" && hasValue) {
            frames = std::max(10, std::atoi(argv[++i]));
        } else if (arg == "--seconds" && hasValue) {
            seconds = std::max(1.0, std::atof(argv[++i]));
        } else if (arg == "--rounds" && hasValue) {
            rounds = std::max(1, std::atoi(argv[++i]));
        } else if ((arg == "--server-pid" || arg == "--xpid") && hasValue) {
            serverPid = std::atol(argv[++i]);
        } else if (arg == "--screen" && hasValue &&
                   std::sscanf(argv[++i], "%dx%d", &width, &height) == 2 && width >= 64 &&
                   height >= 64) {
            continue;
        } else {
            return Usage();
        }
    }
    if (pacing)
        return RunPacing(seconds, rounds, serverPid);
    return window ? RunWindow(seconds, serverPid) : RunHeadless(frames, width, height, paced);
}
