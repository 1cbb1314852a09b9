// The regions a buffer of a swap chain missed: whatever order the display gives buffers
// back in, and however many regions pile up, a buffer brought up to date from them holds
// the image.

#include "platform/displays/PendingRegions.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <vector>

namespace oz {
namespace {

using Regions = std::vector<IntRect>;

TEST(PendingRegionsTest, KeepsEachRegionThenOneBoxPastTheLimit) {
    PendingRegions p;
    p.Add({3, 4, 3, 9}); // empty
    EXPECT_EQ(p.Regions(), Regions{});
    for (size_t i = 0; i < PendingRegions::kMaxRegions; ++i)
        p.Add({int(i), 10, int(i) + 1, 11});
    ASSERT_EQ(p.Regions().size(), PendingRegions::kMaxRegions);
    EXPECT_EQ(p.Regions()[7], (IntRect{7, 10, 8, 11}));
    p.Add({-5, 2, 0, 3}); // one too many: the box of all, this one included
    EXPECT_EQ(p.Regions(), (Regions{{-5, 2, int(PendingRegions::kMaxRegions), 11}}));
    p.Add({0, 0, 1, 1}); // regions gather again after the box
    EXPECT_EQ(p.Regions().size(), 2u);
    p.MissAll({0, 0, 64, 48});
    EXPECT_EQ(p.Regions(), (Regions{{0, 0, 64, 48}}));
    p.Clear();
    EXPECT_EQ(p.Regions(), Regions{});
}

// A chain of three buffers shown in turn, each given back at random, with frames of few
// and of very many changed regions: the buffer shown always equals the image.
TEST(PendingRegionsTest, BufferBroughtUpToDateEqualsTheImage) {
    constexpr int kW = 64, kH = 48, kBuffers = 3;
    Bitmap image(kW, kH);
    struct Buffer {
        std::vector<Pixel> pixels = std::vector<Pixel>(kW * kH, 0xDEAD);
        bool busy = false;
        PendingRegions pending;
    } buffers[kBuffers];
    for (Buffer& b : buffers)
        b.pending.MissAll(image.Bounds());
    std::mt19937 random(7);
    auto next = [&random](int n) { return int(random() % unsigned(n)); };
    for (int frame = 0; frame < 400; ++frame) {
        const int count = frame % 50 == 0 ? int(PendingRegions::kMaxRegions) + 100 : 1 + next(6);
        for (int i = 0; i < count; ++i) {
            const int x = next(kW), y = next(kH);
            const IntRect r{x, y, x + 1 + next(kW - x), y + 1 + next(kH - y)};
            image.FillRect(r, Pixel(frame * 1000 + i));
            for (Buffer& b : buffers)
                b.pending.Add(r);
        }
        for (Buffer& b : buffers) // the display gives some back
            if (next(3) == 0)
                b.busy = false;
        Buffer* free = std::find_if(buffers, buffers + kBuffers, [](auto& b) { return !b.busy; });
        if (free == buffers + kBuffers)
            continue; // all held: shown with a later frame
        for (const IntRect& r : free->pending.Regions())
            for (int y = r.top; y < r.bottom; ++y)
                for (int x = r.left; x < r.right; ++x)
                    free->pixels[size_t(y * kW + x)] = image.Get(x, y);
        free->pending.Clear();
        free->busy = true;
        for (int i = 0; i < kW * kH; ++i)
            ASSERT_EQ(free->pixels[size_t(i)], image.Get(i % kW, i / kW))
                << "frame " << frame << " at " << i % kW << "," << i / kW;
    }
}

} // namespace
} // namespace oz
