// Axis normalisation, tick loops, labels and frame types, asserted on recorded drawings.
#include "render/axes.h"
#include "render/graph_drawing.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

namespace plox {
namespace {

Axis axis(int type, double from, double to, int auto_step = 1, double step = 0, int division = 1) {
    Axis a = Axis::make_default(AxisX);
    a.scale_type = type;
    a.from = from;
    a.to = to;
    a.auto_step = auto_step;
    a.increment = step;
    a.division = division;
    return a;
}

TEST(NormalizeAxis, LinearStepsAndDivisions) {
    Axis a = axis(0, 0, 1);
    normalize_axis(a);
    EXPECT_DOUBLE_EQ(a.increment, 0.2);
    EXPECT_EQ(a.division, 2);
    a = axis(0, 0, 1.5);
    normalize_axis(a);
    EXPECT_DOUBLE_EQ(a.increment, 0.5);
    EXPECT_EQ(a.division, 5);
    a = axis(0, 0, 7);
    normalize_axis(a);
    EXPECT_DOUBLE_EQ(a.increment, 2);
    // A user step too fine for the range is replaced; a sensible one is kept.
    a = axis(0, 0, 100, 0, 0.001, 4);
    normalize_axis(a);
    EXPECT_DOUBLE_EQ(a.increment, 20);
    EXPECT_EQ(a.division, 4);
    a = axis(0, 0, 100, 0, 25, 4);
    normalize_axis(a);
    EXPECT_DOUBLE_EQ(a.increment, 25);
    // Equal limits widen to a range of one.
    a = axis(0, 3, 3);
    normalize_axis(a);
    EXPECT_EQ(a.to, 4);
}

TEST(NormalizeAxis, LogAndInverse2Repairs) {
    Axis a = axis(1, 1, 1e6);
    normalize_axis(a);
    EXPECT_EQ(a.increment, 10);
    EXPECT_EQ(a.division, 1);
    a = axis(1, 1, 100);
    normalize_axis(a);
    EXPECT_EQ(a.increment, 5);
    EXPECT_EQ(a.division, 10);
    // Manual steps snap down to the log step list; impossible limits become 1 and 10.
    a = axis(3, -2, 0, 0, 3.7, 7);
    normalize_axis(a);
    EXPECT_EQ(a.increment, 3);
    EXPECT_EQ(a.division, 10);
    EXPECT_EQ(a.from, 1);
    EXPECT_EQ(a.to, 10);
    // A reversed log axis gets the steps of its mirror.
    a = axis(1, 1e6, 1);
    normalize_axis(a);
    EXPECT_EQ(a.increment, 10);
    // An Inverse2 range through zero becomes linear.
    a = axis(4, -2, 5);
    normalize_axis(a);
    EXPECT_EQ(a.scale_type, 0);
    a = axis(4, -10, -0.1);
    normalize_axis(a);
    EXPECT_EQ(a.scale_type, 4);
    EXPECT_DOUBLE_EQ(a.increment, 10);
    EXPECT_EQ(a.division, 1);
}

TEST(NormalizeAxis, DamagedRecordsAreRepaired) {
    Axis a = axis(0, NAN, 5);
    a.base_line_from = 12000;
    a.base_line_to = -5;
    a.label_interval = 0;
    normalize_axis(a);
    EXPECT_EQ(a.from, 0);
    EXPECT_EQ(a.to, 1);
    EXPECT_EQ(a.base_line_from, 0);
    EXPECT_EQ(a.base_line_to, 10000);
    EXPECT_EQ(a.label_interval, 1);
}

TEST(NumberLabels, FormatsAndTrims) {
    Axis a = Axis::make_default(AxisX);
    a.fraction_digits = 2;
    a.keep_zero = 0;
    EXPECT_EQ(format_number_label(a, 0.5, 0.5), "0.5");
    EXPECT_EQ(format_number_label(a, 2, 0.5), "2");
    EXPECT_EQ(format_number_label(a, -1.25, 0.5), "-1.25");
    EXPECT_EQ(format_number_label(a, 1e-17, 0.5), "0");
    a.keep_zero = 1;
    EXPECT_EQ(format_number_label(a, 0.5, 0.5), "0.50");
    a.keep_zero = 0;
    a.plus_sign = 1;
    EXPECT_EQ(format_number_label(a, 2, 0.5), "+2");
    a.plus_sign = 0;
    a.zero_as_0 = 0;
    EXPECT_EQ(format_number_label(a, 0, 0.5), "0");
    // Integers keep their zeros when there is no fraction to trim.
    a.fraction_digits = 0;
    EXPECT_EQ(format_number_label(a, 20, 10), "20");
}

TEST(NumberLabels, MultiplierExponent) {
    Axis a = axis(0, 0, 45000);
    a.integer_digits = 3;
    EXPECT_EQ(multiplier_exponent(a), -4);
    a.integer_digits = 5;
    EXPECT_EQ(multiplier_exponent(a), 0);
    a = axis(0, 0, 0.0005);
    a.fraction_digits = 3;
    EXPECT_EQ(multiplier_exponent(a), 4);
    a = axis(1, 1, 1e9);
    a.integer_digits = 1;
    EXPECT_EQ(multiplier_exponent(a), 0);
    a = axis(3, 0.01, 100); // decades on both sides of 1: none
    a.integer_digits = 1;
    EXPECT_EQ(multiplier_exponent(a), 0);
}

// What a drawing recorded, in an easily searched form.
struct Drawn {
    struct Text {
        Point at;
        std::string text;
        uint32_t align;
    };
    struct Line {
        Point a, b;
    };
    std::vector<Text> texts;
    std::vector<Line> lines;

