#include "platform/HugePages.h"

#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

void adviseHugePages(void* block, size_t bytes)
{
#ifdef MADV_HUGEPAGE
    constexpr size_t worthIt = size_t(4) << 20;
    if (!block || bytes < worthIt)
        return;
    const auto pageSize = uintptr_t(sysconf(_SC_PAGESIZE));
    const auto begin = (uintptr_t(block) + pageSize - 1) & ~(pageSize - 1);
    const auto end = (uintptr_t(block) + bytes) & ~(pageSize - 1);
    if (end > begin)
        (void)madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)block;
    (void)bytes;
#endif
}
