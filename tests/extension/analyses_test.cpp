// The module's analyses through its exports: peak fits, extremes, detection, smoothing, state
// lines.
#include "fixture.h"

#include "document/model.h"

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

using namespace plox;
using namespace plox::test;

namespace {

// A block made and freed through the module, as a series holds it.
struct Block {
    PloxexBlock* handle = nullptr;
    ~Block() { ex().free_block(handle); }
};

struct Points {
    std::vector<double> x, y;
    int32_t n() const { return static_cast<int32_t>(x.size()); }
};

template <class F> Points sample(double from, double to, int count, F f) {
    Points p;
    for (int i = 0; i < count; ++i) {
        const double x = from + (to - from) * i / (count - 1);
        p.x.push_back(x);
        p.y.push_back(f(x));
    }
    return p;
}

int32_t init(const char* name, Block& b, int32_t* has_curve = nullptr, int32_t* show = nullptr) {
    int32_t c = -9, s = -9;
    const int32_t r = ex().init(nullptr, name, &b.handle, 1, &c, &s);
    if (has_curve) *has_curve = c;
    if (show) *show = s;
    return r;
}

std::vector<std::string> results(const char* name, const Block& b) {
    std::vector<std::string> lines;
    PloxexListSink sink{&lines, [](void* u, const char* l) {
                            static_cast<std::vector<std::string>*>(u)->push_back(l);
                        }};
    EXPECT_EQ(ex().end(&sink, name, b.handle), 0);
    return lines;
}

std::string saved(const char* name, const Block& b) {
    std::string text;
    PloxexWriter w{&text, [](void* u, const char* bytes, size_t n) -> int32_t {
                       static_cast<std::string*>(u)->append(bytes, n);
                       return 1;
                   }};
    EXPECT_EQ(ex().save(0, &w, name, b.handle), 1);
    return text;
}

void load(const char* name, Block& b, const std::vector<const char*>& lines) {
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(ex().load(0, lines[i], static_cast<int32_t>(i), name, b.handle), 1);
}

double value_after(const std::vector<std::string>& lines, const std::string& prefix) {
    for (const auto& l : lines)
        if (l.rfind(prefix, 0) == 0) return std::stod(l.substr(prefix.size()));
    ADD_FAILURE() << "no line " << prefix;
    return NAN;
}

} // namespace

TEST(ExtAnalysisTable, FiveOfferedAndSmoothingAnsweredToo) {
    char key[PLOXEX_KEY_SIZE], text[PLOXEX_MENU_TEXT_SIZE];
    EXPECT_EQ(ex().register_analysis(-1, key, text), 5);
    const char* keys[] = {"GAUSSF2", "LORENF2", "GetMax", "GetMin", "PeakDct", "SMOOTH"};
    for (int i = 0; i < 6; ++i) {
        std::memset(key, 0, sizeof key);
        EXPECT_EQ(ex().register_analysis(i, key, text), 5);
        EXPECT_STREQ(key, keys[i]);
    }
    ex().register_analysis(2, key, text);
    EXPECT_STREQ(text, "最大値サーチ");
    EXPECT_EQ(ex().register_analysis(3, nullptr, nullptr), 5);
}

TEST(ExtAnalysisSetUp, EachAnalysisAnswersItsKind) {
    int32_t curve, show;
    Block gauss, max, detect, smooth, unknown;
    EXPECT_EQ(init("GAUSSF2", gauss, &curve, &show), 0);
    EXPECT_EQ(curve, 1);
    EXPECT_EQ(show, 1);
    EXPECT_NE(gauss.handle, nullptr);
    EXPECT_EQ(init("GetMax", max, &curve, &show), -2);
    EXPECT_EQ(curve, 0);
    EXPECT_EQ(show, 1);
    EXPECT_EQ(init("PeakDct", detect, &curve, &show), 0);
    EXPECT_EQ(init("SMOOTH", smooth, &curve, &show), -3);
    EXPECT_EQ(curve, 1);
    EXPECT_EQ(init("gaussf2", unknown), -1);
    EXPECT_EQ(init(nullptr, unknown), -1);
    EXPECT_EQ(ex().init(nullptr, "GAUSSF2", nullptr, 1, nullptr, nullptr), -1);
}

TEST(ExtAnalysisSetUp, PeakDialogIsNotShownWithoutAnApplication) {
    // No QApplication here: the dialog cannot be created and the set-up counts as cancelled.
    Block b;
    int32_t curve, show;
    EXPECT_EQ(ex().init(nullptr, "GAUSSF2", &b.handle, 0, &curve, &show), -1);
}

