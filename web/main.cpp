// ozmir in a web page: the same program, its frames run by the browser's animation
// frames. The page (web/index.html) passes its size and the options of its query string
// as arguments: --page WxH RATIO PERIOD BENCH-FRAMES, then the program's own options.

#include "platform/forms/Forms.h"
#include "ui/Form1.h"
#include "ui/Options.h"
#include "web/WebBackend.h"

#include <emscripten.h>
#include <emscripten/html5.h>

#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

namespace {

using namespace oz;

WebBackend* page = nullptr;
Form1* program = nullptr;
double lastWorkMs = 0;
int burst = 0; // frames still to run back to back, within this animation frame

EM_JS(void, PageRefused, (const char* message), { ozmirPage.refused(UTF8ToString(message)); });
EM_JS(void, PageEnded, (), { ozmirPage.ended(); });
EM_JS(void, PageDispatch, (int frame), { ozmirPage.dispatch(frame); });
// How the `frames` frames went, each run in its own animation frame (`paced` 1) or all
// back to back (0): the frame's milliseconds, and the `count` steps' (WebBackend::StepMs)
// at `steps`.
// clang-format off
EM_JS(void, PageBenchDone, (int paced, double ms, const double* steps, int count, double puts,
                           double pixels), {
    ozmirPage.benchDone(paced !== 0, ms,
                        Array.from(HEAPF64.subarray(steps >> 3, (steps >> 3) + count)), puts,
                        pixels);
});
// clang-format on

// The benchmark's flight, as ozmir-bench flies it headless: every star slot in use, a
// warm-up at top speed, then `frames` frames timed at the start speed in full screen, one
// an animation frame as the browser paces them, then `frames` more back to back, each
// finding the last one's data in the processor's caches.
void FlyBenchmark(int frames) {
    constexpr int kWarmUp = 150, kPaced = kWarmUp + 10;
    static double totalMs = 0;
    page->OnDispatch = [frames](int frame) {
        const int backToBack = kPaced + frames;
        if (frame == 0) {
            program->StarCount = 2000; // slots 0 to 2000
            program->Speed = 5;
        } else if (frame == kWarmUp) {
            program->Speed = 0.5f;
        } else if (frame == kPaced) {
            page->TimeSteps(true);
        } else if (frame > kPaced && frame <= backToBack + frames) {
            totalMs += lastWorkMs; // the frame before this dispatch
            const bool paced = frame == backToBack;
            if (!paced && frame != backToBack + frames)
                return;
            double steps[WebBackend::kSteps];
            for (int i = 0; i < WebBackend::kSteps; ++i)
                steps[i] = page->StepMs()[i] / frames;
            PageBenchDone(paced, totalMs / frames, steps, WebBackend::kSteps, page->Puts() / frames,
                          page->PutPixels() / frames);
            totalMs = 0;
            page->ResetSteps();
            if (paced)
                burst = frames;
            else
                page->Push(InputEvent{InputEvent::Type::Close});
        }
    };
}

void RunOneFrame() {
    bool flying = true;
    do {
        const double started = emscripten_get_now();
        flying = program->RunFrame();
        lastWorkMs = emscripten_get_now() - started;
    } while (flying && burst > 0 && --burst > 0);
    if (flying)
        return;
    emscripten_cancel_main_loop();
    delete program;
    program = nullptr;
    SetBackend(nullptr);
    PageEnded();
}

std::int16_t Shift(bool shift, bool ctrl, bool alt) {
    return static_cast<std::int16_t>((shift ? 1 : 0) | (ctrl ? 2 : 0) | (alt ? 4 : 0));
}

// The keys the program knows; the page keeps the others (browser shortcuts, F5, F11...).
bool ProgramKey(unsigned long code) {
    return (code >= 'A' && code <= 'Z') || (code >= '0' && code <= '9') ||
           (code >= 37 && code <= 40) || code == 13 || code == 27 || code == 32 ||
           (code >= 112 && code <= 123 && code != 122);
}

EM_BOOL OnKey(int type, const EmscriptenKeyboardEvent* e, void*) {
    if (!program || e->metaKey || e->ctrlKey || !ProgramKey(e->keyCode))
        return EM_FALSE;
    // In the browser's full screen, Esc is the browser's: it leaves its full screen.
    if (e->keyCode == 27 && EM_ASM_INT({ return document.fullscreenElement ? 1 : 0; }))
        return EM_FALSE;
    page->UserActed();
    InputEvent event;
    event.type =
        type == EMSCRIPTEN_EVENT_KEYDOWN ? InputEvent::Type::KeyDown : InputEvent::Type::KeyUp;
    event.keyCode = static_cast<std::int16_t>(e->keyCode);
    event.shift = Shift(e->shiftKey, e->ctrlKey, e->altKey);
    page->Push(event);
    return EM_TRUE;
}

std::int16_t ButtonBit(unsigned short button) {
    return button == 0 ? vbLeftButton : button == 1 ? vbMiddleButton : vbRightButton;
}

EM_BOOL OnMouse(int type, const EmscriptenMouseEvent* e, void*) {
    if (!program)
        return EM_FALSE;
    InputEvent event;
    page->ScreenToProgram(e->clientX, e->clientY, event.x, event.y);
    event.shift = Shift(e->shiftKey, e->ctrlKey, e->altKey);
    if (type == EMSCRIPTEN_EVENT_MOUSEMOVE) {
        event.type = InputEvent::Type::MouseMove;
        event.buttons = static_cast<std::int16_t>(e->buttons & 7); // 1 left, 2 right, 4 middle
    } else {
        page->UserActed();
        event.type = type == EMSCRIPTEN_EVENT_MOUSEDOWN ? InputEvent::Type::MouseDown
                                                        : InputEvent::Type::MouseUp;
        event.button = ButtonBit(e->button);
    }
    page->Push(event);
    return type == EMSCRIPTEN_EVENT_MOUSEDOWN; // no text selection while dragging
}

bool ParseSize(const std::string& text, int& width, int& height) {
    return std::sscanf(text.c_str(), "%dx%d", &width, &height) == 2 && width >= 64 &&
           height >= 64 && width <= 16384 && height <= 16384;
}

} // namespace

