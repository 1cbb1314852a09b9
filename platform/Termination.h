#pragma once
// SIGTERM and SIGINT as a polite request to stop: the handler only raises a flag, and the
// display reports it as a close of the window at the next event dispatch.

namespace oz {

void CatchTermination();
bool TerminationRequested();

} // namespace oz
