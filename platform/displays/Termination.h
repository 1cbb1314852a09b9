#pragma once
// SIGTERM and SIGINT as a polite request to stop: the handler only notes the signal, and
// the display reports it as a close of the window at the next event dispatch. Once the
// program has cleaned up, it ends by that same signal with its default action, as hosts
// such as XScreenSaver expect of a program that catches it.
//
// The request has a deadline: when the program has not ended 0.9 s after the signal (a
// frame of an enormous window still being drawn), or a second signal comes, it ends by
// the signal at once, without cleaning up.

namespace oz {

void CatchTermination();
bool TerminationRequested();
// When a signal asked the program to stop, ends it now by that signal; returns otherwise.
void EndByTerminationSignal();

} // namespace oz
