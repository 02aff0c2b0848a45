// The evaluator against its grammar, element rules, error table and named constants.
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "document/model.h"
#include "document/prompter.h"
#include "expr/column_source.h"
#include "expr/evaluator.h"
#include "expr/extension_functions.h"

namespace plox {
namespace {

class EvaluatorTest : public ::testing::Test {
protected:
    void SetUp() override { reset_named_constants(); }
    void TearDown() override { reset_named_constants(); }

    // Evaluates over the given x (and y, zeros by default); the status lands in last_.
    std::vector<double> eval(const std::string& text, std::vector<double> x = {0},
                             std::vector<double> y = {}) {
        if (y.empty()) y.assign(x.size(), 0.0);
        std::vector<double> out(x.size(), 12345.0);
        EvalEnvironment env{&prompter_, functions_, columns_};
        ok_ = evaluate(env, static_cast<int32_t>(x.size()), x.data(), y.data(), out.data(), text,
                       true, true, series_, &last_);
        return out;
    }
    double scalar(const std::string& text, double x = 0) { return eval(text, {x})[0]; }
    int32_t error_of(const std::string& text) {
        eval(text, {1, 2});
        return last_.error;
    }

    RecordingPrompter prompter_;
    ExtensionFunctions* functions_ = nullptr;
    ColumnSource* columns_ = nullptr;
    int series_ = 0;
    EvalStatus last_;
    bool ok_ = false;
};

TEST_F(EvaluatorTest, NumbersTakeTheirLongestPrefix) {
    EXPECT_DOUBLE_EQ(scalar("1e+5"), 1e5);
    EXPECT_DOUBLE_EQ(scalar("1e-5"), 1e-5);
    EXPECT_DOUBLE_EQ(scalar("2x"), 2);
    EXPECT_DOUBLE_EQ(scalar("1.2.3"), 1.2);
    EXPECT_DOUBLE_EQ(scalar(".5"), 0.5);
    EXPECT_DOUBLE_EQ(scalar("3E2"), 300);
    EXPECT_DOUBLE_EQ(scalar("1e-2-1"), 0.01 - 1);
    EXPECT_TRUE(ok_);
}

TEST_F(EvaluatorTest, PrecedenceAndAssociativity) {
    EXPECT_DOUBLE_EQ(scalar("-2^2"), 4);
    EXPECT_DOUBLE_EQ(scalar("2^3^2"), 512);
    EXPECT_DOUBLE_EQ(scalar("2^-2"), 0.25);
    EXPECT_DOUBLE_EQ(scalar("0^0"), 1);
    EXPECT_DOUBLE_EQ(scalar("0^-1"), 0);
    EXPECT_DOUBLE_EQ(scalar("1+2*3"), 7);
    EXPECT_DOUBLE_EQ(scalar("10-4-3"), 3);
    EXPECT_DOUBLE_EQ(scalar("24/4/2"), 3);
    EXPECT_DOUBLE_EQ(scalar("(1+2)*3"), 9);
    EXPECT_DOUBLE_EQ(scalar("2*-3"), -6);
    EXPECT_DOUBLE_EQ(scalar("+4"), 4);
    EXPECT_DOUBLE_EQ(scalar("(1+2 ,"), 3); // a comma closes a parenthesis too
    EXPECT_DOUBLE_EQ(scalar("(1+2,)"), 3); // but belongs to a number it follows
}

TEST_F(EvaluatorTest, EvaluatesWholeArraysWithBothVariables) {
    std::vector<double> x(5000), y(5000);
    for (size_t i = 0; i < x.size(); ++i)
        x[i] = 0.001 * i, y[i] = 2.0 - 0.0005 * i;
    const auto out = eval("sin(x)*exp(-x/10)+y^2", x, y);
    ASSERT_TRUE(ok_);
    for (size_t i = 0; i < x.size(); i += 499)
        EXPECT_NEAR(out[i], std::sin(x[i]) * std::exp(-x[i] / 10) + y[i] * y[i], 1e-12) << i;
    const auto out2 = eval("log(abs(x)+1)/sqrt(y*y+1)", x, y);
    for (size_t i = 0; i < x.size(); i += 499)
        EXPECT_NEAR(out2[i], std::log10(std::fabs(x[i]) + 1) / std::sqrt(y[i] * y[i] + 1), 1e-12);
}

TEST_F(EvaluatorTest, UndefinedElementsBecomeErrorValueOnly) {
    const auto ln = eval("ln(x)", {0, 1, -1, std::exp(2.0)});
    EXPECT_TRUE(ok_);
    EXPECT_EQ(ln[0], ERROR_VALUE);
    EXPECT_DOUBLE_EQ(ln[1], 0);
    EXPECT_EQ(ln[2], ERROR_VALUE);
    EXPECT_DOUBLE_EQ(ln[3], 2);

    const auto root = eval("sqrt(x)", {-1, 4});
    EXPECT_EQ(root[0], ERROR_VALUE);
    EXPECT_DOUBLE_EQ(root[1], 2);
    const auto div = eval("1/x", {0, 4});
    EXPECT_EQ(div[0], ERROR_VALUE);
    EXPECT_DOUBLE_EQ(div[1], 0.25);

    EXPECT_EQ(scalar("exp(700)"), ERROR_VALUE);
    EXPECT_NEAR(scalar("exp(699)") / 3.7311e303, 1, 1e-4);
    EXPECT_EQ(scalar("log(0)"), ERROR_VALUE);
    EXPECT_DOUBLE_EQ(scalar("log(1000)"), 3);
    // Results the library cannot represent become missing rather than NaN or infinity.
    EXPECT_EQ(scalar("asin(2)"), ERROR_VALUE);
    EXPECT_EQ(scalar("(-8)^0.5"), ERROR_VALUE);
    EXPECT_EQ(scalar("cosh(1000)"), ERROR_VALUE);
    EXPECT_EQ(scalar("1e200*1e200"), ERROR_VALUE);
    EXPECT_EQ(scalar("1e999"), ERROR_VALUE);
    EXPECT_TRUE(ok_);
}

TEST_F(EvaluatorTest, MissingInputsPropagate) {
    for (const char* text :
         {"x+1", "-x", "sin(x)", "sqrt(x)", "x*0", "x^0", "abs(x)", "exp(x)", "x/2"}) {
        const auto out = eval(text, {ERROR_VALUE, 4});
        EXPECT_TRUE(ok_) << text;
        EXPECT_EQ(out[0], ERROR_VALUE) << text;
        EXPECT_TRUE(is_valid(out[1])) << text;
    }
    EXPECT_EQ(eval("x+1", {MASKED_VALUE})[0], ERROR_VALUE);
}

TEST_F(EvaluatorTest, NamesIgnoreCase) {
    EXPECT_DOUBLE_EQ(scalar("SIN(X)", 0.5), std::sin(0.5));
    EXPECT_DOUBLE_EQ(scalar("PI"), 3.141592653589793);
    EXPECT_DOUBLE_EQ(scalar("Abs(-3)+N1"), 3);
}

TEST_F(EvaluatorTest, ErrorTableAndMessages) {
    EXPECT_EQ(error_of("sin x"), EVAL_FUNCTION);
    EXPECT_EQ(error_of("sin(x"), EVAL_FUNCTION);
    EXPECT_EQ(error_of("(x+1"), EVAL_UNBALANCED);
    EXPECT_EQ(error_of(""), EVAL_NO_EXPRESSION);
    EXPECT_EQ(error_of("   "), EVAL_NO_EXPRESSION);
    EXPECT_EQ(error_of("@x"), EVAL_SYNTAX); // not blank, but no token to start with
    EXPECT_EQ(error_of("  $"), EVAL_SYNTAX);
    EXPECT_EQ(error_of("q+1"), EVAL_UNDEFINED_VARIABLE);
    EXPECT_EQ(error_of("x+*2"), EVAL_SYNTAX);
    EXPECT_EQ(error_of("--2"), EVAL_SYNTAX);
    EXPECT_EQ(error_of("x="), EVAL_SYNTAX);
    EXPECT_EQ(error_of("(x,y)"), EVAL_UNDEFINED_VARIABLE); // a comma does not end a name

    prompter_.shown.clear();
    eval("(x+1");
    EXPECT_FALSE(ok_);
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].title, "Math trans error");
    EXPECT_EQ(prompter_.shown[0].text, "Unbalanced parentheses");
    EXPECT_EQ(error_text(EVAL_FILE_NOT_FOUND), "file not found");
    EXPECT_EQ(error_text(EVAL_OK), "No error detected");
}

