#pragma once
// Runs the whole program on a virtual screen, with a script that acts at each frame's
// event dispatch: it sees the state as the frame left it, and the input it queues is
// handled in that same dispatch.

#include "platform/displays/HeadlessBackend.h"
#include "ui/Form1.h"

#include <functional>

namespace oz::test {

class ProgramHarness {
public:
    explicit ProgramHarness(int width = 1024, int height = 768) : screen(width, height) {
        screen.SetFramePeriod(1000.0 / 64);
        SetBackend(&screen);
    }
    ~ProgramHarness() { SetBackend(nullptr); }

    // Runs until the window unloads, or `frames` frames have passed.
    void Run(const std::function<void(int frame, Form1& program)>& script, int frames = 1000,
             const StartSettings& settings = {}) {
        Form1 program;
        screen.OnDispatch = [&](int frame) {
            if (frame < 1)
                return;
            script(frame, program);
            if (frame >= frames)
                screen.Close();
        };
        program.Run(settings);
        screen.OnDispatch = nullptr;
    }

    HeadlessBackend screen;
};

} // namespace oz::test
