#pragma once
// Frames on a steady schedule under a frame-rate cap: each frame is due one period after
// the one before, counted from the start of the schedule so that rounding never drifts.
// A frame that ends after the next one was due lets the next start at once and the
// schedule start again from there: late frames do not pile up.

#include <cstdint>

namespace oz {

class FramePacer {
public:
    explicit FramePacer(int framesPerSecond) : framesPerSecond_(framesPerSecond) {}

    // The schedule starts again, its first frame due at `now` (microseconds).
    void Restart(std::uint64_t now) {
        start_ = now;
        frames_ = 0;
    }

    // When the next frame is due, asked as a frame ends at `now`.
    std::uint64_t NextDue(std::uint64_t now);

private:
    int framesPerSecond_;
    std::uint64_t start_ = 0;
    std::uint64_t frames_ = 0; // frames due since the start
};

} // namespace oz
