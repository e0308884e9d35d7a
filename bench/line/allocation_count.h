// Counts every operator new of the process, by thread, and the allocations still live.
// The benchmark executable replaces the global operator new and delete, which the module
// and every library loaded into the process then use as well.
#pragma once

#include <cstdint>
#include <set>

namespace bench {

// Allocations made so far by the threads with these ids.
uint64_t AllocationsBy(const std::set<int>& threadIds);
// Allocations made and not yet freed, process-wide.
int64_t LiveAllocations();
// False in builds whose sanitizer keeps operator new to itself.
bool AllocationsCounted();

} // namespace bench
