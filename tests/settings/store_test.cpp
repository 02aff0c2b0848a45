// Typed access to the settings store.
#include "settings/store.h"

#include <gtest/gtest.h>

namespace plox {

TEST(SettingsStore, MissingOrWrongTypeLeavesValue) {
    MemorySettingsStore s;
    int32_t i = 7;
    double d = 1.5;
    s.read("User Config", "DrawGlid", i);
    s.read("User Config", "Gosa", d);
    EXPECT_EQ(i, 7);
    EXPECT_EQ(d, 1.5);
    s.write_text("User Config", "DrawGlid", "500");
    s.read("User Config", "DrawGlid", i);
    EXPECT_EQ(i, 7);
}

TEST(SettingsStore, DoublesTravelAsShortestG) {
    MemorySettingsStore s;
    s.write("Fit", "Gosa", 0.123456789);
    EXPECT_EQ(s.read_text("Fit", "Gosa"), "0.123457");
    double d = 0;
    s.read("Fit", "Gosa", d);
    EXPECT_DOUBLE_EQ(d, 0.123457);
    s.write("Fit", "Neg", -5);
    int32_t i = 0;
    s.read("Fit", "Neg", i);
    EXPECT_EQ(i, -5);
}

} // namespace plox
