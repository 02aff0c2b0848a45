#include "forms/dialog_helpers.h"

#include <gtest/gtest.h>

using namespace plox::forms;

TEST(DialogHelpers, MillimetreTextShowsOnlyTheDigitsNeeded) {
    EXPECT_EQ(millimetre_text(4000), "40");
    EXPECT_EQ(millimetre_text(4050), "40.5");
    EXPECT_EQ(millimetre_text(4005), "40.05");
    EXPECT_EQ(millimetre_text(-150), "-1.5");
    EXPECT_EQ(millimetre_text(-5), "-0.05");
    EXPECT_EQ(millimetre_text(0), "0");
    EXPECT_EQ(millimetre_text(INT32_MIN), "-21474836.48");
}

TEST(DialogHelpers, MillimetresReadRoundHalfAwayFromZero) {
    EXPECT_EQ(read_millimetres("12.34"), 1234);
    EXPECT_EQ(read_millimetres("-0.006"), -1);
    EXPECT_EQ(read_millimetres("0.005"), 1);
    EXPECT_EQ(read_millimetres("abc"), 0);
    EXPECT_EQ(read_millimetres("1e30"), INT32_MAX);
    EXPECT_EQ(read_millimetres("-1e30"), INT32_MIN);
}

TEST(DialogHelpers, NumbersAndIntegersReadLikeTheStandardConversions) {
    EXPECT_EQ(number_text(0.5), "0.5");
    EXPECT_EQ(number_text(1e-7), "1e-07");
    EXPECT_DOUBLE_EQ(read_number(" 2.5x"), 2.5);
    EXPECT_EQ(read_number("x"), 0.0);
    EXPECT_EQ(read_integer("12abc"), 12);
    EXPECT_EQ(read_integer("-7"), -7);
    EXPECT_EQ(read_integer("auto"), 0);
    EXPECT_EQ(read_integer("99999999999"), INT32_MAX);
}

TEST(DialogHelpers, ColourListOrder) {
    const auto& c = colour_list();
    EXPECT_EQ(c[0], 0x000000);
    EXPECT_EQ(c[1], 0x000080); // red varies fastest
    EXPECT_EQ(c[7], 0x808080);
    EXPECT_EQ(c[8], 0xC0C0C0);
    EXPECT_EQ(c[9], 0x0000FF);
    EXPECT_EQ(c[15], 0xFFFFFF);
    EXPECT_EQ(colour_list_index(0xC0C0C0), 8);
    EXPECT_EQ(colour_list_index(0x123456), -1);
    const auto g = custom_colours(0x123456);
    EXPECT_EQ(g[0], 0x123456);
    EXPECT_EQ(g[15], 0xF0F0F0);
}
