// The memory budget of a run: its limits from the system, the control group and the environment, the
// watcher that samples the process's usage, and the weighing of large requests.
#include "platform/memorybudget.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <mutex>
#include <string>
#include <thread>

#if defined(__linux__)
#include <fcntl.h>
#include <malloc.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

namespace MemoryBudget {

namespace {

constexpr std::uint64_t MiB = std::uint64_t{1} << 20;
// What the interface keeps for itself whatever the program does: painting a window, opening a dialog
// or a file in an editor must still find memory.
constexpr std::uint64_t InterfaceReserve = 256 * MiB;
// A budget never falls below this, so that a small program still runs on a machine short of memory.
constexpr std::uint64_t SmallestGrowth = 32 * MiB;
// Of the memory available, the program may take this share (numerator / denominator)...
constexpr std::uint64_t AvailableShareNum = 3, AvailableShareDen = 4;
// ...and under an address-space limit the process keeps this part of the limit free, but never more
// than this part of the room it has left when the run starts: a process that starts close to its limit
// still leaves the run the rest, and a run that asks for nothing never meets the ceiling.
constexpr std::uint64_t AddressReserveDen = 4;
constexpr std::uint64_t AddressRoomShareDen = 2;
// How often the watcher looks: short enough that a program filling memory as fast as it can adds far
// less than the reserve between two looks.
constexpr auto WatchInterval = std::chrono::milliseconds(5);
constexpr const char* BudgetVariable = "LORVEX_MEMORY_BUDGET";

struct Usage {
    std::uint64_t Resident = 0;
    std::uint64_t Address = 0;
    bool Known = false;
};

std::uint64_t PageSize() {
#if defined(__linux__)
    const long page = sysconf(_SC_PAGESIZE);
    return page > 0 ? static_cast<std::uint64_t>(page) : 4096;
#else
    return 4096;
#endif
}

// The process's address-space size and resident size now. Read without the C library's streams: the
// watcher's thread allocates nothing, so it takes no memory pool (and address space) of its own.
Usage CurrentUsage() {
    Usage usage;
#if defined(__linux__)
    const int file = ::open("/proc/self/statm", O_RDONLY | O_CLOEXEC);
    if (file < 0) return usage;
    char text[128];
    const ssize_t length = ::read(file, text, sizeof text - 1);
    ::close(file);
    if (length <= 0) return usage;
    text[length] = '\0';
    char* end = nullptr;
    const unsigned long long pages = std::strtoull(text, &end, 10);
    char* next = nullptr;
    const unsigned long long resident = std::strtoull(end, &next, 10);
    if (next == end) return usage;
    const std::uint64_t page = PageSize();
    usage.Address = pages * page;
    usage.Resident = resident * page;
    usage.Known = true;
#endif
    return usage;
}

// The first number of a file, or `fallback` when it holds none ("max" in a control-group file).
std::uint64_t NumberInFile(const std::string& path, std::uint64_t fallback) {
    std::FILE* file = std::fopen(path.c_str(), "re");
    if (file == nullptr) return fallback;
    unsigned long long value = 0;
    const bool read = std::fscanf(file, "%llu", &value) == 1;
    std::fclose(file);
    return read ? value : fallback;
}

// The "MemAvailable" line of /proc/meminfo in bytes (0 when unknown).
std::uint64_t SystemAvailable() {
    std::FILE* file = std::fopen("/proc/meminfo", "re");
    if (file == nullptr) return 0;
    char line[256];
    std::uint64_t available = 0;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        unsigned long long kib = 0;
        if (std::sscanf(line, "MemAvailable: %llu kB", &kib) == 1) {
            available = kib * 1024;
            break;
        }
    }
    std::fclose(file);
    return available;
}

// What the process's control groups still allow it, the tightest of them (no limit: the largest value).
std::uint64_t GroupAvailable() {
    constexpr std::uint64_t None = std::numeric_limits<std::uint64_t>::max();
    std::FILE* file = std::fopen("/proc/self/cgroup", "re");
    if (file == nullptr) return None;
    char line[4096];
    std::string path;
    while (std::fgets(line, sizeof line, file) != nullptr) {
        if (std::strncmp(line, "0::", 3) == 0) {
            path = line + 3;
            while (!path.empty() && (path.back() == '\n' || path.back() == '\r'))
                path.pop_back();
            break;
        }
    }
    std::fclose(file);
    std::uint64_t tightest = None;
    // The group and each one above it (the root has no limit of its own).
    while (!path.empty() && path != "/") {
        const std::string folder = "/sys/fs/cgroup" + path;
        const std::uint64_t limit = NumberInFile(folder + "/memory.max", None);
        if (limit != None) {
            const std::uint64_t used = NumberInFile(folder + "/memory.current", 0);
            tightest = std::min(tightest, limit > used ? limit - used : 0);
        }
        const std::size_t slash = path.find_last_of('/');
        if (slash == 0 || slash == std::string::npos) break;
        path.erase(slash);
    }
    return tightest;
}

// LORVEX_MEMORY_BUDGET as bytes; false when it is not set or not a size.
bool BudgetFromEnvironment(std::uint64_t& bytes) {
    const char* text = std::getenv(BudgetVariable);
    if (text == nullptr || *text == '\0') return false;
    char* end = nullptr;
    const unsigned long long value = std::strtoull(text, &end, 10);
    if (end == text) return false;
    std::uint64_t scale = 1;
    switch (*end) {
    case 'k':
    case 'K': scale = 1024; break;
    case 'm':
    case 'M': scale = MiB; break;
    case 'g':
    case 'G': scale = 1024 * MiB; break;
    case '\0': break;
    default: return false;
    }
    bytes = value * scale;
    return true;
}

std::mutex WatchMutex;
std::condition_variable WatchWake;
bool WatchEnding = false;
std::thread Watcher;
// The run's limits, while one is weighed. A picture may be made on the interface thread while the
// interpreter thread begins or ends a run, hence the lock.
std::mutex LimitsMutex;
Limits RunLimits;
bool Weighing = false;
std::atomic<bool> Exceeded{false};

bool WithinLimits(const Limits& limits, const Usage& usage, std::uint64_t more) {
    if (!usage.Known) return true;
    if (usage.Resident + more > limits.ResidentAtStart + limits.ResidentGrowth) return false;
    return limits.AddressCeiling == 0 || usage.Address + more <= limits.AddressCeiling;
}

void Watch(std::atomic<int>* stopRequest) {
    std::unique_lock<std::mutex> lock(WatchMutex);
    while (!WatchEnding) {
        WatchWake.wait_for(lock, WatchInterval);
        if (WatchEnding) break;
        Limits limits;
        {
            std::lock_guard<std::mutex> limitsLock(LimitsMutex);
            if (!Weighing) continue; // the run's limits are not measured yet
            limits = RunLimits;
        }
        if (!WithinLimits(limits, CurrentUsage(), 0)) {
            Exceeded = true;
            stopRequest->store(1);
            break;
        }
    }
}

} // namespace

