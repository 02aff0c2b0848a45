// The vectorised expression evaluator: one parse per expression, then whole arrays per
// operation. Missing values (anything not > -1e300) travel through every operation as
// ERROR_VALUE; syntax errors stop an evaluation with one of the codes below.
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace plox {

class Prompter;
class ExtensionFunctions;
class ColumnSource;

// Error codes of an evaluation; error_text() gives the message shown to the user.
enum EvalError : int32_t {
    EVAL_OK = 0,
    EVAL_SYNTAX = 1,
    EVAL_UNBALANCED = 2,
    EVAL_NO_EXPRESSION = 3,
    EVAL_FUNCTION = 4,
    EVAL_SOFTWARE = 5,
    EVAL_EXP_OVERFLOW = 6,
    EVAL_TOO_MANY_VARIABLES = 7,
    EVAL_NO_MEMORY = 8,
    EVAL_UNDEFINED_VARIABLE = 9,
    EVAL_FILENAME = 10,
    EVAL_FILE_NOT_FOUND = 11,
};
std::string_view error_text(int32_t code);

// Named constants: a to i (0-8), n1 to n5 (9-13), pi (14). Process-wide for the whole run.
inline constexpr int NAMED_CONSTANT_COUNT = 15;
inline constexpr std::array<std::string_view, NAMED_CONSTANT_COUNT> NAMED_CONSTANT_NAMES{
    "a", "b", "c", "d", "e", "f", "g", "h", "i", "n1", "n2", "n3", "n4", "n5", "pi"};
double named_constant(int index);
void set_named_constant(int index, double value);
bool named_constant_used(int index); // read by an expression since the last set_parameters
// Copies nine values into a to i and clears their used flags.
void set_parameters(const std::array<double, 9>& values);
// Back to the start-up values (0 and pi) with all flags clear; for tests and a fresh run.
void reset_named_constants();

// What the evaluator may call out to; every pointer may be null.
struct EvalEnvironment {
    Prompter* prompter = nullptr;            // message boxes when errors are shown
    ExtensionFunctions* functions = nullptr; // extra functions of the extension module
    ColumnSource* columns = nullptr;         // "#NNCC" column references
};

struct EvalStatus {
    int32_t error = EVAL_OK;
    bool constant_used = false; // the expression read or assigned a named constant
    bool ok() const { return error == EVAL_OK; }
};

// An expression parsed once, evaluated as often as needed (fitting evaluates one function
// many times). Names of extension functions are resolved when parsing.
class Expression {
public:
    Expression();
    ~Expression();
    Expression(Expression&&) noexcept;
    Expression& operator=(Expression&&) noexcept;

    static Expression parse(std::string_view text, ExtensionFunctions* functions = nullptr);

    // Evaluates for x.size() points (y and out as long). x and y may be assigned by the
    // expression; out may be the same array as x or y. `series` is the 1-based number of the
    // series the expression belongs to (for "#00CC"). On error out keeps what was written.
    EvalStatus evaluate(std::span<double> x, std::span<double> y, std::span<double> out,
                        int series = 0, ExtensionFunctions* functions = nullptr,
                        ColumnSource* columns = nullptr) const;

    // The parse error, or EVAL_OK when the text parsed completely (errors found while
    // parsing are raised at their place in the evaluation, after what came before them).
    int32_t parse_error() const;

    struct Program;

private:
    std::unique_ptr<Program> program_;
};

// The Part's entry point: parse and evaluate `text` for n points. With show_errors a failure
// is shown through env.prompter ("Math trans error"; "Syntax error" with the expression as
// text when constants are not allowed and the expression uses one).
bool evaluate(const EvalEnvironment& env, int32_t n, double* x, double* y, double* out,
              std::string_view text, bool allow_constants, bool show_errors, int32_t series,
              EvalStatus* status = nullptr);

} // namespace plox
