#include "platform/displays/Termination.h"

#include <csignal>
#include <sys/time.h>
#include <unistd.h>

namespace oz {

namespace {
volatile std::sig_atomic_t requested = 0; // the signal that asked, 0 before one came

// Only async-signal-safe calls from here on: these run inside signal handlers too.
void EndBy(int signal) {
    struct sigaction action {};
    action.sa_handler = SIG_DFL;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
    sigset_t unblocked;
    sigemptyset(&unblocked);
    sigaddset(&unblocked, signal);
    sigprocmask(SIG_UNBLOCK, &unblocked, nullptr);
    raise(signal);
    _exit(128 + signal); // not reached: the default action of both signals ends the program
}

void SetDeadline(long microseconds) {
    itimerval deadline{};
    deadline.it_value.tv_sec = microseconds / 1000000;
    deadline.it_value.tv_usec = microseconds % 1000000;
    setitimer(ITIMER_REAL, &deadline, nullptr);
}

extern "C" void OnTerminate(int signal) {
    if (requested != 0)
        EndBy(requested); // asked twice: no more waiting
    requested = signal;
    SetDeadline(900000);
}

extern "C" void OnDeadline(int) {
    if (requested != 0)
        EndBy(requested);
}

void Catch(int signal, void (*handler)(int)) {
    struct sigaction action {};
    action.sa_handler = handler;
    sigemptyset(&action.sa_mask);
    sigaction(signal, &action, nullptr);
}
} // namespace

void CatchTermination() {
    Catch(SIGALRM, OnDeadline);
    Catch(SIGTERM, OnTerminate);
    Catch(SIGINT, OnTerminate);
}

bool TerminationRequested() {
    return requested != 0;
}

void EndByTerminationSignal() {
    if (requested == 0)
        return;
    SetDeadline(0);
    EndBy(requested);
}

} // namespace oz
