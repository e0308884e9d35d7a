// What the operating system knows about the benchmark's threads and processes (Linux /proc).
#pragma once

#include <cstdint>
#include <set>
#include <string>

namespace bench {

// Thread ids of this process.
std::set<int> ThreadIds();
// What the scheduler counted for a thread of this process (its schedstat); zeros when it is
// gone.
struct ThreadSched {
    uint64_t cpuNs = 0;  // time it ran
    uint64_t waitNs = 0; // time it was ready but waited for a processor
    uint64_t runs = 0;   // times it was put on a processor: its wake-ups, and preemptions
};
ThreadSched ThreadSchedstat(int threadId);
// Time a thread of this process has run, in nanoseconds; 0 when it is gone.
uint64_t ThreadCpuNs(int threadId);
// Time every thread of a process has run, in nanoseconds.
uint64_t ProcessCpuNs(int processId);
// A field of /proc/PID/status in kB ("VmRSS", "VmHWM"); 0 when not found.
uint64_t StatusKb(int processId, const std::string& field);
// Milliseconds the hypervisor ran something else instead of this machine's processors, so
// far, all processors together (the steal column of /proc/stat); 0 on bare metal.
uint64_t StolenMs();
int ThisProcessId();
int ThisThreadId();

} // namespace bench