TEST_F(EvaluatorTest, TextAfterACompleteExpressionIsIgnored) {
    EXPECT_DOUBLE_EQ(scalar("x y", 7), 7);
    EXPECT_TRUE(ok_);
    EXPECT_DOUBLE_EQ(scalar("x $ 3", 7), 7);
    EXPECT_DOUBLE_EQ(scalar("q=5"), 5);
    EXPECT_TRUE(ok_);
}

TEST_F(EvaluatorTest, AssignmentsPersistAcrossEvaluations) {
    EXPECT_DOUBLE_EQ(scalar("n1=3"), 3);
    EXPECT_TRUE(last_.constant_used);
    EXPECT_DOUBLE_EQ(scalar("n1*2"), 6);
    EXPECT_DOUBLE_EQ(named_constant(9), 3);
    scalar("pi=3");
    EXPECT_DOUBLE_EQ(scalar("pi"), 3);
    // Element 0 of the right-hand side becomes the constant.
    eval("a=x*2", {5, 6, 7});
    EXPECT_DOUBLE_EQ(named_constant(0), 10);
    // Inside parentheses, and assigning the variable array for what follows.
    std::vector<double> x{1, 2}, y{0, 0}, out(2);
    EvalEnvironment env;
    ASSERT_TRUE(evaluate(env, 2, x.data(), y.data(), out.data(), "(x=x*10)+x", true, false, 0));
    EXPECT_EQ(x, (std::vector<double>{10, 20}));
    EXPECT_EQ(out, (std::vector<double>{20, 40}));
}

