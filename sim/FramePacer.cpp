#include "sim/FramePacer.h"

namespace oz {

std::uint64_t FramePacer::NextDue(std::uint64_t now) {
    if (framesPerSecond_ <= 0) // no cap: every frame is due at once
        return now;
    ++frames_;
    const std::uint64_t due =
        start_ + frames_ * 1000000 / static_cast<std::uint64_t>(framesPerSecond_);
    if (due > now)
        return due;
    Restart(now);
    return now;
}

} // namespace oz
