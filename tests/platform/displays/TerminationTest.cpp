// SIGTERM and SIGINT: noted while the program cleans up, then the end by that very signal
// that hosts such as XScreenSaver expect, with a deadline for a program that never gets
// that far.

#include "platform/displays/Termination.h"

#include <gtest/gtest.h>

#include <csignal>
#include <unistd.h>

namespace oz {
namespace {

// Caught, the signal only raises the flag; the program ends by it once it asks to.
void StopAfterCleanUp(int signal) {
    CatchTermination();
    if (TerminationRequested())
        _exit(5);
    raise(signal);
    if (!TerminationRequested())
        _exit(6);
    EndByTerminationSignal();
    _exit(7);
}

TEST(TerminationDeathTest, EndsByTheSignalThatAskedOnceCleanedUp) {
    EXPECT_EXIT(StopAfterCleanUp(SIGTERM), testing::KilledBySignal(SIGTERM), "");
    EXPECT_EXIT(StopAfterCleanUp(SIGINT), testing::KilledBySignal(SIGINT), "");
}

TEST(TerminationDeathTest, WithoutASignalTheProgramEndsAsItChooses) {
    EXPECT_EXIT(
        {
            CatchTermination();
            EndByTerminationSignal();
            _exit(0);
        },
        testing::ExitedWithCode(0), "");
}

// A program busy far longer than the deadline, or asked a second time, still ends by the
// first signal.
TEST(TerminationDeathTest, ASecondSignalOrTheDeadlineEndsItWithoutWaiting) {
    EXPECT_EXIT(
        {
            CatchTermination();
            raise(SIGINT);
            raise(SIGTERM);
            _exit(4);
        },
        testing::KilledBySignal(SIGINT), "");
    EXPECT_EXIT(
        {
            CatchTermination();
            raise(SIGTERM);
            for (int i = 0; i < 100; ++i)
                usleep(100000); // ten seconds, interrupted or not
            _exit(3);
        },
        testing::KilledBySignal(SIGTERM), "");
}

} // namespace
} // namespace oz