TEST_F(EvaluatorTest, ParametersAndUsedFlags) {
    set_parameters({1, 2, 3, 4, 5, 6, 7, 8, 9});
    EXPECT_DOUBLE_EQ(scalar("a*x+c", 10), 13);
    EXPECT_TRUE(named_constant_used(0));
    EXPECT_FALSE(named_constant_used(1));
    EXPECT_TRUE(named_constant_used(2));
    set_parameters({});
    EXPECT_FALSE(named_constant_used(0));

    // Without constants allowed, a use is refused with the expression as message.
    std::vector<double> x{1}, y{0}, out{0};
    EvalEnvironment env{&prompter_};
    prompter_.shown.clear();
    EXPECT_FALSE(evaluate(env, 1, x.data(), y.data(), out.data(), "b+x", false, true, 0));
    ASSERT_EQ(prompter_.shown.size(), 1u);
    EXPECT_EQ(prompter_.shown[0].title, "Syntax error");
    EXPECT_EQ(prompter_.shown[0].text, "b+x");
}

TEST_F(EvaluatorTest, ParsedOnceEvaluatedManyTimes) {
    const Expression e = Expression::parse("a*x^2");
    ASSERT_EQ(e.parse_error(), EVAL_OK);
    std::vector<double> x{1, 2, 3}, y(3), out(3);
    for (double a : {1.0, 2.0}) {
        set_parameters({a});
        ASSERT_TRUE(e.evaluate(x, y, out).ok());
        EXPECT_EQ(out, (std::vector<double>{a, 4 * a, 9 * a}));
    }
    // out may be the input array itself.
    ASSERT_TRUE(e.evaluate(x, y, x).ok());
    EXPECT_EQ(x, (std::vector<double>{2, 8, 18}));
}

TEST_F(EvaluatorTest, ErrorsStopAfterTheWorkBeforeThem) {
    eval("(n2=4)+q");
    EXPECT_EQ(last_.error, EVAL_UNDEFINED_VARIABLE);
    EXPECT_DOUBLE_EQ(named_constant(10), 4);
}

class FakeColumns : public ColumnSource {
public:
    std::optional<std::vector<double>> load_column(int series, int field) override {
        requests.push_back({series, field});
        if (series > 2) return std::nullopt;
        return std::vector<double>{series * 100.0 + field, series * 100.0 + field + 0.5};
    }
    std::vector<std::pair<int, int>> requests;
};

TEST_F(EvaluatorTest, ColumnReferences) {
    FakeColumns columns;
    columns_ = &columns;
    series_ = 2;
    const auto out = eval("#0102", {0, 0, 0});
    ASSERT_TRUE(ok_);
    EXPECT_EQ(out, (std::vector<double>{101, 101.5, ERROR_VALUE})); // short column padded
    EXPECT_EQ(columns.requests.back(), std::make_pair(1, 1));
    EXPECT_DOUBLE_EQ(eval("#0001+x", {1})[0], 201); // 00 is the current series
    EXPECT_EQ(error_of("#0000"), EVAL_FILE_NOT_FOUND);
    EXPECT_EQ(error_of("#0142"), EVAL_FILE_NOT_FOUND);
    EXPECT_EQ(error_of("#0301"), EVAL_FILE_NOT_FOUND);
    EXPECT_EQ(error_of("#01x2"), EVAL_FILE_NOT_FOUND);
    EXPECT_EQ(error_of("#01"), EVAL_FILE_NOT_FOUND);
    columns_ = nullptr;
    EXPECT_EQ(error_of("#0101"), EVAL_FILE_NOT_FOUND);
}