TEST(ExtPeakFit, SingleGaussianGivesItsFullWidthInTheResultLines) {
    Block b;
    char name[PLOXEX_KEY_SIZE] = "GAUSSF2";
    ASSERT_EQ(init(name, b), 0);
    load(name, b, {"0.1", "0 0", "1 4 1 1.5 1 2"});
    const Points p =
        sample(-4, 8, 121, [](double x) { return 5 * std::exp(-std::pow((x - 2) / 1.5, 2)); });
    const int32_t highest = ex().first(name, b.handle, p.n(), p.x.data(), p.y.data());
    EXPECT_EQ(highest, 2); // one peak + 1; the offset stayed 0
    const auto lines = results(name, b);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0].rfind("offset= ", 0), 0u);
    EXPECT_NEAR(value_after(lines, "1:Int.= "), 5, 1e-4);
    EXPECT_NEAR(value_after(lines, "1:Pos = "), 2, 1e-4);
    EXPECT_NEAR(value_after(lines, "1:Width="), 2 * std::sqrt(std::log(2.0)) * 1.5, 1e-3);
    EXPECT_EQ(lines[3].substr(0, 13), "1:Width=2.497");
}

TEST(ExtPeakFit, TwoLorentzianPeaksOnAnOffsetAreRecovered) {
    Block b;
    char name[PLOXEX_KEY_SIZE] = "LORENF2";
    ASSERT_EQ(init(name, b), 0);
    load(name, b, {"0.01", "1 0.2", "1 3 1 -1.5 1 1.5", "1 2 1 2.5 1 2"});
    auto f = [](double x) {
        return 0.5 + 4 / (1 + std::pow((x + 2) / 0.6, 2)) + 2.5 / (1 + std::pow((x - 3) / 1.2, 2));
    };
    const Points p = sample(-8, 9, 171, f);
    const int32_t highest = ex().first(name, b.handle, p.n(), p.x.data(), p.y.data());
    EXPECT_EQ(highest, 4); // two peaks + 1, + 1 for the offset
    const auto lines = results(name, b);
    EXPECT_NEAR(value_after(lines, "offset= "), 0.5, 1e-4);
    EXPECT_NEAR(value_after(lines, "1:Int.= "), 4, 1e-4);
    EXPECT_NEAR(value_after(lines, "1:Pos = "), -2, 1e-4);
    EXPECT_NEAR(value_after(lines, "1:Width="), 1.2, 1e-4); // FWHM = 2·W
    EXPECT_NEAR(value_after(lines, "2:Int.= "), 2.5, 1e-4);
    EXPECT_NEAR(value_after(lines, "2:Pos = "), 3, 1e-4);
    EXPECT_NEAR(value_after(lines, "2:Width="), 2.4, 1e-4);

    // Components: 3 = total (two peaks + offset flag), 2 = the offset alone, 0 and 1 single
    // peaks on the offset, 4 nothing.
    std::vector<double> cx = {-2, 3, 50}, cy(3);
    ASSERT_EQ(
        ex().second(name, b.handle, 3, 3, cx.data(), cy.data(), p.n(), p.x.data(), p.y.data()), 1);
    for (int i = 0; i < 3; ++i)
        EXPECT_NEAR(cy[i], f(cx[i]), 1e-4);
    ASSERT_EQ(
        ex().second(name, b.handle, 2, 3, cx.data(), cy.data(), p.n(), p.x.data(), p.y.data()), 1);
    EXPECT_NEAR(cy[0], 0.5, 1e-4);
    ASSERT_EQ(
        ex().second(name, b.handle, 0, 3, cx.data(), cy.data(), p.n(), p.x.data(), p.y.data()), 1);
    EXPECT_NEAR(cy[0], 4.5, 1e-4);
    EXPECT_NEAR(cy[1], 0.5 + 4 / (1 + std::pow(5 / 0.6, 2)), 1e-4);
    EXPECT_EQ(
        ex().second(name, b.handle, 4, 3, cx.data(), cy.data(), p.n(), p.x.data(), p.y.data()), 0);
}

TEST(ExtPeakFit, OldKeysAreRewrittenByTheFirstComputation) {
    Block b;
    char name[PLOXEX_KEY_SIZE] = "GAUSS_F";
    ASSERT_EQ(init(name, b), 0);
    load(name, b, {"0.1", "1 3 1 0.5 1 1"}); // no offset line in the old layout
    const Points p =
        sample(-3, 3, 61, [](double x) { return 3 * std::exp(-std::pow((x - 0.4) / 0.8, 2)); });
    EXPECT_GE(ex().first(name, b.handle, p.n(), p.x.data(), p.y.data()), 0);
    EXPECT_STREQ(name, "GAUSSF2");
}