extern "C" {

// Input from the page's script (the paced mode), in the program's screen pixels.
EMSCRIPTEN_KEEPALIVE void ozmir_push(int type, int x, int y, int button, int keyCode) {
    if (!page || type < 0 || type > static_cast<int>(InputEvent::Type::Close))
        return;
    InputEvent event;
    event.type = static_cast<InputEvent::Type>(type);
    event.x = x;
    event.y = y;
    event.button = static_cast<std::int16_t>(button);
    event.buttons = static_cast<std::int16_t>(button);
    event.keyCode = static_cast<std::int16_t>(keyCode);
    page->Push(event);
}

EMSCRIPTEN_KEEPALIVE void ozmir_screen_moved(int left, int top) {
    if (page)
        page->ScreenMoved(left, top);
}

// The browser left its full screen (Esc): the flight leaves full screen too, through the
// key that does it, handled in the next frame's dispatch like any other.
EMSCRIPTEN_KEEPALIVE void ozmir_left_browser_full_screen() {
    if (!program || !program->FullScreen)
        return;
    for (auto type : {InputEvent::Type::KeyDown, InputEvent::Type::KeyUp}) {
        InputEvent enter;
        enter.type = type;
        enter.keyCode = 13;
        page->Push(enter);
    }
}

EMSCRIPTEN_KEEPALIVE double ozmir_frame_work_ms() {
    return lastWorkMs;
}

EMSCRIPTEN_KEEPALIVE int ozmir_frame_rate() {
    return program ? program->FrameRate() : 0;
}

EMSCRIPTEN_KEEPALIVE int ozmir_full_screen() {
    return program && program->FullScreen ? 1 : 0;
}

// A little of the flight, for the page's tests.
EMSCRIPTEN_KEEPALIVE double ozmir_speed() {
    return program ? program->Speed : 0;
}

EMSCRIPTEN_KEEPALIVE double ozmir_look_angle() {
    return program ? program->LookAngleH : 0;
}

EMSCRIPTEN_KEEPALIVE const char* ozmir_caption(const char* label) {
    if (!program)
        return "";
    for (Control* c : program->Window().StackingOrder())
        if (c->Kind() == ControlKind::Label && c->Name() == label)
            return static_cast<Label*>(c)->Caption().c_str();
    return "";
}

} // extern "C"

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    int width = 0, height = 0;
    if (args.size() < 5 || args[0] != "--page" || !ParseSize(args[1], width, height)) {
        PageRefused("the page did not say its size");
        return 2;
    }
    const int ratio = std::atoi(args[2].c_str());
    const double period = std::atof(args[3].c_str());
    const int benchFrames = std::atoi(args[4].c_str());
    args.erase(args.begin(), args.begin() + 5);

    Options options;
    std::string error;
    if (!ParseOptions(args, nullptr, options, error)) {
        PageRefused(error.c_str());
        return 2;
    }
    if (options.Help || options.Version || options.Display || options.Root || options.Window) {
        PageRefused("the page takes speed, stars, brightness, fps and autopilot");
        return 2;
    }

    page = new WebBackend(width, height, ratio, period);
    SetBackend(page);
    if (!page->Paced()) {
        const char* doc = EMSCRIPTEN_EVENT_TARGET_DOCUMENT;
        emscripten_set_keydown_callback(doc, nullptr, EM_TRUE, OnKey);
        emscripten_set_keyup_callback(doc, nullptr, EM_TRUE, OnKey);
        emscripten_set_mousedown_callback(doc, nullptr, EM_TRUE, OnMouse);
        emscripten_set_mouseup_callback(doc, nullptr, EM_TRUE, OnMouse);
        emscripten_set_mousemove_callback(doc, nullptr, EM_TRUE, OnMouse);
    }
    program = new Form1();
    if (benchFrames > 0)
        FlyBenchmark(benchFrames);
    else if (page->Paced())
        page->OnDispatch = [](int frame) { PageDispatch(frame); };
    program->Start(options.Start);
    emscripten_set_main_loop(RunOneFrame, 0, 0);
    return 0;
}