class FakeFunctions : public ExtensionFunctions {
public:
    int32_t function_number(const std::string& name) override {
        std::string lower = name;
        for (char& c : lower)
            c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        return lower == "integ" ? 1 : lower == "max" ? 6 : -1;
    }
    int32_t function_set(int32_t index, const double* arg, double* result, int32_t n) override {
        double acc = 0;
        for (int32_t i = 0; i < n; ++i) {
            if (index == 1)
                result[i] = acc += arg[i];
            else
                acc = std::max(acc, arg[i]);
        }
        if (index == 6) std::fill(result, result + n, acc);
        return 0;
    }
};

TEST_F(EvaluatorTest, ExtensionFunctionsSeeTheWholeArray) {
    FakeFunctions functions;
    functions_ = &functions;
    std::vector<double> x(5000, 1.0);
    const auto out = eval("INTEG(x)*2", x);
    ASSERT_TRUE(ok_);
    EXPECT_DOUBLE_EQ(out[0], 2);
    EXPECT_DOUBLE_EQ(out[4999], 10000);
    EXPECT_DOUBLE_EQ(eval("max(x)", {1, 9, 3})[0], 9);
    functions_ = nullptr;
    EXPECT_EQ(error_of("max(x)"), EVAL_UNDEFINED_VARIABLE);
}

TEST_F(EvaluatorTest, HostileExpressionsAreRefusedOrEvaluatedSafely) {
    std::string deep(10000, '(');
    deep += "x";
    deep += std::string(10000, ')');
    EXPECT_EQ(error_of(deep), EVAL_NO_MEMORY);
    std::string powers = "2";
    for (int i = 0; i < 10000; ++i)
        powers += "^2";
    EXPECT_EQ(error_of(powers), EVAL_NO_MEMORY);
    std::string functions;
    for (int i = 0; i < 10000; ++i)
        functions += "abs(";
    EXPECT_EQ(error_of(functions + "x"), EVAL_NO_MEMORY);

    std::string sum = "x";
    for (int i = 1; i < 50000; ++i)
        sum += "+x";
    const auto out = eval(sum, {1, 2});
    ASSERT_TRUE(ok_);
    EXPECT_DOUBLE_EQ(out[0], 50000);
    std::string name(100000, 'q');
    EXPECT_EQ(error_of(name), EVAL_UNDEFINED_VARIABLE);
    std::string bytes;
    for (int i = 0; i < 4096; ++i)
        bytes += static_cast<char>((i * 131 + 7) % 256);
    error_of(bytes); // any status, no crash
    EXPECT_EQ(error_of(std::string("x\0+1", 4)), EVAL_OK);
}

TEST_F(EvaluatorTest, RandomTokenSoupNeverCrashes) {
    static const char* const pieces[] = {"x",  "y", "(",     ")",   ",",   "+",   "-",    "*",
                                         "/",  "^", "=",     "1e+", "2.5", "sin", "SQRT", "pi",
                                         "n1", "a", "#0101", "#",   " ",   "\t",  "q",    "."};
    FakeFunctions functions;
    functions_ = &functions;
    uint32_t seed = 12345;
    for (int round = 0; round < 3000; ++round) {
        std::string text;
        const int count = 1 + round % 40;
        for (int k = 0; k < count; ++k) {
            seed = seed * 1664525u + 1013904223u;
            text += pieces[(seed >> 16) % std::size(pieces)];
        }
        const auto out = eval(text, {1, -2, ERROR_VALUE});
        ASSERT_GE(last_.error, EVAL_OK) << text;
        ASSERT_LE(last_.error, EVAL_FILE_NOT_FOUND) << text;
        if (ok_) {
            for (double v : out)
                ASSERT_FALSE(std::isnan(v) || std::isinf(v)) << text;
        }
    }
    functions_ = nullptr;
}

} // namespace
} // namespace plox
