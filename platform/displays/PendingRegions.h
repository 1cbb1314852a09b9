#pragma once
// What one buffer of a swap chain still lacks: every region shown since it was last drawn.
// A buffer the display gives back has missed the frames shown through the others; before
// it is shown again, these regions are copied into it from the window's image. Past
// kMaxRegions (a few frames of a full field of stars: a box around stars all over the
// screen would cost a copy of the whole screen), one box holds them all, so the list never
// grows during a flight.

#include "platform/pixels/Bitmap.h"

#include <vector>

namespace oz {

class PendingRegions {
public:
    static constexpr size_t kMaxRegions = 4096;

    PendingRegions() { regions_.reserve(kMaxRegions); }

    // A region shown since; empty ones are left out.
    void Add(const IntRect& region);
    // The buffer is new: all of `bounds` is missing.
    void MissAll(const IntRect& bounds);
    const std::vector<IntRect>& Regions() const { return regions_; }
    // The buffer was brought up to date.
    void Clear() { regions_.clear(); }

private:
    std::vector<IntRect> regions_;
};

} // namespace oz