    explicit Drawn(const RecordingSurface& rec) {
        Point cp;
        uint32_t align = 0;
        for (const auto& c : rec.commands()) {
            if (auto* m = std::get_if<rec::MoveTo>(&c)) cp = m->p;
            if (auto* l = std::get_if<rec::LineTo>(&c)) {
                lines.push_back({cp, l->p});
                cp = l->p;
            }
            if (auto* a = std::get_if<rec::TextAlign>(&c)) align = a->flags;
            if (auto* t = std::get_if<rec::TextOut>(&c)) texts.push_back({t->p, t->bytes, align});
        }
    }
    std::vector<std::string> strings() const {
        std::vector<std::string> s;
        for (const auto& t : texts)
            s.push_back(t.text);
        return s;
    }
    bool has_text(const std::string& s) const {
        return std::any_of(texts.begin(), texts.end(), [&](const Text& t) { return t.text == s; });
    }
    int count_lines(auto&& pred) const {
        return static_cast<int>(std::count_if(lines.begin(), lines.end(), pred));
    }
};

struct Fixture {
    Graph g;
    FixedTextMeasurer measurer;
    RenderContext ctx;
    RecordingSurface rec;
    Fixture() {
        ctx.measurer = &measurer;
        ctx.metafile = true;
        ctx.series_range = [](Graph&, int) { return SeriesExtent{}; };
        g.scales_valid = 1;
    }
    Drawn draw() {
        rec.clear();
        draw_graph_body(rec, g, ctx);
        return Drawn(rec);
    }
    void set(int index, int type, double from, double to) {
        Axis& a = g.axes[static_cast<size_t>(index)];
        a.scale_type = type;
        a.from = from;
        a.to = to;
    }
};

TEST(DrawAxes, LinearLabelsAndTicksOfABox) {
    Fixture f;
    f.set(AxisX, 0, 0, 1);
    f.set(AxisY, 0, 0, 10);
    f.g.axes[AxisX].fraction_digits = 2;
    const Drawn d = f.draw();
    const Rect fr = frame_rect(f.g);
    for (const char* s : {"0", "0.2", "0.4", "0.6", "0.8", "1", "2", "4", "6", "8", "10"})
        EXPECT_TRUE(d.has_text(s)) << s;
    // X labels centred, bottom one font height below the axis.
    const auto x_half =
        std::find_if(d.texts.begin(), d.texts.end(), [](const auto& t) { return t.text == "0.6"; });
    ASSERT_NE(x_half, d.texts.end());
    EXPECT_EQ(x_half->at.y, fr.bottom + 847);
    EXPECT_EQ(x_half->align, text_align::Center | text_align::Bottom);
    // Y labels right-aligned at the axis, half a font height below the tick.
    const auto y_ten =
        std::find_if(d.texts.begin(), d.texts.end(), [](const auto& t) { return t.text == "10"; });
    ASSERT_NE(y_ten, d.texts.end());
    EXPECT_EQ(y_ten->at, (Point{fr.left, fr.top + 847 / 2}));
    EXPECT_EQ(y_ten->align, text_align::Right | text_align::Bottom);
    // 6 major + 5 minor ticks on X pointing up from the bottom, and the same on U pointing down.
    EXPECT_EQ(d.count_lines(
                  [&](const auto& l) { return l.a.y == fr.bottom && l.b.y == fr.bottom - 300; }),
              6);
    EXPECT_EQ(d.count_lines(
                  [&](const auto& l) { return l.a.y == fr.bottom && l.b.y == fr.bottom - 150; }),
              5);
    EXPECT_EQ(
        d.count_lines([&](const auto& l) { return l.a.y == fr.top && l.b.y == fr.top + 300; }), 6);
    // The four axis lines.
    EXPECT_EQ(d.count_lines([&](const auto& l) {
        return l.a == Point{fr.left, fr.bottom} && l.b == Point{fr.right, fr.bottom};
    }),
              1);
    EXPECT_EQ(d.count_lines([&](const auto& l) {
        return l.a == Point{fr.right, fr.top} && l.b == Point{fr.right, fr.bottom};
    }),
              1);
    // Labels widen the extent box beyond the frame.
    EXPECT_GT(f.g.extent_bottom, fr.bottom + 800);
    EXPECT_LT(f.g.extent_left, fr.left - 800);
    EXPECT_EQ(f.g.extent_top, fr.top + 847 / 2 - 847); // the top Y label sticks out
}

TEST(DrawAxes, LabelWindowAndInterval) {
    Fixture f;
    f.set(AxisX, 0, 0, 10); // ticks 0, 2, 4, 6, 8, 10
    f.g.axes[AxisY].draw_labels = 0;
    f.g.axes[AxisX].label_start = 1;
    f.g.axes[AxisX].label_interval = 2;
    f.g.axes[AxisX].label_count = 2;
    EXPECT_EQ(f.draw().strings(), (std::vector<std::string>{"2", "6"}));
}

TEST(DrawAxes, LogDecadeLabelsAndTheOneTenFlag) {
    Fixture f;
    f.set(AxisX, 1, 1, 1000);
    f.g.axes[AxisY].draw_labels = 0;
    f.g.axes[AxisX].auto_step = 0;
    f.g.axes[AxisX].increment = 10;
    f.g.axes[AxisX].division = 1;
    Drawn d = f.draw();
    EXPECT_EQ(d.strings(), (std::vector<std::string>{"10", "0", "10", "1", "10", "2", "10", "3"}));
    // The exponent is smaller and raised by half the label height.
    EXPECT_EQ(d.texts[1].at.y, d.texts[0].at.y - 847 / 2);
    EXPECT_EQ(d.texts[1].at.x, d.texts[0].at.x + 847 / 2);
    f.g.log_decades_as_numbers = 1;
    d = f.draw();
    EXPECT_EQ(d.strings(), (std::vector<std::string>{"1", "10", "10", "2", "10", "3"}));
}

TEST(DrawAxes, LogTicksFollowTheStep) {
    Fixture f;
    f.set(AxisX, 1, 1, 100);
    f.g.axes[AxisY].draw_labels = 0;
    f.g.axes[AxisX].major_length = 333;
    f.g.axes[AxisX].minor_length = 111;
    const Drawn d = f.draw(); // auto step 5: majors at 1, 5, 10, 50, 100; minors at 2-4, 6-9 …
    const Rect fr = frame_rect(f.g);
    std::vector<int32_t> majors;
    for (const auto& l : d.lines)
        if (l.a.y == fr.bottom && l.b.y == fr.bottom - 333) majors.push_back(l.a.x);
    const int32_t w = fr.right - fr.left;
    ASSERT_EQ(majors.size(), 5u);
    EXPECT_EQ(majors[0], fr.left);
    EXPECT_NEAR(majors[1], fr.left + w * std::log10(5.0) / 2, 1);
    EXPECT_EQ(majors[4], fr.right);
    EXPECT_EQ(d.count_lines(
                  [&](const auto& l) { return l.a.y == fr.bottom && l.b.y == fr.bottom - 111; }),
              14);
}

TEST(DrawAxes, MultiplierDividesLabelsAndShowsThePower) {
    Fixture f;
    f.set(AxisY, 0, 0, 45000);
    f.g.axes[AxisY].integer_digits = 3;
    f.g.axes[AxisX].draw_labels = 0;
    const Drawn d = f.draw();
    for (const char* s : {"0", "1", "2", "3", "4"})
        EXPECT_TRUE(d.has_text(s)) << s;
    EXPECT_FALSE(d.has_text("10000"));
    // "[×10^4]": the power's exponent follows a "10" after the Symbol-font times sign.
    const auto strings = d.strings();
    const auto times = std::find(strings.begin(), strings.end(), "\xB4");
    ASSERT_NE(times, strings.end());
    const auto ten = std::find(times, strings.end(), "10");
    ASSERT_NE(ten, strings.end());
    ASSERT_NE(ten + 1, strings.end());
    EXPECT_EQ(*(ten + 1), "4");
}

TEST(DrawAxes, GridFrameTurnsInsideTicksIntoPatternedLines) {
    Fixture f;
    f.g.FrameType = frame_type::Grid;
    f.set(AxisX, 0, 0, 10);
    f.set(AxisY, 0, 0, 10);
    f.g.axes[AxisX].major_line_type = 1;
    f.g.axes[AxisX].minor_line_type = 3; // dotted minors
    const Drawn d = f.draw();
    const Rect fr = frame_rect(f.g);
    // Six solid verticals across the whole frame at the major ticks, and the Y and R axis lines.
    EXPECT_EQ(d.count_lines([&](const auto& l) {
        return l.a.y == fr.top && l.b.y == fr.bottom && l.a.x == l.b.x;
    }),
              8);
    // Minor grid lines are broken into dots, all vertical and inside the frame.
    EXPECT_GT(d.count_lines([&](const auto& l) {
        return l.a.x == l.b.x && l.a.y > fr.top && l.b.y < fr.bottom;
    }),
              50);
    // U and R lost their inside ticks in the record.
    EXPECT_EQ(f.g.axes[AxisU].major_in, 0);
    EXPECT_EQ(f.g.axes[AxisR].minor_in, 0);
}

TEST(DrawAxes, HalfFrameNeverDrawsUAndR) {
    Fixture f;
    f.g.FrameType = frame_type::HalfFrame;
    f.set(AxisX, 0, 0, 10);
    f.set(AxisY, 0, 0, 10);
    for (int a : {AxisU, AxisR}) {
        f.g.axes[static_cast<size_t>(a)].draw = 1;
        f.g.axes[static_cast<size_t>(a)].draw_labels = 1;
    }
    const Drawn d = f.draw();
    const Rect fr = frame_rect(f.g);
    auto length = [](const auto& l) { return std::abs(l.b.x - l.a.x) + std::abs(l.b.y - l.a.y); };
    EXPECT_EQ(d.count_lines([&](const auto& l) {
        return l.a.y == fr.top && l.b.y == fr.top && length(l) > 300;
    }),
              0);
    EXPECT_EQ(d.count_lines([&](const auto& l) {
        return l.a.x == fr.right && l.b.x == fr.right && length(l) > 300;
    }),
              0);
    EXPECT_EQ(d.count_lines([&](const auto& l) {
        return l.a.y == fr.top && (l.b.y == fr.top + 300 || l.b.y == fr.top + 150);
    }),
              0);
    EXPECT_EQ(d.texts.size(), 12u); // X and Y labels only
    EXPECT_EQ(f.g.axes[AxisU].common, 1);
}

TEST(DrawAxes, AxesFrameCrossesAtZeroAndSharesTheZeroLabel) {
    Fixture f;
    f.g.FrameType = frame_type::Axes;
    f.g.zero_shared = 1;
    f.set(AxisX, 0, -5, 5);
    f.set(AxisY, 0, -10, 10);
    const Drawn d = f.draw();
    const Rect fr = frame_rect(f.g);
    const int32_t cx = (fr.left + fr.right) / 2, cy = (fr.top + fr.bottom) / 2;
    EXPECT_EQ(d.count_lines([&](const auto& l) {
        return l.a == Point{fr.left, cy} && l.b == Point{fr.right, cy};
    }),
              1);
    EXPECT_EQ(d.count_lines([&](const auto& l) {
        return l.a == Point{cx, fr.top} && l.b == Point{cx, fr.bottom};
    }),
              1);
    int zero_labels = 0;
    for (const auto& t : d.texts)
        if (t.text == "0") {
            ++zero_labels;
            EXPECT_EQ(t.at, (Point{cx, cy + 847}));
            EXPECT_EQ(t.align, text_align::Right | text_align::Bottom);
        }
    EXPECT_EQ(zero_labels, 1);
}

TEST(DrawAxes, Inverse2LabelsNegativeTicks) {
    Fixture f;
    f.set(AxisX, 4, -10, -0.1);
    f.g.axes[AxisY].draw_labels = 0;
    const Drawn d = f.draw();
    for (const char* s : {"-10", "-1", "-0.1", "-5", "-0.5"})
        EXPECT_TRUE(d.has_text(s)) << s;
    for (const auto& t : d.texts)
        EXPECT_EQ(t.text[0], '-') << t.text;
    // Reciprocal mapping: -10 at the left edge (minimum), -0.1 at the right.
    const Rect fr = frame_rect(f.g);
    for (const auto& t : d.texts) {
        if (t.text == "-10") {
            EXPECT_EQ(t.at.x, fr.left);
        }
        if (t.text == "-0.1") {
            EXPECT_EQ(t.at.x, fr.right);
        }
    }
}

TEST(DrawAxes, BackgroundAndCommonScalesAreApplied) {
    Fixture f;
    f.g.background_color = 0x00FFEE;
    f.set(AxisX, 0, 0, 10);
    f.g.axes[AxisX].common = 1;
    f.g.axes[AxisU].from = 99;
    const Drawn d = f.draw();
    EXPECT_EQ(f.g.axes[AxisU].to, 10);
    EXPECT_EQ(f.g.axes[AxisU].from, 0);
    ASSERT_GE(f.rec.commands().size(), 2u);
    const auto* fill = std::get_if<rec::FillRect>(&f.rec.commands()[1]);
    ASSERT_NE(fill, nullptr);
    EXPECT_EQ(fill->r, frame_rect(f.g));
    EXPECT_EQ(fill->brush.color, 0x00FFEE);
}

TEST(DrawAxes, HostileAxisSettingsStayBounded) {
    Fixture f;
    f.set(AxisX, 0, 1e17, 1e17 + 1); // steps below the resolution of the values
    f.g.axes[AxisY].auto_step = 0;
    f.g.axes[AxisY].increment = 1;
    f.g.axes[AxisY].division = 2000000000; // minor ticks beyond counting
    f.g.axes[AxisY].integer_digits = 100000;
    f.set(AxisU, 1, 1e-300, 1e300);
    f.g.axes[AxisU].common = 0;
    f.g.axes[AxisX].common = 0;
    const Drawn d = f.draw();
    EXPECT_LT(d.lines.size(), 300000u);
}

} // namespace
} // namespace plox
