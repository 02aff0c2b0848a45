// The module's linear solver and the extra expression functions, called through the bound exports.
#include "fixture.h"

#include "analysis/linear_solver.h"
#include "document/model.h"
#include "extension/bindings.h"

#include <cmath>
#include <vector>

using namespace plox;
using namespace plox::test;

namespace {

std::vector<double> apply(const char* name, std::vector<double> v) {
    const int32_t index = ex().function_number(name);
    EXPECT_GE(index, 0) << name;
    std::vector<double> out(v.size(), 12345.0);
    EXPECT_EQ(ex().function_set(index, v.data(), nullptr, nullptr, out.data(),
                                static_cast<int32_t>(v.size())),
              0);
    return out;
}

} // namespace

TEST(ExtGaussJordan, PivotsOnTheLargestUnusedRow) {
    const double a[] = {0, 1, 1, 0};
    const double b[] = {3, 7};
    double x[2] = {};
    ASSERT_NE(ex().gauss_jordan(2, a, b, x), 0);
    EXPECT_EQ(x[0], 7);
    EXPECT_EQ(x[1], 3);
    EXPECT_EQ(a[0], 0) << "inputs stay unchanged";
    EXPECT_EQ(b[0], 3);
}

TEST(ExtGaussJordan, SolvesAGeneralSystem) {
    // 3x3 with a known solution (1, -2, 3); rows need swapping part way.
    const double a[] = {2, 1, -1, -3, -1, 2, -2, 1, 2};
    const double b[] = {2 * 1 + 1 * -2 - 3, -3 * 1 + -1 * -2 + 2 * 3, -2 * 1 + 1 * -2 + 2 * 3};
    double x[3];
    ASSERT_NE(ex().gauss_jordan(3, a, b, x), 0);
    EXPECT_NEAR(x[0], 1, 1e-12);
    EXPECT_NEAR(x[1], -2, 1e-12);
    EXPECT_NEAR(x[2], 3, 1e-12);
}

TEST(ExtGaussJordan, RefusesSingularAndOversizedSystems) {
    const double singular[] = {1, 2, 2, 4};
    const double b[] = {1, 2};
    double x[2];
    EXPECT_EQ(ex().gauss_jordan(2, singular, b, x), 0);
    const double tiny[] = {1e-101, 0, 0, 1};
    EXPECT_EQ(ex().gauss_jordan(2, tiny, b, x), 0);
    const double nan_matrix[] = {NAN, 0, 0, 1};
    EXPECT_EQ(ex().gauss_jordan(2, nan_matrix, b, x), 0);

    std::vector<double> identity(20 * 20, 0.0), rhs(20, 1.0), out(20);
    for (int i = 0; i < 20; ++i)
        identity[i * 21] = 1;
    EXPECT_EQ(ex().gauss_jordan(20, identity.data(), rhs.data(), out.data()), 0);
    EXPECT_EQ(ex().gauss_jordan(0, identity.data(), rhs.data(), out.data()), 0);
    EXPECT_EQ(ex().gauss_jordan(-3, identity.data(), rhs.data(), out.data()), 0);
}

TEST(ExtGaussJordan, ServesTheFitsThroughTheLinearSolver) {
    ModuleLinearSolver solver(real_module());
    const std::vector<double> a = {4, 1, 1, 3};
    const std::vector<double> b = {1, 2};
    std::vector<double> x(2);
    ASSERT_TRUE(solver.solve(a, b, x));
    EXPECT_NEAR(4 * x[0] + x[1], 1, 1e-12);
    EXPECT_NEAR(x[0] + 3 * x[1], 2, 1e-12);
    std::vector<double> short_matrix(3);
    EXPECT_FALSE(solver.solve(short_matrix, b, x));
    std::vector<double> big(19 * 19, 0.0), big_b(19, 2.0), big_x(19);
    for (int i = 0; i < 19; ++i)
        big[i * 20] = 2;
    ASSERT_TRUE(solver.solve(big, big_b, big_x));
    EXPECT_EQ(big_x[18], 1);
}

TEST(ExtExtraFunctions, NamesAreFoundWithoutRegardToCase) {
    EXPECT_EQ(ex().function_number("dif"), 0);
    EXPECT_EQ(ex().function_number("INTEG"), 1);
    EXPECT_EQ(ex().function_number("Gamma"), 5);
    EXPECT_EQ(ex().function_number("min"), 7);
    EXPECT_EQ(ex().function_number("sin"), -1);
    EXPECT_EQ(ex().function_number("di"), -1);
    EXPECT_EQ(ex().function_number(nullptr), -1);
    ModuleFunctions functions(real_module());
    EXPECT_EQ(functions.function_number("Theta"), 2);
}

