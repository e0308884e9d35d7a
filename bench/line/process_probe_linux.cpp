#include "process_probe.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/syscall.h>
#include <unistd.h>

namespace bench {
namespace {

// schedstat: time on a processor and time waiting for one (nanoseconds), times put on one.
ThreadSched ReadSchedstat(const std::string& path) {
    std::ifstream file(path);
    ThreadSched sched;
    file >> sched.cpuNs >> sched.waitNs >> sched.runs;
    return file ? sched : ThreadSched{};
}

} // namespace

std::set<int> ThreadIds() {
    std::set<int> ids;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/task", error)) {
        ids.insert(std::stoi(entry.path().filename().string()));
    }
    return ids;
}

ThreadSched ThreadSchedstat(int threadId) {
    return ReadSchedstat("/proc/self/task/" + std::to_string(threadId) + "/schedstat");
}

uint64_t ThreadCpuNs(int threadId) {
    return ThreadSchedstat(threadId).cpuNs;
}

uint64_t ProcessCpuNs(int processId) {
    uint64_t total = 0;
    std::error_code error;
    const std::string tasks = "/proc/" + std::to_string(processId) + "/task";
    for (const auto& entry : std::filesystem::directory_iterator(tasks, error)) {
        total += ReadSchedstat(entry.path().string() + "/schedstat").cpuNs;
    }
    return total;
}

uint64_t StatusKb(int processId, const std::string& field) {
    std::ifstream file("/proc/" + std::to_string(processId) + "/status");
    std::string line;
    while (std::getline(file, line)) {
        if (line.rfind(field + ":", 0) == 0) {
            std::istringstream values(line.substr(field.size() + 1));
            uint64_t kb = 0;
            values >> kb;
            return kb;
        }
    }
    return 0;
}

uint64_t StolenMs() {
    std::ifstream file("/proc/stat");
    std::string cpu;
    uint64_t fields[8] = {};
    file >> cpu;
    for (uint64_t& field : fields) {
        file >> field;
    }
    const long ticksPerSecond = sysconf(_SC_CLK_TCK);
    return ticksPerSecond > 0 ? fields[7] * 1000u / static_cast<uint64_t>(ticksPerSecond) : 0;
}

int ThisProcessId() {
    return static_cast<int>(getpid());
}

int ThisThreadId() {
    return static_cast<int>(syscall(SYS_gettid));
}

} // namespace bench
