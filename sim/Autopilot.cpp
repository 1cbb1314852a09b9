#include "sim/Autopilot.h"

#include <algorithm>
#include <cmath>

namespace oz {

namespace {
constexpr float kTopSpeed = 5.0f;
// Each time step the rates close this share of the way to their aim.
constexpr float kEasing = 0.02f;
} // namespace

void Autopilot::NextManoeuvre() {
    stepsLeft_ = Between(128.0f, 384.0f); // two to six seconds
    if (random_.Next() < 0.3f) {
        // A calm stretch, straight ahead.
        aimTurnH_ = aimTurnV_ = aimSpin_ = 0.0f;
    } else {
        aimTurnH_ = Between(-0.5f, 0.5f);
        aimTurnV_ = Between(-0.3f, 0.3f);
        aimSpin_ = random_.Next() < 0.5f ? Between(-0.3f, 0.3f) : 0.0f;
    }
    aimSpeed_ = std::min(cruise_ * Between(0.5f, 1.5f), kTopSpeed);
}

void Autopilot::Step() {
    FlightState& f = flight_;
    if (cruise_ < 0 || f.Speed != lastSpeed_) {
        // First step, or the keys changed the speed: swing around the new one.
        cruise_ = f.Speed;
        stepsLeft_ = 0;
    }
    stepsLeft_ -= f.TimeScale;
    if (stepsLeft_ <= 0)
        NextManoeuvre();

    const float k = f.Sensitivity * f.TimeScale;
    const float easing = std::min(1.0f, kEasing * f.TimeScale);
    turnH_ += (aimTurnH_ - turnH_) * easing;
    turnV_ += (aimTurnV_ - turnV_) * easing;
    spin_ += (aimSpin_ - spin_) * easing;

    if (turnH_ != 0 || turnV_ != 0)
        stars_.TurnStarField(turnH_ * 0.01f * k, turnV_ * 0.01f * k);
    if (spin_ != 0)
        stars_.SpinStarField(spin_ * 0.02f * k);

    // Speed moves as under R and F, at half their rate, and stops at the aim.
    const float change = std::sqrt(f.Speed) * 0.01f * k;
    if (f.Speed < aimSpeed_)
        f.Speed =
            f.Speed < 0.01f ? std::min(aimSpeed_, 0.02f) : std::min(f.Speed + change, aimSpeed_);
    else if (f.Speed > aimSpeed_)
        f.Speed = std::max(f.Speed - change, aimSpeed_);
    f.Speed = std::clamp(f.Speed, 0.0f, kTopSpeed);
    lastSpeed_ = f.Speed;
}

} // namespace oz
