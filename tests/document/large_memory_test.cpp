// Large-page memory: alignment, zero fill and the capacities that fill whole large pages.
#include "document/large_memory.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

namespace plox {
namespace {

constexpr size_t LARGE_PAGE = 2u << 20;

TEST(LargeMemory, BufferIsAlignedZeroedAndWritable) {
    for (const size_t bytes : {size_t{1}, size_t{4096}, LARGE_PAGE + 3, size_t{9} << 20}) {
        LargeBuffer buffer(bytes);
        ASSERT_NE(buffer.data(), nullptr) << bytes;
        EXPECT_EQ(buffer.size(), bytes);
        EXPECT_EQ(reinterpret_cast<uintptr_t>(buffer.data()) % LARGE_PAGE, 0u);
        EXPECT_TRUE(std::all_of(buffer.data(), buffer.data() + bytes,
                                [](unsigned char c) { return c == 0; }));
        std::fill(buffer.data(), buffer.data() + bytes, 0xFF); // the last byte is ours too
    }
    EXPECT_EQ(LargeBuffer(0).data(), nullptr);
}

TEST(LargeMemory, CapacityFillsWholeLargePages) {
    EXPECT_EQ(large_page_capacity(1000, 8), 1000u); // small arrays stay as asked
    EXPECT_EQ(large_page_capacity(0, 8), 0u);
    for (const size_t count : {size_t{131072}, size_t{262144}, size_t{330000}, size_t{1} << 20}) {
        const size_t capacity = large_page_capacity(count, sizeof(double));
        EXPECT_GE(capacity, count);
        // Room for the allocator's header, and less than one large page more than asked.
        const size_t bytes = capacity * sizeof(double);
        EXPECT_LT(bytes, count * sizeof(double) + LARGE_PAGE);
        EXPECT_EQ((bytes + 64) % LARGE_PAGE, 0u) << count;
    }
}

} // namespace
} // namespace plox
