#include "platform/Termination.h"

#include <csignal>

namespace oz {

namespace {
volatile std::sig_atomic_t requested = 0;

extern "C" void OnTerminate(int) {
    requested = 1;
}
} // namespace

void CatchTermination() {
    struct sigaction action {};
    action.sa_handler = OnTerminate;
    sigemptyset(&action.sa_mask);
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGINT, &action, nullptr);
}

bool TerminationRequested() {
    return requested != 0;
}

} // namespace oz
