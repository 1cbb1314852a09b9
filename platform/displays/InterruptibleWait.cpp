#include "platform/displays/InterruptibleWait.h"

#include "platform/displays/Termination.h"

#include <csignal>
#include <ctime>
#include <poll.h>

namespace oz {

void WaitReadableOrTerminated(int fd, std::uint32_t milliseconds) {
    sigset_t stop, before;
    sigemptyset(&stop);
    sigaddset(&stop, SIGTERM);
    sigaddset(&stop, SIGINT);
    sigprocmask(SIG_BLOCK, &stop, &before);
    if (!TerminationRequested()) {
        pollfd readable{fd, POLLIN, 0};
        const timespec wait{static_cast<time_t>(milliseconds / 1000),
                            static_cast<long>(milliseconds % 1000) * 1000000L};
        ppoll(&readable, 1, &wait, &before);
    }
    sigprocmask(SIG_SETMASK, &before, nullptr);
}

} // namespace oz
