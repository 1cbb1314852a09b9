#include "web/WebBackend.h"

#include "platform/forms/Form.h"

#include <emscripten.h>
#ifdef __wasm_simd128__
#include <wasm_simd128.h>
#endif

#include <algorithm>
#include <cmath>

namespace oz {

namespace {

// The page's side (web/index.html): where the canvas stands, what it shows, and what
// the flight asks of the page.
EM_JS(void, PagePlace, (int left, int top, int width, int height, int ratio),
      { ozmirPage.place(left, top, width, height, ratio); });
// Shows `count` rectangles of the staging image (canvasWidth x canvasHeight pixels at
// `pixels`) on the canvas, each as six numbers in canvas pixels: where it lies in the staging
// image (x, y), its width and height, and where it goes on the canvas (x, y).
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

// A row of them, four at a time: the bytes B, G, R, 0 of each pixel swapped into R, G, B
// and an opaque alpha.
void ConvertRow(const Pixel* from, std::uint32_t* to, int count) {
    int x = 0;
#ifdef __wasm_simd128__
    const v128_t opaque = wasm_i32x4_splat(static_cast<int>(0xFF000000u));
    for (; x + 4 <= count; x += 4) {
        const v128_t bgr = wasm_v128_load(from + x);
        const v128_t rgb =
            wasm_i8x16_shuffle(bgr, bgr, 2, 1, 0, 3, 6, 5, 4, 7, 10, 9, 8, 11, 14, 13, 12, 15);
        wasm_v128_store(to + x, wasm_v128_or(rgb, opaque));
    }
#endif
    for (; x < count; ++x)
        to[x] = Rgba(from[x]);
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
    if (timing_)
        mark_ = emscripten_get_now();
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
        staging_.assign(static_cast<size_t>(r.Width()) * ratio_ * r.Height() * ratio_, 0);
        wholeUpload_ = true;
    }
    PagePlace(r.left, r.top, r.Width(), r.Height(), ratio_);
    // The browser's full screen follows the window's, once the user has done something
    // (a browser grants it only then).
    if (acted_ && WindowFillsScreen() != wasFilling)
        PageFullScreen(WindowFillsScreen());
}

void WebBackend::Convert(const Bitmap& image, const IntRect& region, int atX, int atY) {
    const int stagingWidth = placed_.Width() * ratio_;
    const int width = region.Width();
    for (int y = 0; y < region.Height(); ++y) {
        const Pixel* from = image.Row(region.top + y) + region.left;
        std::uint32_t* to =
            staging_.data() + static_cast<size_t>(atY + y * ratio_) * stagingWidth + atX;
        if (ratio_ == 1) {
            ConvertRow(from, to, width);
            continue;
        }
        for (int x = 0; x < width; ++x)
            for (int k = 0; k < ratio_; ++k)
                to[x * ratio_ + k] = Rgba(from[x]);
        for (int k = 1; k < ratio_; ++k)
            std::copy(to, to + width * ratio_, to + static_cast<size_t>(k) * stagingWidth);
    }
}

void WebBackend::Lap(int step) {
    if (!timing_)
        return;
    const double now = emscripten_get_now();
    stepMs_[step] += now - mark_;
    mark_ = now;
}

void WebBackend::PhaseDone(FramePhase phase) {
    Lap(static_cast<int>(phase));
    awaitingRefresh_ = phase == FramePhase::OverlaysDrawn;
}

void WebBackend::Present(const Bitmap& windowImage, const IntRect* regions, int count) {
    // The view's own refresh right after the overlays: what came before it composed.
    const bool frameRefresh = awaitingRefresh_;
    awaitingRefresh_ = false;
    if (frameRefresh)
        Lap(4);
    PresentRegions(windowImage, regions, count);
    if (frameRefresh)
        Lap(5);
    Upload();
    if (frameRefresh)
        Lap(6);
}

void WebBackend::Upload() {
    if (timing_)
        for (size_t i = 0; i < rects_.size(); i += 6) {
            puts_ += 1;
            putPixels_ += static_cast<double>(rects_[i + 2]) * rects_[i + 3];
        }
    if (!rects_.empty())
        PagePut(staging_.data(), placed_.Width() * ratio_, placed_.Height() * ratio_, rects_.data(),
                static_cast<int>(rects_.size() / 6));
    rects_.clear();
}

void WebBackend::PresentRegions(const Bitmap& windowImage, const IntRect* regions, int count) {
    rects_.clear();
    const IntRect bounds = windowImage.Bounds();
    if (bounds.Width() != placed_.Width() || bounds.Height() != placed_.Height())
        return; // the window's image follows its size at the next present
    const IntRect whole[] = {bounds};
    if (wholeUpload_) {
        wholeUpload_ = false;
        regions = whole;
        count = 1;
    }
    // The regions packed side by side in rows (shelves) of the staging image, from its top:
    // a frame's damage is spread over many rows of the window, and packed it is converted
    // into and uploaded from a few, which the processor's page tables cover at once. When
    // the staging image is full, what it holds is uploaded and packing starts again.
    const int stagingWidth = bounds.Width() * ratio_, stagingHeight = bounds.Height() * ratio_;
    int x = 0, shelfTop = 0, shelfHeight = 0;
    for (int i = 0; i < count; ++i) {
        const IntRect r = regions[i].Intersected(bounds);
        if (r.IsEmpty())
            continue;
        const int w = r.Width() * ratio_, h = r.Height() * ratio_;
        if (x + w > stagingWidth) {
            x = 0;
            shelfTop += shelfHeight;
            shelfHeight = 0;
        }
        if (shelfTop + h > stagingHeight) {
            Upload();
            x = shelfTop = shelfHeight = 0;
        }
        Convert(windowImage, r, x, shelfTop);
        rects_.insert(rects_.end(), {x, shelfTop, w, h, r.left * ratio_, r.top * ratio_});
        x += w;
        shelfHeight = std::max(shelfHeight, h);
    }
}

void WebBackend::WindowClosed(Form& form) {
    if (form_ != &form)
        return;
    form_ = nullptr;
    PageClosed();
}

} // namespace oz
