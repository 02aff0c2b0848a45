// Defaults of the document records.
#include "document/model.h"

#include <bit>
#include <gtest/gtest.h>

namespace plox {

TEST(Model, SentinelsHaveTheStoredBitPatterns) {
    EXPECT_EQ(std::bit_cast<uint64_t>(ERROR_VALUE), 0xFE6DDD4BAA009303u);
    EXPECT_EQ(std::bit_cast<uint64_t>(MASKED_VALUE), 0xFEA2AA4F4A405BE1u);
    EXPECT_FALSE(is_valid(ERROR_VALUE));
    EXPECT_FALSE(is_valid(MASKED_VALUE));
    EXPECT_FALSE(is_valid(-1e300));
    EXPECT_TRUE(is_valid(-9.9e299));
}

TEST(Model, NewGraphLabelsXAndYOnly) {
    auto g = std::make_unique<Graph>();
    EXPECT_EQ(g->axes[AxisX].draw_labels, 1);
    EXPECT_EQ(g->axes[AxisY].draw_labels, 1);
    EXPECT_EQ(g->axes[AxisU].draw_labels, 0);
    EXPECT_EQ(g->axes[AxisR].draw_labels, 0);
    EXPECT_EQ(g->axes[AxisX].common, 1);
    EXPECT_EQ(g->axes[AxisY].reserved1, 1200);
    EXPECT_EQ(g->symbol_font.face, "Symbol");
    EXPECT_EQ(g->axes[AxisR].label_font.face, "Times New Roman");
}

} // namespace plox
