// Large-page hints through madvise; anonymous mappings so that the block is returned to the
// system at once when freed.
#include "document/large_memory.h"

#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>

namespace plox {

namespace {

constexpr uintptr_t LARGE_PAGE = 2u << 20;

uintptr_t small_page() {
    static const uintptr_t size = [] {
        const long s = ::sysconf(_SC_PAGESIZE);
        return s > 0 ? static_cast<uintptr_t>(s) : uintptr_t{4096};
    }();
    return size;
}

} // namespace

void advise_large_pages(const void* data, size_t bytes) {
#ifdef MADV_HUGEPAGE
    if (!data || bytes < LARGE_PAGE) return;
    const uintptr_t page = small_page();
    const uintptr_t begin = reinterpret_cast<uintptr_t>(data) & ~(page - 1);
    const uintptr_t end = (reinterpret_cast<uintptr_t>(data) + bytes + page - 1) & ~(page - 1);
    ::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
    (void)data;
    (void)bytes;
#endif
}

size_t large_page_capacity(size_t count, size_t element_size) {
    // More than any allocator keeps in front of a block of its own mapping.
    constexpr size_t HEADER = 64;
    if (element_size == 0 || count > (size_t{1} << 40) / element_size) return count;
    const size_t bytes = count * element_size;
    if (bytes < LARGE_PAGE / 2) return count;
    const size_t whole = (bytes + HEADER + LARGE_PAGE - 1) & ~(LARGE_PAGE - 1);
    return (whole - HEADER) / element_size;
}

LargeBuffer::LargeBuffer(size_t bytes) {
    if (bytes == 0) return;
    // Over-allocate by one large page so that an aligned start can be cut out of the mapping.
    const size_t rounded = (bytes + small_page() - 1) & ~(small_page() - 1);
    const size_t mapped = rounded + LARGE_PAGE;
    void* p = ::mmap(nullptr, mapped, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (p == MAP_FAILED) return;
    const uintptr_t base = reinterpret_cast<uintptr_t>(p);
    const uintptr_t aligned = (base + LARGE_PAGE - 1) & ~(LARGE_PAGE - 1);
    mapping_ = p;
    mapped_ = mapped;
    data_ = reinterpret_cast<unsigned char*>(aligned);
    size_ = bytes;
    advise_large_pages(data_, rounded);
}

LargeBuffer::~LargeBuffer() {
    if (mapping_) ::munmap(mapping_, mapped_);
}

} // namespace plox
