#pragma once

#include <cstddef>
#include <new>

#ifdef __linux__
#include <sys/mman.h>
#endif

namespace tavilon {

// An allocator for the large tables a press reads and writes all over (a
// million picks' words, their places and the sort of their word numbers):
// those of 2 MiB or more sit on huge pages where the system offers them on
// request. On the virtual machines measured, looking up the page of each
// scattered access cost more than the access itself: a million picks from
// a 10M-line list took 0.25 s with 4 KiB pages and 0.22 s with huge ones.
template <class T>
struct LargeAllocator {
    using value_type = T;
    static constexpr std::size_t HugePage = std::size_t{2} << 20;

    LargeAllocator() = default;
    template <class U>
    LargeAllocator(const LargeAllocator<U>&) noexcept
    {
    }

    T* allocate(std::size_t n)
    {
        const std::size_t bytes = n * sizeof(T);
        if (bytes < HugePage)
            return static_cast<T*>(::operator new(bytes));
        const std::size_t rounded = (bytes + HugePage - 1) / HugePage * HugePage;
        void* p = ::operator new(rounded, std::align_val_t {HugePage});
#ifdef MADV_HUGEPAGE
        ::madvise(p, rounded, MADV_HUGEPAGE); // only a wish: without it the table works alike
#endif
        return static_cast<T*>(p);
    }

    void deallocate(T* p, std::size_t n) noexcept
    {
        if (n * sizeof(T) < HugePage)
            ::operator delete(p);
        else
            ::operator delete(p, std::align_val_t {HugePage});
    }

    template <class U>
    bool operator==(const LargeAllocator<U>&) const noexcept
    {
        return true;
    }
};

} // namespace tavilon
