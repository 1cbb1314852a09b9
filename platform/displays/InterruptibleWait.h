#pragma once
// A wait that a request to stop cuts short. SDL's own wait for events sleeps through
// signals; this one lets SIGTERM and SIGINT in only while it waits, so a signal that comes
// just before the wait ends it as surely as one during it.

#include <cstdint>

namespace oz {

// Waits until `fd` has something to read, a termination is requested (see Termination.h)
// or `milliseconds` pass.
void WaitReadableOrTerminated(int fd, std::uint32_t milliseconds);

} // namespace oz
