// The polynomial least-squares fit against the NIST Statistical Reference Datasets for linear
// regression (https://www.itl.nist.gov/div898/strd/lls/lls.shtml): Norris (lower difficulty,
// degree 1), Pontius (lower, degree 2), Wampler1-5 (higher, degree 5). Data and certified
// values are those of the datasets' pages. The fit solves the normal equations, so the agreement
// asked for is the number of significant digits that method keeps on each problem, not 15.
#include "analysis/least_squares.h"
#include "document/model.h"
#include "test_solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace plox {
namespace {

struct Certified {
    std::vector<double> coefficients; // B0, B1, …
    double residual_sd;               // sqrt(SSE / (n - p))
    double r_squared;
};

// Fits `degree` and compares with the certified values to `digits` significant digits
// (coefficients of certified value 0 are not used by these datasets).
void check(const std::vector<double>& x, const std::vector<double>& y, int degree,
           const Certified& c, double digits) {
    test::TestSolver solver;
    LeastSquaresWorkspace ws;
    LeastSquaresResult r;
    ASSERT_EQ(fit_least_squares(kind::Polynomial, degree, std::nullopt, x, y, solver, ws, r),
              FitStatus::Ok);
    ASSERT_EQ(r.points, static_cast<int>(x.size()));
    const double tolerance = std::pow(10.0, -digits);
    for (size_t k = 0; k < c.coefficients.size(); ++k)
        EXPECT_NEAR(r.coefficients[k], c.coefficients[k], std::fabs(c.coefficients[k]) * tolerance)
            << "B" << k;
    const double n = static_cast<double>(x.size()), p = degree + 1;
    // sigma is sqrt(SSE / n); the certified residual standard deviation divides by n - p.
    const double residual_sd = r.sigma * std::sqrt(n / (n - p));
    if (c.residual_sd == 0) {
        EXPECT_LT(residual_sd, 1e-6 * std::fabs(y.back()));
    } else {
        EXPECT_NEAR(residual_sd, c.residual_sd, c.residual_sd * tolerance);
    }
    // |r| is the square root of the coefficient of determination.
    EXPECT_NEAR(r.correlation * r.correlation, c.r_squared, tolerance);
}

std::vector<double> zero_to_twenty() {
    std::vector<double> x;
    for (int i = 0; i <= 20; ++i)
        x.push_back(i);
    return x;
}

TEST(NistLinear, Norris) {
    const std::vector<double> y{0.1,   338.8, 118.1, 888.0, 9.2,   228.1, 668.5, 998.5, 449.1,
                                778.9, 559.2, 0.3,   0.1,   778.1, 668.8, 339.3, 448.9, 10.8,
                                557.7, 228.3, 998.0, 888.8, 119.6, 0.3,   0.6,   557.6, 339.3,
                                888.0, 998.5, 778.9, 10.2,  117.6, 228.9, 668.4, 449.2, 0.2};
    const std::vector<double> x{0.2,   337.4, 118.2, 884.6, 10.1,  226.5, 666.3, 996.3, 448.6,
                                777.0, 558.2, 0.4,   0.6,   775.5, 666.9, 338.0, 447.5, 11.6,
                                556.0, 228.1, 995.8, 887.6, 120.2, 0.3,   0.3,   556.8, 339.1,
                                887.2, 999.0, 779.0, 11.1,  118.3, 229.2, 669.1, 448.9, 0.5};
    check(x, y, 1, {{-0.262323073774029, 1.00211681802045}, 0.884796396144373, 0.999993745883712},
          11);
}

TEST(NistLinear, Pontius) {
    const std::vector<double> y{
        .11019,  .21956,  .32949,  .43899,  .54803,  .65694,  .76562,  .87487,  .98292,  1.09146,
        1.20001, 1.30822, 1.41599, 1.52399, 1.63194, 1.73947, 1.84646, 1.95392, 2.06128, 2.16844,
        .11052,  .22018,  .32939,  .43886,  .54798,  .65739,  .76596,  .87474,  .98300,  1.09150,
        1.20004, 1.30818, 1.41613, 1.52408, 1.63159, 1.73965, 1.84696, 1.95445, 2.06177, 2.16829};
    std::vector<double> x;
    for (int run = 0; run < 2; ++run)
        for (int load = 1; load <= 20; ++load)
            x.push_back(150000.0 * load);
    check(x, y, 2,
          {{0.673565789473684E-03, 0.732059160401003E-06, -0.316081871345029E-14},
           0.205177424076185E-03,
           0.999999900178537},
          10);
}

// Wampler1 and 2 are exact quintics (residual 0); Wampler3-5 add ever larger errors to
// Wampler1 so that the certified coefficients stay 1 while the fit worsens. The normal
// equations of x = 0 … 20 at degree 5 are ill conditioned: six digits are what survive.
TEST(NistLinear, WamplerExactQuintics) {
    const std::vector<double> x = zero_to_twenty();
    std::vector<double> w1, w2;
    for (double v : x) {
        w1.push_back(1 + v + v * v + v * v * v + v * v * v * v + v * v * v * v * v);
        w2.push_back(1 + 0.1 * v + 0.01 * v * v + 0.001 * v * v * v + 0.0001 * v * v * v * v +
                     0.00001 * v * v * v * v * v);
    }
    check(x, w1, 5, {{1, 1, 1, 1, 1, 1}, 0, 1}, 6);
    check(x, w2, 5, {{1, 0.1, 0.01, 0.001, 0.0001, 0.00001}, 0, 1}, 9);
}

TEST(NistLinear, WamplerWithGrowingErrors) {
    const std::vector<double> x = zero_to_twenty();
    const std::vector<double> w3{760.,     -2042.,   2111.,   -1684.,  3888.,    1858.,
                                 11379.,   17560.,   39287.,  64382.,  113159.,  175108.,
                                 273291.,  400186.,  581243., 811568., 1121004., 1506550.,
                                 2002767., 2611612., 3369180.};
    const std::vector<double> w4{75901,   -204794, 204863,  -204436, 253665,  -200894, 214131,
                                 -185192, 221249,  -138370, 315911,  -27644,  455253,  197434,
                                 783995,  608816,  1370781, 1303798, 2205519, 2408860, 3444321};
    const std::vector<double> w5{7590001,  -20479994, 20480063, -20479636, 25231365, -20476094,
                                 20489331, -20460392, 18417449, -20413570, 20591111, -20302844,
                                 18651453, -20077766, 21059195, -19666384, 26348481, -18971402,
                                 22480719, -17866340, 10958421};
    const std::vector<double> ones{1, 1, 1, 1, 1, 1};
    {
        SCOPED_TRACE("Wampler3");
        check(x, w3, 5, {ones, 2360.14502379268, 0.999995559025820}, 6);
    }
    {
        SCOPED_TRACE("Wampler4");
        check(x, w4, 5, {ones, 236014.502379268, 0.957478440825662}, 6);
    }
    {
        SCOPED_TRACE("Wampler5");
        check(x, w5, 5, {ones, 23601450.2379268, 0.224668921574940E-02}, 6);
    }
}

} // namespace
} // namespace plox
