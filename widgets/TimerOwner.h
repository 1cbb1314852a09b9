#pragma once
// Which widget the shared timer serves: 0 none, 1 the joystick, 2 the spin wheel, 3 to 6
// the slider whose CurTimerLoc it equals. The latest widget to start the timer owns it.

#include <cstdint>

namespace oz {

inline std::int16_t TimerOwner = 0;

} // namespace oz