TEST(ExtPeakFit, FailsCleanlyWithoutUsablePoints) {
    Block b;
    char name[PLOXEX_KEY_SIZE] = "GAUSSF2";
    ASSERT_EQ(init(name, b), 0);
    const double x[] = {ERROR_VALUE, 1, MASKED_VALUE}, y[] = {1, ERROR_VALUE, 2};
    EXPECT_EQ(ex().first(name, b.handle, 3, x, y), -1);
    EXPECT_EQ(ex().first(name, b.handle, 0, nullptr, nullptr), -1);
    // A zero width cannot be evaluated: the fit fails instead of producing NaN.
    load(name, b, {"0.1", "0 0", "1 1 1 0 1 0"});
    const Points p = sample(-3, 3, 31, [](double x) { return std::exp(-x * x); });
    EXPECT_EQ(ex().first(name, b.handle, p.n(), p.x.data(), p.y.data()), -1);
}

TEST(ExtExtremes, FirstWinsTiesAndMarkersNeverWin) {
    Block b;
    char min_name[] = "GetMin", max_name[] = "GetMax";
    ASSERT_EQ(init(min_name, b), -2);
    const double x[] = {0, 1, 2, 3, 4, 5};
    const double y[] = {3, MASKED_VALUE, -1, ERROR_VALUE, -1, 7};
    EXPECT_EQ(ex().first(min_name, b.handle, 6, x, y), 0);
    EXPECT_EQ(results(min_name, b), std::vector<std::string>{"MIN(X,Y)= 2, -1"});
    ASSERT_EQ(init(max_name, b), -2);
    EXPECT_EQ(ex().first(max_name, b.handle, 6, x, y), 0);
    EXPECT_EQ(results(max_name, b), std::vector<std::string>{"MAX(X,Y)= 5, 7"});

    double cx[4] = {1, 2, 3, 4}, cy[4];
    EXPECT_EQ(ex().second(max_name, b.handle, 0, 4, cx, cy, 6, x, y), 1);
    for (double v : cy)
        EXPECT_EQ(v, ERROR_VALUE);

    // Without a valid point the search still succeeds and reports the zeroed block.
    const double none[] = {ERROR_VALUE, MASKED_VALUE};
    ASSERT_EQ(init(max_name, b), -2);
    EXPECT_EQ(ex().first(max_name, b.handle, 2, x, none), 0);
    EXPECT_EQ(results(max_name, b), std::vector<std::string>{"MAX(X,Y)= 0, 0"});
}

TEST(ExtPeakDetect, SteepestTurnsFirstWithTickMarks) {
    Block b;
    char name[] = "PeakDct";
    ASSERT_EQ(init(name, b), 0);
    //              0  1  2  3  4  5  6  7
    const double x[] = {0, 1, 2, 3, 4, 5, 6, 7};
    const double y[] = {0, 1, 0, 5, 4, 4, 6, 0};
    ASSERT_EQ(ex().first(name, b.handle, 8, x, y), 1);
    // Turns: at 1 e = -1, at 2 e = 5, at 3 e = 5 (the steeper side), at 6 e = -6; the flat
    // step from 4 to 5 is no strict turn.
    double cx[12], cy[12];
    ASSERT_EQ(ex().second(name, b.handle, 1, 12, cx, cy, 8, x, y), 1);
    EXPECT_EQ(cx[0], 6);
    EXPECT_EQ(cy[0], 6);
    EXPECT_EQ(cy[1], 12); // Y - e
    EXPECT_EQ(cx[2], ERROR_VALUE);
    EXPECT_EQ(cx[3], 2); // e = 5 found before the other 5 at x = 3
    EXPECT_EQ(cy[4], -5);
    EXPECT_EQ(cx[6], 3);
    EXPECT_EQ(cx[9], 1);
    const auto lines = results(name, b);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "(x,y)=(6, 6)");

    // Only whole ticks fit: with 7 curve points two entries are drawn and listed.
    ASSERT_EQ(ex().second(name, b.handle, 0, 7, cx, cy, 8, x, y), 1);
    EXPECT_EQ(cx[6], ERROR_VALUE);
    EXPECT_EQ(results(name, b).size(), 2u);
}

