// An array of millions of plain values that is written in full before it is read, as a build
// fills its scratch: its values are not cleared when it is made, and it lies on large memory
// pages where the system offers them, which spares a page fault at every 4 KB first written.
#ifndef OIVWINTAV_OIVLARGEARRAY_H
#define OIVWINTAV_OIVLARGEARRAY_H

#include <cstddef>
#include <cstdint>
#include <memory>

#include <sys/mman.h>

template <typename T> class OivLargeArray {
public:
    OivLargeArray() = default;
    // `count` values, not cleared.
    explicit OivLargeArray(size_t count) : m_Values(new T[count]), m_Count(count) {
        adviseLargePages();
    }

    T* get(void) const { return m_Values.get(); }
    T& operator[](size_t i) const { return m_Values[i]; }
    size_t size(void) const { return m_Count; }
    // Gives the memory back.
    void reset(void) {
        m_Values.reset();
        m_Count = 0;
    }

private:
    // Only whole pages of the block can be advised; the system decides whether it follows. A
    // block smaller than a large page is not worth the call.
    void adviseLargePages(void) {
        constexpr uintptr_t kPage = 4096, kLargePage = uintptr_t(2) << 20;
        if (m_Count * sizeof(T) < kLargePage)
            return;
        const uintptr_t first = uintptr_t(m_Values.get());
        const uintptr_t start = (first + kPage - 1) & ~(kPage - 1);
        const uintptr_t end = (first + m_Count * sizeof(T)) & ~(kPage - 1);
        if (end > start)
            madvise(reinterpret_cast<void*>(start), end - start, MADV_HUGEPAGE);
    }

    std::unique_ptr<T[]> m_Values;
    size_t m_Count = 0;
};

#endif // OIVWINTAV_OIVLARGEARRAY_H
