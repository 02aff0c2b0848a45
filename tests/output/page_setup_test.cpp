// Page set-up: the printed page's mapping and halving, the print size dialog's rules.
#include "output/page_setup.h"

#include <gtest/gtest.h>

namespace plox {
namespace {

TEST(PrintMapping, ScaleThreeHundredOnA4At600And1200Dpi) {
    const PrintMapping at600 = print_mapping(210, 297, 600, 600, 300);
    EXPECT_EQ(at600.clip_width, 4960);
    EXPECT_EQ(at600.clip_height, 7015);
    EXPECT_EQ(at600.viewport_x, 14881);
    EXPECT_EQ(at600.viewport_y, 21047);
    EXPECT_EQ(at600.window_width, 21000);
    EXPECT_EQ(at600.window_height, 29700);
    EXPECT_EQ(at600.halvings, 0);

    // 29763 × 42094 pixels: one halving of both extents.
    const PrintMapping at1200 = print_mapping(210, 297, 1200, 1200, 300);
    EXPECT_EQ(at1200.halvings, 1);
    EXPECT_EQ(at1200.viewport_x, 29763 / 2);
    EXPECT_EQ(at1200.viewport_y, 42094 / 2);
    EXPECT_EQ(at1200.window_width, 10500);
    EXPECT_EQ(at1200.window_height, 14800);
    // The scale survives the halving: 3 pixels per ~0.0212 mm either way.
    EXPECT_NEAR(double(at1200.viewport_x) / at1200.window_width,
                double(at600.viewport_x) / at600.window_width * 2, 0.001);
}

TEST(PrintMapping, HugeCustomPaperHalvesUntilItFits) {
    const PrintMapping m = print_mapping(1000, 1000, 600, 600, 100);
    EXPECT_EQ(m.halvings, 2);
    EXPECT_EQ(m.window_width, 25000);
    EXPECT_LE(m.viewport_x, 32000);
    // A metre-wide page at 2400 dpi and 300 % still ends in range (64-bit arithmetic).
    const PrintMapping big = print_mapping(100000, 100000, 2400, 2400, 300);
    EXPECT_LE(big.viewport_x, 32000);
    EXPECT_LE(big.window_width, 32000);
    EXPECT_GT(big.viewport_x, 0);
}

TEST(PrintMapping, AnisotropicResolutionsKeepTheirOwnExtents) {
    const PrintMapping m = print_mapping(210, 297, 300, 600, 100);
    EXPECT_EQ(m.viewport_x, 2480);
    EXPECT_EQ(m.viewport_y, 7015);
}

TEST(PrintConfirmation, OnlyWhenGraphsAreHidden) {
    EXPECT_FALSE(print_needs_confirmation(1, false, false));
    EXPECT_TRUE(print_needs_confirmation(2, false, false));
    EXPECT_FALSE(print_needs_confirmation(2, true, false));
    EXPECT_FALSE(print_needs_confirmation(3, false, true));
}

TEST(PrintSizeForm, ScaleIsClampedAndSizesAreWholeMillimetres) {
    PrintSizeForm form;
    PageSetup setup;
    form.load(setup, 100);
    EXPECT_EQ(form.width, "210");
    EXPECT_EQ(form.length, "297");
    EXPECT_EQ(form.scale, "100");

    int scale = 100;
    form.scale = "30";
    form.apply(setup, scale);
    EXPECT_EQ(scale, 50);
    form.scale = "500";
    form.apply(setup, scale);
    EXPECT_EQ(scale, 300);
    form.scale = "144";
    form.kind = paper::Free;
    form.width = "1000";
    form.length = "0"; // not a length: the previous one stays
    form.apply(setup, scale);
    EXPECT_EQ(scale, 144);
    EXPECT_EQ(setup.kind, paper::Free);
    EXPECT_EQ(setup.width_mm, 1000);
    EXPECT_EQ(setup.length_mm, 297);
}

TEST(PrintSizeForm, OrientationRefillsTheStandardSize) {
    PrintSizeForm form;
    form.load(PageSetup{}, 100);
    form.kind = paper::B4;
    form.width = "12";
    form.choose_orientation(true);
    EXPECT_TRUE(form.landscape);
    EXPECT_EQ(form.width, "250");
    EXPECT_EQ(form.length, "354");

    form.kind = paper::Free;
    form.width = "400";
    form.choose_orientation(false);
    EXPECT_FALSE(form.landscape);
    EXPECT_EQ(form.width, "400"); // "自由" keeps what was typed
}

TEST(PageSetup, StandardSizesAndDocumentFields) {
    EXPECT_EQ(standard_paper(paper::A3), (PaperSize{297, 420}));
    EXPECT_EQ(standard_paper(paper::B5), (PaperSize{182, 257}));
    EXPECT_FALSE(standard_paper(paper::Free));
    EXPECT_FALSE(standard_paper(6));
    const PageFields f = page_fields(PageSetup{paper::A5, 148, 210, true});
    EXPECT_EQ(f.width, 148);
    EXPECT_EQ(f.height, 210);
    EXPECT_EQ(f.paper_code, 3);
    EXPECT_EQ(f.landscape, 1);
}

} // namespace
} // namespace plox