TEST(ExtSmoothing, AStraightLineComesBackUnchanged) {
    char name[] = "SMOOTH";
    const Points p = sample(0, 10, 100, [](double x) { return 3 * x - 7; });
    std::vector<double> cx(100), cy(100);
    EXPECT_EQ(ex().first(name, nullptr, p.n(), p.x.data(), p.y.data()), 1);
    ASSERT_EQ(
        ex().second(name, nullptr, 1, 100, cx.data(), cy.data(), p.n(), p.x.data(), p.y.data()), 1);
    for (int i = 0; i < 64; ++i) { // the largest power of two not above 100
        EXPECT_EQ(cx[i], p.x[i]);
        EXPECT_NEAR(cy[i], p.y[i], 1e-9);
    }
    // Curve points past the smoothed part are 0.
    for (int i = 64; i < 100; ++i) {
        EXPECT_EQ(cx[i], 0);
        EXPECT_EQ(cy[i], 0);
    }
}

TEST(ExtSmoothing, RemovesHighFrequencies) {
    char name[] = "SMOOTH";
    const Points p = sample(0, 127, 128, [](double x) {
        return std::sin(x * 0.05) + 0.3 * (static_cast<int>(x) % 2 ? 1 : -1);
    });
    std::vector<double> cx(128), cy(128);
    ASSERT_EQ(
        ex().second(name, nullptr, 0, 128, cx.data(), cy.data(), p.n(), p.x.data(), p.y.data()), 1);
    double worst = 0;
    for (int i = 10; i < 118; ++i)
        worst = std::max(worst, std::fabs(cy[i] - std::sin(i * 0.05)));
    EXPECT_LT(worst, 0.1);
}

TEST(ExtPeakState, SaveAndLoadRoundTrip) {
    Block b;
    const char* name = "GAUSSF2";
    ASSERT_EQ(init(name, b), 0);
    load(name, b, {"0.5", "1 2.5", "1 10 0 20 1 3.5", "0 7 1 30 1 2", "1 1e-05 1 -4 0 0.25"});
    const std::string text = saved(name, b);
    EXPECT_EQ(text, "5\r\n0.500000\r\n1 2.500000\r\n1 10 0 20 1 3.5\r\n0 7 1 30 1 2\r\n1 1e-05 1 "
                    "-4 0 0.25\r\n");

    Block copy;
    ASSERT_EQ(init(name, copy), 0);
    std::vector<std::string> lines;
    for (size_t start = 0, end; (end = text.find("\r\n", start)) != std::string::npos;
         start = end + 2)
        lines.push_back(text.substr(start, end - start));
    for (size_t i = 1; i < lines.size(); ++i)
        ex().load(0, lines[i].c_str(), static_cast<int32_t>(i - 1), name, copy.handle);
    EXPECT_EQ(saved(name, copy), text);

    // The old layout has no offset line and one line fewer in its count.
    EXPECT_EQ(saved("LOREN_F", copy),
              "4\r\n0.500000\r\n1 10 0 20 1 3.5\r\n0 7 1 30 1 2\r\n1 1e-05 1 -4 0 0.25\r\n");
    Block other;
    ASSERT_EQ(init("PeakDct", other), 0);
    EXPECT_EQ(saved("PeakDct", other), "0\r\n");
}

TEST(ExtPeakState, HostileLinesChangeNothingOrOnlyWhatParses) {
    Block b;
    const char* name = "GAUSSF2";
    ASSERT_EQ(init(name, b), 0);
    const std::string before = saved(name, b);
    load(name, b, {"tolerance", "x y", "", "nan nan nan"});
    EXPECT_EQ(ex().load(0, "1 1 1 1 1 1", 1000000, name, b.handle), 1);
    EXPECT_EQ(ex().load(0, "1 1 1 1 1 1", -1, name, b.handle), 1);
    EXPECT_EQ(ex().load(0, nullptr, 0, name, b.handle), 1);
    EXPECT_EQ(ex().load(0, "0.3", 0, name, nullptr), 1);
    EXPECT_EQ(ex().load(0, "inf", 0, name, b.handle), 1);
    EXPECT_EQ(saved(name, b), before);

    // An absurd number of peak lines keeps six peaks; a short line takes what it has.
    for (int32_t i = 2; i < 200; ++i)
        ex().load(0, "1 9 1 8 1 7", i, name, b.handle);
    ex().load(0, "0 2", 7, name, b.handle);
    const std::string many = saved(name, b);
    EXPECT_EQ(many.substr(0, 3), "8\r\n");
    EXPECT_NE(many.find("\r\n0 2 1 8 1 7\r\n"), std::string::npos);

    // A block of another analysis is not touched by peak lines.
    Block detect;
    ASSERT_EQ(init("PeakDct", detect), 0);
    EXPECT_EQ(ex().load(0, "0.3", 0, name, detect.handle), 1);
    char get_max[] = "GetMax";
    EXPECT_EQ(ex().first(get_max, detect.handle, 0, nullptr, nullptr), -1);
}
