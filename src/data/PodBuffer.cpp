#include "data/PodBuffer.h"

#if defined(PRVC03_POD_BUFFER_MAPS)
#include <sys/mman.h>

#include <cstdint>
#endif

namespace prvc03::pod_buffer_detail {

#if defined(PRVC03_POD_BUFFER_MAPS)
void* MapAligned(std::size_t bytes) {
    void* raw = mmap(nullptr, bytes + kHugePage, PROT_READ | PROT_WRITE,
                     MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (raw == MAP_FAILED) {
        throw std::bad_alloc();
    }
    const auto begin = reinterpret_cast<std::uintptr_t>(raw);
    const std::uintptr_t aligned = (begin + kHugePage - 1) & ~(kHugePage - 1);
    if (aligned > begin) {
        munmap(raw, aligned - begin);
    }
    const std::uintptr_t end = begin + bytes + kHugePage;
    if (end > aligned + bytes) {
        munmap(reinterpret_cast<void*>(aligned + bytes), end - (aligned + bytes));
    }
    void* block = reinterpret_cast<void*>(aligned);
    madvise(block, bytes, MADV_HUGEPAGE);  // only a hint: fine if refused
    return block;
}

void Unmap(void* block, std::size_t bytes) {
    munmap(block, bytes);
}

bool MovePages(void* from, std::size_t bytes, void* to) {
    return mremap(from, bytes, bytes, MREMAP_MAYMOVE | MREMAP_FIXED, to) != MAP_FAILED;
}
#endif

}  // namespace prvc03::pod_buffer_detail
