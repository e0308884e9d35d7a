#include "process_probe.h"

#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/syscall.h>
#include <unistd.h>

namespace bench {
namespace {

// The first field of schedstat is the time on the CPU in nanoseconds.
uint64_t SchedstatNs(const std::string& path) {
    std::ifstream file(path);
    uint64_t ns = 0;
    file >> ns;
    return file ? ns : 0;
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
    std::ifstream file("/proc/self/task/" + std::to_string(threadId) + "/schedstat");
    ThreadSched sched;
    file >> sched.cpuNs >> sched.waitNs >> sched.runs;
    return file ? sched : ThreadSched{};
}

uint64_t ThreadCpuNs(int threadId) {
    return ThreadSchedstat(threadId).cpuNs;
}

uint64_t ProcessCpuNs(int processId) {
    uint64_t total = 0;
    std::error_code error;
    const std::string tasks = "/proc/" + std::to_string(processId) + "/task";
    for (const auto& entry : std::filesystem::directory_iterator(tasks, error)) {
        total += SchedstatNs(entry.path().string() + "/schedstat");
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
