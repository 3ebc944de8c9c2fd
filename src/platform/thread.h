#pragma once
// Scheduling of the calling thread.

namespace velquin::platform {

// Lets the calling thread give the processor to the process's other threads whenever both could
// run: for helpers that work ahead of a thread whose pace the user sees. Best effort: a system
// that refuses leaves the priority as it was.
void LowerThisThreadsPriority();

}  // namespace velquin::platform
