// Memory for arrays of many megabytes (page images, data columns). The first write to each
// fresh 4 KiB page costs a fault that, for such arrays, takes longer than filling the page;
// 2 MiB pages cut the faults by 512.
#pragma once

#include <cstddef>

namespace plox {

// Asks the system to back [data, data + bytes) with large pages where it can; a hint only, so
// nothing changes when it is refused or the system has no such pages.
void advise_large_pages(const void* data, size_t bytes);

// The element count to reserve instead of `count` so that an array of a megabyte or more
// fills whole large pages together with the allocator's header: the system then places it on
// large-page boundaries, where advise_large_pages can take effect. Smaller arrays keep `count`.
size_t large_page_capacity(size_t count, size_t element_size);

// A zero-filled block of `bytes` aligned to a large page, released on destruction; null when
// the memory is not available.
class LargeBuffer {
public:
    explicit LargeBuffer(size_t bytes);
    ~LargeBuffer();
    LargeBuffer(const LargeBuffer&) = delete;
    LargeBuffer& operator=(const LargeBuffer&) = delete;

    unsigned char* data() const { return data_; }
    size_t size() const { return size_; }

private:
    unsigned char* data_ = nullptr;
    size_t size_ = 0;
    void* mapping_ = nullptr;
    size_t mapped_ = 0;
};

} // namespace plox
