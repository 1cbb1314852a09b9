#include "web/WebBackend.h"

#include "platform/forms/Form.h"

#include <emscripten.h>

#include <cmath>

namespace oz {

namespace {

// The page's side (web/index.html): where the canvas stands, what it shows, and what
// the flight asks of the page.
EM_JS(void, PagePlace, (int left, int top, int width, int height, int ratio),
      { ozmirPage.place(left, top, width, height, ratio); });
// Shows `count` rectangles (x, y, width, height, in canvas pixels) of the canvas's pixels.
EM_JS(void, PagePut,
      (const void* pixels, int canvasWidth, int canvasHeight, const int* rects, int count),
      { ozmirPage.put(HEAPU8, HEAP32, pixels, canvasWidth, canvasHeight, rects, count); });
EM_JS(void, PageClosed, (), { ozmirPage.closed(); });
// The body is JavaScript, which clang-format would mangle.
// clang-format off
EM_JS(void, PageFullScreen, (int wanted), { ozmirPage.fullScreen(wanted !== 0); });
// clang-format on

// Pixels are 0xRRGGBB; a canvas wants the bytes R, G, B, A in memory (little-endian).
inline std::uint32_t Rgba(Pixel p) {
    return 0xFF000000u | ((p >> 16) & 0xFFu) | (p & 0xFF00u) | ((p & 0xFFu) << 16);
}

} // namespace

WebBackend::WebBackend(int screenWidth, int screenHeight, int ratio, double period)
    : width_(screenWidth), height_(screenHeight), ratio_(ratio < 1 ? 1 : ratio), period_(period),
      start_(emscripten_get_now()) {}

WebBackend::~WebBackend() = default;

std::uint32_t WebBackend::TickCount() {
    const double ms = Paced() ? now_ : emscripten_get_now() - start_;
    return static_cast<std::uint32_t>(static_cast<std::uint64_t>(std::floor(ms)));
}

void WebBackend::FrameStarted() {
    ++frame_;
    if (Paced())
        now_ = frame_ * period_;
}

void WebBackend::DispatchStarting() {
    if (OnDispatch)
        OnDispatch(frame_);
}

void WebBackend::Push(InputEvent event) {
    event.time = TickCount();
    queue_.push_back(event);
}

bool WebBackend::PollInput(InputEvent& event) {
    if (queue_.empty())
        return false;
    event = queue_.front();
    queue_.pop_front();
    return true;
}

void WebBackend::ScreenToProgram(double clientX, double clientY, int& x, int& y) const {
    x = static_cast<int>(std::floor(clientX)) - screenLeft_;
    y = static_cast<int>(std::floor(clientY)) - screenTop_;
}

bool WebBackend::WindowFillsScreen() const {
    return placed_.left <= 0 && placed_.top <= 0 && placed_.right >= width_ &&
           placed_.bottom >= height_;
}

void WebBackend::WindowChanged(Form& form) {
    form_ = &form;
    const IntRect r = form.PixelRect();
    const bool resized = r.Width() != placed_.Width() || r.Height() != placed_.Height();
    const bool wasFilling = WindowFillsScreen();
    placed_ = r;
    if (resized) {
        rgba_.assign(static_cast<size_t>(r.Width()) * ratio_ * r.Height() * ratio_, 0xFF000000u);
        wholeUpload_ = true;
    }
    PagePlace(r.left, r.top, r.Width(), r.Height(), ratio_);
    // The browser's full screen follows the window's, once the user has done something
    // (a browser grants it only then).
    if (acted_ && WindowFillsScreen() != wasFilling)
        PageFullScreen(WindowFillsScreen());
}

void WebBackend::Convert(const Bitmap& image, const IntRect& region) {
    const int canvasWidth = placed_.Width() * ratio_;
    for (int y = region.top; y < region.bottom; ++y) {
        const Pixel* from = image.Row(y) + region.left;
        std::uint32_t* to = rgba_.data() + static_cast<size_t>(y) * ratio_ * canvasWidth +
                            static_cast<size_t>(region.left) * ratio_;
        if (ratio_ == 1) {
            for (int x = 0; x < region.Width(); ++x)
                to[x] = Rgba(from[x]);
            continue;
        }
        for (int x = 0; x < region.Width(); ++x)
            for (int k = 0; k < ratio_; ++k)
                to[x * ratio_ + k] = Rgba(from[x]);
        for (int k = 1; k < ratio_; ++k)
            std::copy(to, to + region.Width() * ratio_, to + static_cast<size_t>(k) * canvasWidth);
    }
}

void WebBackend::Present(const Bitmap& windowImage, const IntRect* regions, int count) {
    const double started = emscripten_get_now();
    PresentRegions(windowImage, regions, count);
    presentMs_ += emscripten_get_now() - started;
}

void WebBackend::PresentRegions(const Bitmap& windowImage, const IntRect* regions, int count) {
    const IntRect bounds = windowImage.Bounds();
    if (bounds.Width() != placed_.Width() || bounds.Height() != placed_.Height())
        return; // the window's image follows its size at the next present
    const int canvasWidth = placed_.Width() * ratio_, canvasHeight = placed_.Height() * ratio_;
    const IntRect whole[] = {bounds};
    if (wholeUpload_) {
        wholeUpload_ = false;
        regions = whole;
        count = 1;
    }
    rects_.clear();
    for (int i = 0; i < count; ++i) {
        const IntRect r = regions[i].Intersected(bounds);
        if (r.IsEmpty())
            continue;
        Convert(windowImage, r);
        rects_.insert(rects_.end(),
                      {r.left * ratio_, r.top * ratio_, r.Width() * ratio_, r.Height() * ratio_});
    }
    if (!rects_.empty())
        PagePut(rgba_.data(), canvasWidth, canvasHeight, rects_.data(),
                static_cast<int>(rects_.size() / 4));
}

void WebBackend::WindowClosed(Form& form) {
    if (form_ != &form)
        return;
    form_ = nullptr;
    PageClosed();
}

} // namespace oz
