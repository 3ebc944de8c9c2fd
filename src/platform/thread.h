#pragma once
// Scheduling of the calling thread.

#include <cstdint>
#include <optional>

namespace velquin::platform {

// Lets the calling thread give the processor to the process's other threads whenever both could
// run: for helpers that work ahead of a thread whose pace the user sees. Best effort: a system
// that refuses leaves the priority as it was.
void LowerThisThreadsPriority();

// How often the calling thread has given up the processor of its own accord since it started,
// waiting for the disk above all; none where the system does not count it.
std::optional<std::uint64_t> ThisThreadsWaits();

}  // namespace velquin::platform