Limits LimitsForRunStartingNow() {
    Limits limits;
    const Usage usage = CurrentUsage();
    limits.ResidentAtStart = usage.Resident;
    std::uint64_t growth = 0;
    if (!BudgetFromEnvironment(growth)) {
        std::uint64_t available = SystemAvailable();
#if defined(__linux__)
        const long pages = sysconf(_SC_PHYS_PAGES);
        if (available == 0 && pages > 0) available = static_cast<std::uint64_t>(pages) * PageSize();
#endif
        available = std::min(available, GroupAvailable());
        const std::uint64_t share = available / AvailableShareDen * AvailableShareNum;
        growth = std::max(share > InterfaceReserve ? share - InterfaceReserve : 0, SmallestGrowth);
    }
    limits.ResidentGrowth = growth;
#if defined(__linux__)
    rlimit address{};
    if (getrlimit(RLIMIT_AS, &address) == 0 && address.rlim_cur != RLIM_INFINITY) {
        const std::uint64_t limit = address.rlim_cur;
        const std::uint64_t room = usage.Known && limit > usage.Address ? limit - usage.Address : 0;
        const std::uint64_t keep =
            std::min(std::max(InterfaceReserve, limit / AddressReserveDen), room / AddressRoomShareDen);
        limits.AddressCeiling = limit - keep;
    }
#endif
    return limits;
}

void BeginRun(std::atomic<int>& stopRequest) {
    EndRun();
    Exceeded = false;
    WatchEnding = false;
    // The watcher first, so that what starting it takes (its stack, the calling thread's first memory
    // pool) is part of what the process holds when the run starts, and not counted against the run.
    try {
        Watcher = std::thread(Watch, &stopRequest);
    } catch (const std::exception&) {
        // No thread to be had: the large requests are still weighed.
    }
    const Limits limits = LimitsForRunStartingNow();
    std::lock_guard<std::mutex> lock(LimitsMutex);
    RunLimits = limits;
    Weighing = true;
}

void EndRun() {
    {
        std::lock_guard<std::mutex> lock(WatchMutex);
        WatchEnding = true;
    }
    WatchWake.notify_all();
    if (Watcher.joinable()) Watcher.join();
    std::lock_guard<std::mutex> lock(LimitsMutex);
    Weighing = false;
}

bool AllowsSlow(std::size_t bytes) {
    Limits limits;
    {
        std::lock_guard<std::mutex> lock(LimitsMutex);
        if (!Weighing) return true;
        limits = RunLimits;
    }
    return WithinLimits(limits, CurrentUsage(), bytes);
}

bool AllowsElements(std::size_t count, std::size_t size) {
    if (size != 0 && count > std::numeric_limits<std::size_t>::max() / size) return false;
    return Allows(count * size);
}

bool TakeExceeded() {
    return Exceeded.exchange(false);
}

bool IsExceeded() {
    return Exceeded.load();
}

void ReturnFreedMemory() {
#if defined(__linux__) && defined(__GLIBC__)
    malloc_trim(0);
#endif
}

} // namespace MemoryBudget
