// The process's heap allocations through operator new: live now, and made in all.
#pragma once

#include <cstdint>

int64_t LiveAllocations();
uint64_t TotalAllocations();
