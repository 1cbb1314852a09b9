#include "platform/displays/PendingRegions.h"

#include <algorithm>

namespace oz {

void PendingRegions::Add(const IntRect& region) {
    if (region.IsEmpty())
        return;
    if (regions_.size() < kMaxRegions) {
        regions_.push_back(region);
        return;
    }
    IntRect& box = regions_.front();
    for (const IntRect& r : regions_) {
        box.left = std::min(box.left, r.left);
        box.top = std::min(box.top, r.top);
        box.right = std::max(box.right, r.right);
        box.bottom = std::max(box.bottom, r.bottom);
    }
    box = {std::min(box.left, region.left), std::min(box.top, region.top),
           std::max(box.right, region.right), std::max(box.bottom, region.bottom)};
    regions_.resize(1);
}

void PendingRegions::MissAll(const IntRect& bounds) {
    regions_.clear();
    Add(bounds);
}

} // namespace oz
