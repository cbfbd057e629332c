// The advice on large blocks: large pages asked for where the system offers them.
#include "platform/memoryadvice.h"

#include <cstdint>

#if defined(__linux__)
#include <sys/mman.h>
#include <unistd.h>
#endif

void AdviseLargePages(void* data, std::size_t bytes) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (!data || bytes < LargePageAdviceMinimum) return;
    const long page = sysconf(_SC_PAGESIZE);
    if (page <= 0) return;
    // madvise takes whole pages: the pages inside the block.
    const auto size = static_cast<std::uintptr_t>(page);
    const auto first = (reinterpret_cast<std::uintptr_t>(data) + size - 1) / size * size;
    const auto last = (reinterpret_cast<std::uintptr_t>(data) + bytes) / size * size;
    if (last > first) madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}
