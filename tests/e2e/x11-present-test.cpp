// The shared-memory present against a real X server (run by x11_present.sh under Xvfb):
// what the window holds after each Show, read back pixel by pixel.

// GoogleTest before Xlib, whose macros (None, Bool) would break its templates.
#include <gtest/gtest.h>

#include "platform/displays/X11ShmPresent.h"

#include <X11/Xutil.h>
#include <string>
#include <vector>

namespace oz {
namespace {

constexpr int kWidth = 96, kHeight = 64;

class X11PresentTest : public ::testing::Test {
protected:
    // One connection for all: Xvfb starts afresh, and refuses clients meanwhile, when its
    // last client leaves.
    static void SetUpTestSuite() { display_ = XOpenDisplay(nullptr); }
    void SetUp() override {
        ASSERT_NE(display_, nullptr) << "no X display";
        XSetWindowAttributes a{};
        a.override_redirect = True;
        window_ =
            XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, kWidth, kHeight, 0,
                          CopyFromParent, InputOutput, CopyFromParent, CWOverrideRedirect, &a);
        XMapWindow(display_, window_);
        present_ = X11ShmPresent::Create(display_, window_);
        ASSERT_NE(present_, nullptr);
        shown_ = Shown();
    }
    void TearDown() override {
        present_.reset();
        if (display_)
            XDestroyWindow(display_, window_);
    }

    std::vector<Pixel> Shown() {
        XSync(display_, False);
        XImage* got = XGetImage(display_, window_, 0, 0, kWidth, kHeight, AllPlanes, ZPixmap);
        std::vector<Pixel> pixels;
        for (int y = 0; y < kHeight; ++y)
            for (int x = 0; x < kWidth; ++x)
                pixels.push_back(static_cast<Pixel>(XGetPixel(got, x, y) & 0xffffff));
        XDestroyImage(got);
        return pixels;
    }

    // Shows the regions of a new w x h image, every pixel of it different, in a window
    // said to be windowW x windowH: exactly their parts inside both change, the rest stays.
    void ShowAndCheck(int w, int h, const std::vector<IntRect>& regions, int windowW = kWidth,
                      int windowH = kHeight) {
        Bitmap next(w, h);
        salt_ += 0x1234;
        for (int y = 0; y < h; ++y)
            for (int x = 0; x < w; ++x)
                next.Set(x, y, (salt_ + static_cast<Pixel>(y * 977 + x * 131)) & 0xffffff);
        std::string error;
        ASSERT_TRUE(present_->Show(next, regions.data(), static_cast<int>(regions.size()), windowW,
                                   windowH, error))
            << error;
        const IntRect seen = IntRect{0, 0, std::min(windowW, kWidth), std::min(windowH, kHeight)};
        for (const IntRect& region : regions) {
            const IntRect r = region.Intersected(seen).Intersected(next.Bounds());
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    shown_[static_cast<size_t>(y) * kWidth + x] = next.Get(x, y);
        }
        const std::vector<Pixel> now = Shown();
        EXPECT_EQ(now, shown_);
        shown_ = now;
    }

    static inline Display* display_ = nullptr;
    ::Window window_ = 0;
    std::unique_ptr<X11ShmPresent> present_;
    std::vector<Pixel> shown_;
    Pixel salt_ = 0x10;
};

TEST_F(X11PresentTest, ShowsExactlyItsRegionsFrameAfterFrame) {
    ShowAndCheck(kWidth, kHeight, {{0, 0, kWidth, kHeight}});
    // Frames one after another without a wait: odd sizes, a single pixel, a region
    // reaching past the image, an empty one, the first and last rows.
    ShowAndCheck(kWidth, kHeight,
                 {{3, 5, 4, 6}, {10, 0, 37, 9}, {80, 50, 200, 90}, {20, 20, 20, 30}});
    ShowAndCheck(kWidth, kHeight, {{0, 0, 96, 1}, {0, 63, 96, 64}, {41, 17, 42, 63}});
    // More than the segment holds at once: the whole image three times over.
    ShowAndCheck(kWidth, kHeight, {{0, 0, 96, 64}, {0, 0, 50, 50}, {0, 0, 96, 64}});
    // Only what lies in the window: one said to be smaller than the image.
    ShowAndCheck(kWidth, kHeight, {{0, 0, 96, 64}}, 40, 30);
    // A smaller image, then a larger one: the segment is made anew each time.
    ShowAndCheck(24, 16, {{2, 2, 20, 14}});
    ShowAndCheck(kWidth * 2, kHeight * 2, {{0, 0, kWidth * 2, kHeight * 2}});
}

} // namespace
} // namespace oz
