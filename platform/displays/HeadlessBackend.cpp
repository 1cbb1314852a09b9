#include "platform/displays/HeadlessBackend.h"

#include "platform/forms/Form.h"

#include <algorithm>
#include <cmath>

namespace oz {

HeadlessBackend::HeadlessBackend(int screenWidth, int screenHeight)
    : width_(screenWidth), height_(screenHeight) {}

HeadlessBackend::~HeadlessBackend() = default;

std::uint32_t HeadlessBackend::TickCount() {
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::floor(now_)));
}

void HeadlessBackend::Sleep(std::uint32_t milliseconds) {
    if (period_ <= 0)
        now_ += milliseconds;
}

std::uint64_t HeadlessBackend::TickMicroseconds() {
    return static_cast<std::uint64_t>(std::floor(now_ * 1000 + 0.5));
}

void HeadlessBackend::SleepUntilMicroseconds(std::uint64_t due) {
    if (period_ <= 0)
        now_ = std::max(now_, static_cast<double>(due) / 1000);
}

void HeadlessBackend::WaitForInput(std::uint32_t milliseconds) {
    ++waits_;
    if (!queue_.empty())
        return;
    now_ += milliseconds;
    waited_ += milliseconds;
}

void HeadlessBackend::FrameStarted() {
    ++frame_;
    if (period_ > 0)
        now_ = waited_ + frame_ * period_;
}

void HeadlessBackend::DispatchStarting() {
    if (OnDispatch)
        OnDispatch(frame_);
}

void HeadlessBackend::Push(InputEvent event) {
    event.time = TickCount();
    queue_.push_back(event);
}

void HeadlessBackend::MouseDown(int x, int y, std::int16_t button) {
    InputEvent e;
    e.type = InputEvent::Type::MouseDown;
    e.x = x;
    e.y = y;
    e.button = button;
    Push(e);
}

void HeadlessBackend::MouseUp(int x, int y, std::int16_t button) {
    InputEvent e;
    e.type = InputEvent::Type::MouseUp;
    e.x = x;
    e.y = y;
    e.button = button;
    Push(e);
}

void HeadlessBackend::MouseMove(int x, int y, std::int16_t buttons) {
    InputEvent e;
    e.type = InputEvent::Type::MouseMove;
    e.x = x;
    e.y = y;
    e.buttons = buttons;
    Push(e);
}

void HeadlessBackend::Click(int x, int y) {
    MouseDown(x, y);
    MouseUp(x, y);
}

void HeadlessBackend::DoubleClick(int x, int y) {
    Click(x, y);
    Click(x, y);
}

void HeadlessBackend::KeyDown(std::int16_t keyCode) {
    InputEvent e;
    e.type = InputEvent::Type::KeyDown;
    e.keyCode = keyCode;
    Push(e);
}

void HeadlessBackend::KeyUp(std::int16_t keyCode) {
    InputEvent e;
    e.type = InputEvent::Type::KeyUp;
    e.keyCode = keyCode;
    Push(e);
}

void HeadlessBackend::Close() {
    InputEvent e;
    e.type = InputEvent::Type::Close;
    Push(e);
}

bool HeadlessBackend::PollInput(InputEvent& event) {
    if (queue_.empty())
        return false;
    event = queue_.front();
    queue_.pop_front();
    return true;
}

void HeadlessBackend::WindowChanged(Form& form) {
    form_ = &form;
}

void HeadlessBackend::Present(const Bitmap&, const IntRect*, int) {
    ++presents_;
}

void HeadlessBackend::WindowClosed(Form& form) {
    if (form_ == &form)
        form_ = nullptr;
}

Bitmap HeadlessBackend::Screenshot() const {
    Bitmap screen(width_, height_, 0);
    if (form_) {
        IntRect r = form_->PixelRect();
        screen.CopyFrom(form_->Image(), form_->Image().Bounds(), r.left, r.top);
    }
    return screen;
}

} // namespace oz
