// The program's global operator new, replaced by one that can be told to fail. On ELF the
// module's allocations resolve to the program's operator new, so the module fails with it.
#pragma once

#include <cstdint>

namespace testing_support {

// Fails the n-th allocation (counted from 1) made by the calling thread from now on.
void FailNthAllocationHere(uint64_t n);
// Fails the n-th allocation made by each thread that starts from now on (its first
// allocation counts as 1); threads that allocated before are not touched.
void FailNthAllocationInNewThreads(uint64_t n);
// Ends both; true when an allocation was failed since the last arming.
bool StopFailingAllocations();

} // namespace testing_support
