#include "platform/memory.h"

#include <sys/mman.h>

namespace velquin::platform {

void* AllocateLarge(std::size_t bytes) {
    void* block = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (block == MAP_FAILED) throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
    madvise(block, bytes, MADV_HUGEPAGE);  // advice only: ordinary pages serve as well, slower
#endif
    return block;
}

void FreeLarge(void* block, std::size_t bytes) noexcept { munmap(block, bytes); }

}  // namespace velquin::platform
