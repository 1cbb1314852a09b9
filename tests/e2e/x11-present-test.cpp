// The shared-memory present against a real X server (run by x11_present.sh under Xvfb):
// what the window holds after each Show, read back pixel by pixel.

// GoogleTest before Xlib, whose macros (None, Bool) would break its templates.
#include <gtest/gtest.h>

#include "platform/displays/X11ShmPresent.h"

#include <X11/Xutil.h>
#include <algorithm>
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
        a.background_pixel = 0x204060;
        a.override_redirect = True;
        window_ = XCreateWindow(display_, DefaultRootWindow(display_), 0, 0, kWidth, kHeight, 0,
                                CopyFromParent, InputOutput, CopyFromParent,
                                CWBackPixel | CWOverrideRedirect, &a);
        XMapWindow(display_, window_);
        XSync(display_, False);
        present_ = X11ShmPresent::Create(display_, window_);
        ASSERT_NE(present_, nullptr);
    }
    void TearDown() override {
        present_.reset();
        if (display_)
            XDestroyWindow(display_, window_);
    }

    // What the window shows, as the program's pixels.
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

    bool Show(const Bitmap& image, std::vector<IntRect> regions, int w = kWidth, int h = kHeight) {
        std::string error;
        const bool shown =
            present_->Show(image, regions.data(), static_cast<int>(regions.size()), w, h, error);
        EXPECT_EQ(error, "");
        return shown;
    }

    static inline Display* display_ = nullptr;
    ::Window window_ = 0;
    std::unique_ptr<X11ShmPresent> present_;
};

// Every pixel different, so that a region put at the wrong place or with the wrong stride
// cannot pass.
Bitmap Pattern(int w, int h, Pixel salt) {
    Bitmap b(w, h);
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            b.Set(x, y, (salt + static_cast<Pixel>(y * 977 + x * 131)) & 0xffffff);
    return b;
}

// The pixels a window shows after `before` and then the regions of `after`.
std::vector<Pixel> Expected(const std::vector<Pixel>& before, const Bitmap& after,
                            const std::vector<IntRect>& regions) {
    std::vector<Pixel> want = before;
    for (const IntRect& r : regions)
        for (int y = std::max(0, r.top); y < std::min(kHeight, r.bottom); ++y)
            for (int x = std::max(0, r.left); x < std::min(kWidth, r.right); ++x)
                want[static_cast<size_t>(y) * kWidth + x] = after.Row(y)[x];
    return want;
}

TEST_F(X11PresentTest, ShowsExactlyItsRegionsFrameAfterFrame) {
    const Bitmap first = Pattern(kWidth, kHeight, 0x10);
    ASSERT_TRUE(Show(first, {first.Bounds()}));
    const std::vector<Pixel> whole = Shown();
    EXPECT_EQ(whole, Expected(whole, first, {first.Bounds()}));

    // Regions of odd sizes, one a single pixel, one reaching past the image, one empty;
    // each frame's regions differ, and the frames follow without a wait between them.
    const std::vector<std::vector<IntRect>> frames = {
        {{3, 5, 4, 6}, {10, 0, 37, 9}, {80, 50, 200, 90}, {20, 20, 20, 30}},
        {{0, 0, 96, 1}, {0, 63, 96, 64}, {41, 17, 42, 63}},
        {{8, 8, 16, 16}, {16, 8, 24, 24}, {24, 40, 88, 48}},
    };
    std::vector<Pixel> shown = whole;
    Pixel salt = 0x777;
    for (const std::vector<IntRect>& regions : frames) {
        const Bitmap next = Pattern(kWidth, kHeight, salt += 0x1234);
        ASSERT_TRUE(Show(next, regions));
        const std::vector<Pixel> want = Expected(shown, next, regions);
        shown = Shown();
        EXPECT_EQ(shown, want);
    }
}

TEST_F(X11PresentTest, RegionsThatOverfillTheSegmentAllArrive) {
    // The same whole image three times over is more than the segment holds at once.
    const Bitmap first = Pattern(kWidth, kHeight, 0x5);
    const Bitmap next = Pattern(kWidth, kHeight, 0xabc);
    ASSERT_TRUE(Show(first, {first.Bounds()}));
    const std::vector<IntRect> regions = {next.Bounds(), {0, 0, 50, 50}, next.Bounds()};
    ASSERT_TRUE(Show(next, regions));
    EXPECT_EQ(Shown(), Expected(Shown(), next, {next.Bounds()}));
}

TEST_F(X11PresentTest, ShowsOnlyWhatLiesInTheWindowAndFollowsTheImageSize) {
    const Bitmap first = Pattern(kWidth, kHeight, 0x99);
    ASSERT_TRUE(Show(first, {first.Bounds()}));
    const std::vector<Pixel> before = Shown();
    // A window said to be smaller than the image: the rest stays as it was.
    const Bitmap next = Pattern(kWidth, kHeight, 0x4321);
    ASSERT_TRUE(Show(next, {next.Bounds()}, 40, 30));
    EXPECT_EQ(Shown(), Expected(before, next, {{0, 0, 40, 30}}));
    // A smaller image, then a larger one: the segment is made anew each time.
    const Bitmap small = Pattern(24, 16, 0x31);
    ASSERT_TRUE(Show(small, {{2, 2, 20, 14}}));
    const std::vector<Pixel> afterSmall = Shown();
    for (int y = 2; y < 14; ++y)
        for (int x = 2; x < 20; ++x)
            ASSERT_EQ(afterSmall[static_cast<size_t>(y) * kWidth + x], small.Row(y)[x]);
    const Bitmap large = Pattern(kWidth * 2, kHeight * 2, 0x55);
    ASSERT_TRUE(Show(large, {large.Bounds()}));
    EXPECT_EQ(Shown(), Expected(afterSmall, large, {{0, 0, kWidth, kHeight}}));
}

} // namespace
} // namespace oz