TEST(ExtExtraFunctions, DifferencesAndRunningSums) {
    const auto dif = apply("dif", {1, 4, 9});
    EXPECT_EQ(dif[0], ERROR_VALUE);
    EXPECT_EQ(dif[1], 3);
    EXPECT_EQ(dif[2], 5);
    const auto dif_gap = apply("dif", {1, ERROR_VALUE, 9, 10});
    EXPECT_EQ(dif_gap[1], ERROR_VALUE);
    EXPECT_EQ(dif_gap[2], ERROR_VALUE);
    EXPECT_EQ(dif_gap[3], 1);

    const auto integ = apply("integ", {1, ERROR_VALUE, 2});
    EXPECT_EQ(integ, (std::vector<double>{1, 1, 3}));
    const auto integ_masked_first = apply("integ", {MASKED_VALUE, 5});
    EXPECT_EQ(integ_masked_first, (std::vector<double>{0, 5}));
}

TEST(ExtExtraFunctions, StepsAndDelta) {
    EXPECT_EQ(apply("theta", {0, -1e-300, 3, ERROR_VALUE}),
              (std::vector<double>{1, 0, 1, ERROR_VALUE}));
    EXPECT_EQ(apply("delta", {0, -7, 1e300, 5e300, MASKED_VALUE}),
              (std::vector<double>{1, 1, 1, 0, ERROR_VALUE}));
}

TEST(ExtExtraFunctions, GammaAndErfcFollowTheirApproximations) {
    const auto g = apply("gamma", {5, 0.5, 1, 56.5, 57, 0, -1, ERROR_VALUE});
    EXPECT_NEAR(g[0], 24, 24 * 3e-7);
    EXPECT_NEAR(g[1], std::sqrt(M_PI), 1e-6);
    EXPECT_NEAR(g[2], 1, 1e-7);
    EXPECT_NEAR(g[3] / std::tgamma(56.5), 1, 1e-6);
    EXPECT_EQ(g[4], ERROR_VALUE);
    EXPECT_EQ(g[5], ERROR_VALUE);
    EXPECT_EQ(g[6], ERROR_VALUE);
    EXPECT_EQ(g[7], ERROR_VALUE);

    const auto e = apply("erfc", {0.5, 1, 2, 0, 11, -0.1, ERROR_VALUE});
    EXPECT_NEAR(e[0], std::erfc(0.5), 3e-7);
    EXPECT_NEAR(e[1], std::erfc(1.0), 3e-7);
    EXPECT_NEAR(e[2], std::erfc(2.0), 3e-7);
    EXPECT_EQ(e[3], 1);
    EXPECT_EQ(e[4], 0);
    EXPECT_EQ(e[5], ERROR_VALUE);
    EXPECT_EQ(e[6], ERROR_VALUE);
}

TEST(ExtExtraFunctions, ExtremesFillEveryElement) {
    EXPECT_EQ(apply("max", {3, ERROR_VALUE, 8, -2}), (std::vector<double>(4, 8)));
    EXPECT_EQ(apply("min", {3, MASKED_VALUE, 8, -2}), (std::vector<double>(4, -2)));
    EXPECT_EQ(apply("max", {ERROR_VALUE, MASKED_VALUE}), (std::vector<double>(2, ERROR_VALUE)));
}

TEST(ExtExtraFunctions, EmptyInvalidAndOutOfRangeCallsAreHarmless) {
    double out[3] = {7, 7, 7};
    for (int32_t index = 0; index < 8; ++index) {
        EXPECT_EQ(ex().function_set(index, nullptr, nullptr, nullptr, out, 0), 0);
        EXPECT_EQ(ex().function_set(index, nullptr, nullptr, nullptr, out, -5), 0);
        const double invalid[3] = {ERROR_VALUE, MASKED_VALUE, NAN};
        EXPECT_EQ(ex().function_set(index, invalid, nullptr, nullptr, out, 3), 0);
        // Only the running sum has a value without valid input: it stays 0.
        const double expected = index == 1 ? 0 : ERROR_VALUE;
        for (double v : out)
            EXPECT_EQ(v, expected) << "function " << index;
    }
    const double one[1] = {1};
    EXPECT_EQ(ex().function_set(8, one, nullptr, nullptr, out, 1), -1);
    EXPECT_EQ(ex().function_set(-1, one, nullptr, nullptr, out, 1), -1);
}
