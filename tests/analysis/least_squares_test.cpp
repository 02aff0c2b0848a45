// Linear least squares: the normal equations per kind, the pass-through system, statistics,
// curves and values, and a degree-9 fit checked against an independent QR solution.
#include "analysis/least_squares.h"
#include "document/model.h"
#include "test_solver.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace plox {
namespace {

using test::TestSolver;

struct Fit {
    FitStatus status;
    LeastSquaresResult result;
};

Fit fit(int kind, int degree, const std::vector<double>& X, const std::vector<double>& Y,
        std::optional<std::array<double, 2>> through = std::nullopt) {
    TestSolver solver;
    LeastSquaresWorkspace ws;
    Fit f{};
    f.status = fit_least_squares(kind, degree, through, X, Y, solver, ws, f.result);
    return f;
}

TEST(LeastSquares, DegreeZeroIsTheMeanWithZeroCorrelation) {
    const auto f = fit(kind::Polynomial, 0, {1, 2, 3, 4}, {0.1, 0.7, 0.2, 0.4});
    ASSERT_EQ(f.status, FitStatus::Ok);
    EXPECT_DOUBLE_EQ(f.result.coefficients[0], 0.35);
    EXPECT_EQ(f.result.correlation, 0.0);
    EXPECT_NEAR(f.result.sigma, std::sqrt((0.0625 + 0.1225 + 0.0225 + 0.0025) / 4), 1e-15);

    const auto constant = fit(kind::Polynomial, 0, {1, 2, 3}, {0.1, 0.1, 0.1});
    ASSERT_EQ(constant.status, FitStatus::Ok);
    EXPECT_EQ(constant.result.correlation, 0.0);
    EXPECT_NEAR(constant.result.sigma, 0.0, 1e-15);
}

TEST(LeastSquares, ExactLineHasZeroSigmaAndUnitCorrelation) {
    const auto f = fit(kind::Polynomial, 1, {0, 1, 2, 3, 4}, {3, 5, 7, 9, 11});
    ASSERT_EQ(f.status, FitStatus::Ok);
    EXPECT_NEAR(f.result.coefficients[0], 3, 1e-12);
    EXPECT_NEAR(f.result.coefficients[1], 2, 1e-12);
    EXPECT_NEAR(f.result.sigma, 0, 1e-12);
    EXPECT_NEAR(f.result.correlation, 1, 1e-12);
    EXPECT_EQ(f.result.points, 5);
}

TEST(LeastSquares, ModelsSkipPointsOutsideTheirLogarithms) {
    // Exact model data plus points each model must ignore; a used bad point would spoil the fit.
    const std::vector<double> x{1, 2, 3, 4, 5};
    std::vector<double> exp_y, log_y, pow_y;
    for (double v : x) {
        exp_y.push_back(std::exp(0.5 + 0.3 * v));
        log_y.push_back(0.5 + 0.3 * std::log(v));
        pow_y.push_back(std::exp(0.5 + 0.3 * std::log(v)));
    }
    auto with = [](std::vector<double> v, std::initializer_list<double> extra) {
        v.insert(v.end(), extra);
        return v;
    };

    const auto e = fit(kind::Exponential, 1, with(x, {6, 7, ERROR_VALUE}), with(exp_y, {0, -3, 4}));
    ASSERT_EQ(e.status, FitStatus::Ok);
    EXPECT_EQ(e.result.points, 5);
    EXPECT_NEAR(e.result.coefficients[0], 0.5, 1e-12);
    EXPECT_NEAR(e.result.coefficients[1], 0.3, 1e-12);

    const auto l = fit(kind::Logarithmic, 1, with(x, {0, -2, 1e-301}), with(log_y, {9, 9, 9}));
    ASSERT_EQ(l.status, FitStatus::Ok);
    EXPECT_EQ(l.result.points, 5);
    EXPECT_NEAR(l.result.coefficients[0], 0.5, 1e-12);
    EXPECT_NEAR(l.result.coefficients[1], 0.3, 1e-12);

    const auto p = fit(kind::Power, 1, with(x, {0, 6, -1}), with(pow_y, {2, 0, 5}));
    ASSERT_EQ(p.status, FitStatus::Ok);
    EXPECT_EQ(p.result.points, 5);
    EXPECT_NEAR(p.result.coefficients[0], 0.5, 1e-12);
    EXPECT_NEAR(p.result.coefficients[1], 0.3, 1e-12);

    EXPECT_EQ(fit(kind::Power, 1, {-1, 0, 2}, {1, 1, -1}).status, FitStatus::NoPoints);
}

TEST(LeastSquares, SingularSystemsFail) {
    EXPECT_EQ(fit(kind::Polynomial, 3, {0, 1, 2}, {1, 2, 0}).status, FitStatus::Singular);
    EXPECT_EQ(fit(kind::Polynomial, 3, {0.1, 0.7, 1.3, 0.7, 0.1}, {1, 2, 0, 3, 4}).status,
              FitStatus::Singular);
    EXPECT_EQ(fit(kind::Polynomial, 3, {0.1, 0.7, 1.3, 2.9}, {1, 2, 0, 3}).status, FitStatus::Ok);
    // Through a point, the point's own abscissa does not count.
    EXPECT_EQ(
        fit(kind::Polynomial, 2, {0.5, 1.5, 1.5}, {1, 2, 3}, std::array<double, 2>{0.5, 1}).status,
        FitStatus::Singular);
    EXPECT_EQ(
        fit(kind::Polynomial, 2, {0.5, 1.5, 2.5}, {1, 2, 3}, std::array<double, 2>{0.5, 1}).status,
        FitStatus::Ok);
    EXPECT_EQ(fit(kind::Polynomial, 1, {2, 2, 2}, {1, 2, 3}).status, FitStatus::Singular);
    EXPECT_EQ(fit(kind::Polynomial, 1, {}, {}).status, FitStatus::NoPoints);
    EXPECT_EQ(fit(kind::Polynomial, 1, {ERROR_VALUE, MASKED_VALUE}, {1, 2}).status,
              FitStatus::NoPoints);
}

TEST(LeastSquares, PassThroughPoint) {
    const std::vector<double> x{0, 1, 2, 3, 4, 5}, exact{1, 3, 5, 7, 9, 11};
    // On the data's exact line: the same as the free fit.
    const auto free_fit = fit(kind::Polynomial, 2, x, exact);
    const auto through = fit(kind::Polynomial, 2, x, exact, std::array<double, 2>{2.5, 6});
    ASSERT_EQ(through.status, FitStatus::Ok);
    for (int n = 0; n <= 2; ++n)
        EXPECT_NEAR(through.result.coefficients[n], free_fit.result.coefficients[n], 1e-10);

    // Off the data: the curve passes the point and is the constrained least-squares line.
    const std::vector<double> noisy{1.2, 2.7, 5.3, 6.8, 9.4, 10.9};
    const auto c = fit(kind::Polynomial, 1, x, noisy, std::array<double, 2>{0, 0});
    ASSERT_EQ(c.status, FitStatus::Ok);
    EXPECT_NEAR(c.result.coefficients[0], 0, 1e-12);
    double sxy = 0, sxx = 0;
    for (size_t i = 0; i < x.size(); ++i) {
        sxy += x[i] * noisy[i];
        sxx += x[i] * x[i];
    }
    EXPECT_NEAR(c.result.coefficients[1], sxy / sxx, 1e-12);

    // Cubic through an interior point: the fitted polynomial goes through it exactly.
    const auto cubic = fit(kind::Polynomial, 3, x, noisy, std::array<double, 2>{2.5, 4});
    ASSERT_EQ(cubic.status, FitStatus::Ok);
    EXPECT_NEAR(least_squares_value(kind::Polynomial, 3, cubic.result.coefficients, 2.5), 4, 1e-10);
}

TEST(LeastSquares, CurvesAndValuesPerKind) {
    const std::array<double, 10> a{0.5, 2, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<double> x{-1, 0, 1e-301, 2};
    std::vector<double> y(x.size());

    least_squares_curve(kind::Logarithmic, 1, a, x, y);
    EXPECT_EQ(y[0], -1e300);
    EXPECT_EQ(y[1], -1e300);
    EXPECT_EQ(y[2], -1e300);
    EXPECT_DOUBLE_EQ(y[3], 0.5 + 2 * std::log(2.0));

    least_squares_curve(kind::Power, 1, a, x, y);
    EXPECT_EQ(y[0], 0);
    EXPECT_EQ(y[1], 0);
    EXPECT_DOUBLE_EQ(y[3], std::exp(0.5 + 2 * std::log(2.0)));
    EXPECT_EQ(least_squares_value(kind::Power, 1, a, 0), -1e300);

    least_squares_curve(kind::Exponential, 1, a, x, y);
    EXPECT_DOUBLE_EQ(y[3], std::exp(4.5));
    EXPECT_DOUBLE_EQ(least_squares_value(kind::Exponential, 1, a, 2), std::exp(4.5));

    const std::array<double, 10> cubic{1, -1, 0.5, 2, 9, 9, 9, 9, 9, 9};
    EXPECT_DOUBLE_EQ(least_squares_value(kind::Polynomial, 3, cubic, 2), 1 - 2 + 2 + 16);

    // Overflow is a gap in the curve, not an infinity.
    const std::array<double, 10> steep{0, 1000, 0, 0, 0, 0, 0, 0, 0, 0};
    const std::vector<double> far{1};
    std::vector<double> out(1);
    least_squares_curve(kind::Exponential, 1, steep, far, out);
    EXPECT_EQ(out[0], ERROR_VALUE);
}

// Householder QR least squares on the Vandermonde matrix in the scaled variable u = x / 10;
// the solution is then converted back to powers of x.
std::vector<double> qr_polynomial(const std::vector<double>& x, const std::vector<double>& y,
                                  int degree) {
    const size_t m = x.size(), n = static_cast<size_t>(degree) + 1;
    std::vector<std::vector<double>> A(n, std::vector<double>(m)); // column-major
    for (size_t i = 0; i < m; ++i) {
        double p = 1;
        for (size_t j = 0; j < n; ++j, p *= x[i] / 10)
            A[j][i] = p;
    }
    std::vector<double> b = y;
    for (size_t k = 0; k < n; ++k) {
        double norm = 0;
        for (size_t i = k; i < m; ++i)
            norm += A[k][i] * A[k][i];
        norm = std::sqrt(norm);
        const double alpha = A[k][k] > 0 ? -norm : norm;
        std::vector<double> v(m, 0.0);
        for (size_t i = k; i < m; ++i)
            v[i] = A[k][i];
        v[k] -= alpha;
        double vv = 0;
        for (size_t i = k; i < m; ++i)
            vv += v[i] * v[i];
        for (size_t j = k; j < n; ++j) {
            double s = 0;
            for (size_t i = k; i < m; ++i)
                s += v[i] * A[j][i];
            for (size_t i = k; i < m; ++i)
                A[j][i] -= 2 * s / vv * v[i];
        }
        double s = 0;
        for (size_t i = k; i < m; ++i)
            s += v[i] * b[i];
        for (size_t i = k; i < m; ++i)
            b[i] -= 2 * s / vv * v[i];
    }
    std::vector<double> c(n);
    for (size_t k = n; k-- > 0;) {
        double s = b[k];
        for (size_t j = k + 1; j < n; ++j)
            s -= A[j][k] * c[j];
        c[k] = s / A[k][k];
    }
    for (size_t j = 0; j < n; ++j)
        c[j] /= std::pow(10.0, static_cast<double>(j));
    return c;
}

TEST(LeastSquares, DegreeNineOnNoisyPointsMatchesAnIndependentQrSolve) {
    std::mt19937_64 random(12345);
    std::normal_distribution<double> noise(0, 0.05);
    std::vector<double> x(10000), y(10000);
    for (size_t i = 0; i < x.size(); ++i) {
        x[i] = -1 + 2.0 * static_cast<double>(i) / static_cast<double>(x.size() - 1);
        y[i] = std::sin(3 * x[i]) + 0.5 * x[i] * x[i] + noise(random);
    }
    const auto f = fit(kind::Polynomial, 9, x, y);
    ASSERT_EQ(f.status, FitStatus::Ok);
    const auto reference = qr_polynomial(x, y, 9);
    // The normal equations lose digits on a degree-9 Vandermonde system; compare the fitted
    // curves (what the user sees) tightly and the coefficients loosely.
    for (double t = -1; t <= 1; t += 0.125) {
        double r = 0;
        for (size_t j = reference.size(); j-- > 0;)
            r = r * t + reference[j];
        EXPECT_NEAR(least_squares_value(kind::Polynomial, 9, f.result.coefficients, t), r, 1e-6)
            << t;
    }
    for (size_t j = 0; j < reference.size(); ++j)
        EXPECT_NEAR(f.result.coefficients[j], reference[j], 1e-3 * (1 + std::fabs(reference[j])))
            << j;
    EXPECT_NEAR(f.result.sigma, 0.05, 0.002);
    EXPECT_GT(f.result.correlation, 0.99);
}

} // namespace
} // namespace plox
