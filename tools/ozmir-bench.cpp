// ozmir-bench: what one frame costs. Flies the real program on the headless display for a
// number of frames, in full screen and in window mode, and reports the time per frame and
// the heap allocations per frame (which should be none once the flight is under way).
//
//   ozmir-bench [--frames N] [--screen WxH]

#include "platform/HeadlessBackend.h"
#include "ui/Form1.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>

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

struct Measure {
    int frames = 0;
    double seconds = 0;
    std::size_t allocations = 0;
};

void Report(const char* mode, const Measure& m) {
    std::printf("%-12s %6d frames  %8.3f ms/frame  %6.2f allocations/frame\n", mode, m.frames,
                m.seconds * 1000 / m.frames, static_cast<double>(m.allocations) / m.frames);
}

} // namespace

int main(int argc, char** argv) {
    int frames = 600, width = 1024, height = 768;
    for (int i = 1; i + 1 < argc; i += 2) {
        std::string arg = argv[i];
        if (arg == "--frames")
            frames = std::max(10, std::atoi(argv[i + 1]));
        else if (arg == "--screen" && std::sscanf(argv[i + 1], "%dx%d", &width, &height) == 2)
            continue;
        else {
            std::fprintf(stderr, "usage: ozmir-bench [--frames N] [--screen WxH]\n");
            return 2;
        }
    }

    oz::HeadlessBackend screen(width, height);
    screen.SetFramePeriod(1000.0 / 64);
    oz::SetBackend(&screen);
    Measure full, window;
    const int warmUp = 200; // the field fills with reborn stars first
    std::chrono::steady_clock::time_point start;
    std::size_t startAllocations = 0;
    auto begin = [&] {
        startAllocations = allocations;
        start = std::chrono::steady_clock::now();
    };
    auto end = [&](Measure& m, int count) {
        m.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        m.allocations = allocations - startAllocations;
        m.frames = count;
    };
    {
        oz::Form1 program;
        screen.OnDispatch = [&](int frame) {
            if (frame == warmUp)
                begin();
            else if (frame == warmUp + frames) {
                end(full, frames);
                screen.DoubleClick(width / 2, height / 2);
            } else if (frame == warmUp + frames + 10) {
                begin();
            } else if (frame == warmUp + 2 * frames + 10) {
                end(window, frames);
                screen.Close();
            }
        };
        program.Run();
    }
    oz::SetBackend(nullptr);
    Report("full screen", full);
    Report("window", window);
    return 0;
}
