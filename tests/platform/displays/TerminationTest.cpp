// SIGTERM and SIGINT: noted while the program cleans up, then the end by that very signal
// that hosts such as XScreenSaver expect, with a deadline for a program that never gets
// that far.

#include "platform/displays/Termination.h"

#include <gtest/gtest.h>

#include <csignal>
#include <initializer_list>
#include <unistd.h>

namespace oz {
namespace {

// Caught, a signal only raises the flag; the program ends by the first once it asks to,
// or without asking on a second signal, or at the deadline while it is busy far longer.
void Stop(std::initializer_list<int> signals, int busySeconds = 0, bool asks = true) {
    CatchTermination();
    if (TerminationRequested())
        _exit(5);
    for (int signal : signals)
        raise(signal);
    if (signals.size() > 0 && !TerminationRequested())
        _exit(6);
    for (int i = 0; i < busySeconds * 10; ++i)
        usleep(100000); // interrupted or not
    if (asks)
        EndByTerminationSignal();
    _exit(0);
}

TEST(TerminationDeathTest, EndsByTheFirstSignalOnceCleanedUpOrAtTheDeadline) {
    EXPECT_EXIT(Stop({SIGTERM}), testing::KilledBySignal(SIGTERM), "");
    EXPECT_EXIT(Stop({SIGINT}), testing::KilledBySignal(SIGINT), "");
    EXPECT_EXIT(Stop({}), testing::ExitedWithCode(0), ""); // no signal: as it chooses
    EXPECT_EXIT(Stop({SIGINT, SIGTERM}, 0, false), testing::KilledBySignal(SIGINT), "");
    EXPECT_EXIT(Stop({SIGTERM}, 10, false), testing::KilledBySignal(SIGTERM), "");
}

} // namespace
} // namespace oz
