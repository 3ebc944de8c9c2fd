#pragma once
// Memory for large tables read at random places. Where the system offers huge pages they back such
// blocks, so a lookup in a table of a million records does not wait on address translation.

#include <cstddef>
#include <new>

namespace velquin::platform {

// A block of at least `bytes`; throws std::bad_alloc when there is none.
void* AllocateLarge(std::size_t bytes);
void FreeLarge(void* block, std::size_t bytes) noexcept;

// Blocks from 2 MiB up come from AllocateLarge, smaller ones from the ordinary heap.
template <class T>
struct LargeAllocator {
    using value_type = T;
    static constexpr std::size_t kLargeFrom = std::size_t{2} << 20;

    LargeAllocator() = default;
    template <class U>
    LargeAllocator(const LargeAllocator<U>&) noexcept {}

    T* allocate(std::size_t count) {
        const std::size_t bytes = count * sizeof(T);
        return static_cast<T*>(bytes >= kLargeFrom ? AllocateLarge(bytes) : ::operator new(bytes));
    }
    void deallocate(T* block, std::size_t count) noexcept {
        const std::size_t bytes = count * sizeof(T);
        if (bytes >= kLargeFrom) {
            FreeLarge(block, bytes);
        } else {
            ::operator delete(block);
        }
    }
    template <class U>
    bool operator==(const LargeAllocator<U>&) const noexcept { return true; }
};

}  // namespace velquin::platform
