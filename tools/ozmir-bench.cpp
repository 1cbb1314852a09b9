// ozmir-bench: what one frame costs.
//
//   ozmir-bench [--frames N] [--screen WxH]
//       Flies the real program on the headless display with every star slot in use, in full
//       screen at 1024x768, 1920x1080 and 3840x2160 (or the one size given), then in window
//       mode, and prints per frame: the time of each step (clear, stars, steering, overlays,
//       compose, present into a screen-sized framebuffer), the pixels handed to the display,
//       and the heap allocations (none once the flight is under way). Each size is also
//       compared with one clear plus one copy of a whole frame of that size.
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

#include "platform/Form.h"
#include "platform/HeadlessBackend.h"
#include "platform/SdlBackend.h"
#include "ui/Form1.h"

#include <SDL.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <new>
#include <string>
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
    double seconds[kSteps] = {};
    double presentedPixels = 0; // all regions handed to the display
    double panelPixels = 0;     // the part of them outside the view
    double regionCount = 0;
    oz::IntRect view; // the view, in window pixels

    void FrameStarted() override {
        Lap(kEvents);
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
    Clock::time_point mark_ = Clock::now();
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
void FlyHeadless(int width, int height, int frames, Flight& full, Flight& window) {
    TimedScreen screen(width, height);
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

int RunHeadless(int frames, int onlyWidth, int onlyHeight) {
    std::vector<std::pair<int, int>> sizes = {{1024, 768}, {1920, 1080}, {3840, 2160}};
    if (onlyWidth > 0)
        sizes = {{onlyWidth, onlyHeight}};
    std::printf("headless, %d frames each, all 2001 star slots in use; ms per frame\n", frames);
    std::printf("%-16s", "size, mode");
    for (int s = 0; s < kEvents; ++s)
        std::printf(" %8s", kStepNames[s]);
    std::printf(" %8s %9s %8s %7s %7s %7s\n", "frame", "clr+copy", "ratio", "Mpx/fr", "rects",
                "alloc");
    double firstFrame = 0;
    for (auto [w, h] : sizes) {
        Flight full, window;
        FlyHeadless(w, h, frames, full, window);
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

// CPU time (user + system) of a process so far, in seconds; -1 when it cannot be read.
double CpuSeconds(long pid) {
    char path[64];
    std::snprintf(path, sizeof path, "/proc/%ld/stat", pid);
    FILE* f = std::fopen(path, "r");
    if (!f)
        return -1;
    char buffer[1024];
    const std::size_t n = std::fread(buffer, 1, sizeof buffer - 1, f);
    std::fclose(f);
    buffer[n] = 0;
    // Fields after the command's closing parenthesis: state is field 3, utime 14, stime 15.
    const char* p = std::strrchr(buffer, ')');
    if (!p)
        return -1;
    unsigned long long utime = 0, stime = 0;
    if (std::sscanf(p + 2, "%*c %*d %*d %*d %*d %*d %*u %*u %*u %*u %*u %llu %llu", &utime,
                    &stime) != 2)
        return -1;
    return static_cast<double>(utime + stime) / static_cast<double>(sysconf(_SC_CLK_TCK));
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

// The SDL display, counting frames and closing the window once the time is up.
class PacedDisplay : public oz::Backend {
public:
    PacedDisplay(oz::Backend& inner, PaceMeter& meter, double warmUp, double seconds)
        : inner_(inner), meter_(meter), warmUp_(warmUp), seconds_(seconds) {}

    Pace result;
    oz::Form1* program = nullptr;

    int ScreenWidthPx() const override { return inner_.ScreenWidthPx(); }
    int ScreenHeightPx() const override { return inner_.ScreenHeightPx(); }
    std::uint32_t TickCount() override { return inner_.TickCount(); }
    void Sleep(std::uint32_t ms) override { inner_.Sleep(ms); }
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
        } else if (started_ && !done_) {
            meter_.Frame();
            if (meter_.Elapsed() >= seconds_) {
                result = meter_.Stop();
                done_ = true;
            }
        }
    }
    bool PollInput(oz::InputEvent& event) override {
        if (done_ && !closeSent_) {
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

private:
    oz::Backend& inner_;
    PaceMeter& meter_;
    double warmUp_, seconds_;
    Clock::time_point born_ = Clock::now();
    bool started_ = false, done_ = false, closeSent_ = false;
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

int Usage() {
    std::fprintf(stderr, "usage: ozmir-bench [--frames N] [--screen WxH]\n"
                         "       ozmir-bench --window [--seconds S] [--server-pid PID]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int frames = 300, width = 0, height = 0;
    bool window = false;
    double seconds = 5;
    long serverPid = 0;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--window") {
            window = true;
        } else if (arg == "--frames" && hasValue) {
            frames = std::max(10, std::atoi(argv[++i]));
        } else if (arg == "--seconds" && hasValue) {
            seconds = std::max(1.0, std::atof(argv[++i]));
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
    return window ? RunWindow(seconds, serverPid) : RunHeadless(frames, width, height);
}
