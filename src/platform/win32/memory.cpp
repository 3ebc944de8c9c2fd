// Large blocks straight from the system's virtual memory: committed, zeroed, page-aligned.

#include "platform/memory.h"

#include <windows.h>

namespace velquin::platform {

void* AllocateLarge(std::size_t bytes) {
    void* block = ::VirtualAlloc(nullptr, bytes, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE);
    if (!block) throw std::bad_alloc();
    return block;
}

void FreeLarge(void* block, std::size_t) noexcept { ::VirtualFree(block, 0, MEM_RELEASE); }

}  // namespace velquin::platform
