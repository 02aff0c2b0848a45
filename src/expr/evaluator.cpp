// Runs compiled expressions over whole arrays, the named constants, and the error texts.
#include "expr/evaluator.h"

#include <algorithm>
#include <cmath>
#include <new>
#include <vector>

#include "document/model.h"
#include "document/prompter.h"
#include "expr/column_source.h"
#include "expr/extension_functions.h"
#include "expr/program.h"

namespace plox {

namespace {

constexpr double PI = 3.141592653589793;
constexpr size_t CHUNK = 2048;

struct NamedConstants {
    std::array<double, NAMED_CONSTANT_COUNT> value{};
    std::array<bool, NAMED_CONSTANT_COUNT> used{};
    NamedConstants() { value[14] = PI; }
};
NamedConstants& constants() {
    static NamedConstants table;
    return table;
}

// A stack entry: a scalar, or n values at `data` (its own buffer, or a read-only view of x/y).
struct Slot {
    bool scalar = false;
    double value = 0;
    const double* data = nullptr;
};

inline bool finite(double v) {
    return v <= 1.7976931348623157e308 && v >= -1.7976931348623157e308;
}
inline double checked(double r) {
    return finite(r) ? r : ERROR_VALUE;
}

struct Scalar {
    double v;
    double operator[](size_t) const { return v; }
};
struct Array {
    const double* p;
    double operator[](size_t i) const { return p[i]; }
};

template <class A, class B, class F> void combine(A a, B b, double* out, size_t n, F f) {
    for (size_t i = 0; i < n; ++i)
        out[i] = f(a[i], b[i]);
}

template <class F> void binary(Slot& a, const Slot& b, double* buffer, size_t n, F f) {
    if (a.scalar && b.scalar) {
        a.value = f(a.value, b.value);
        return;
    }
    if (a.scalar)
        combine(Scalar{a.value}, Array{b.data}, buffer, n, f);
    else if (b.scalar)
        combine(Array{a.data}, Scalar{b.value}, buffer, n, f);
    else
        combine(Array{a.data}, Array{b.data}, buffer, n, f);
    a.scalar = false;
    a.data = buffer;
}

template <class F> void unary(Slot& a, double* buffer, size_t n, F f) {
    if (a.scalar) {
        a.value = f(a.value);
        return;
    }
    const double* in = a.data;
    for (size_t i = 0; i < n; ++i)
        buffer[i] = f(in[i]);
    a.data = buffer;
}

inline double add(double a, double b) {
    return is_valid(a) && is_valid(b) ? checked(a + b) : ERROR_VALUE;
}
inline double subtract(double a, double b) {
    return is_valid(a) && is_valid(b) ? checked(a - b) : ERROR_VALUE;
}
inline double multiply(double a, double b) {
    return is_valid(a) && is_valid(b) ? checked(a * b) : ERROR_VALUE;
}
inline double divide(double a, double b) {
    return is_valid(a) && is_valid(b) && b != 0 ? checked(a / b) : ERROR_VALUE;
}
inline double power(double a, double b) {
    if (!is_valid(a) || !is_valid(b)) return ERROR_VALUE;
    if (b == 0) return 1;
    if (a == 0) return 0;
    return checked(std::pow(a, b));
}
inline double square(double a) {
    return is_valid(a) ? checked(a * a) : ERROR_VALUE;
}

template <double (*F)(double)> inline double guarded(double a) {
    return is_valid(a) ? checked(F(a)) : ERROR_VALUE;
}
double exp_of(double a) {
    return is_valid(a) && a < 700 ? std::exp(a) : ERROR_VALUE;
}
double ln_of(double a) {
    return a > 1e-300 ? std::log(a) : ERROR_VALUE;
}
double log_of(double a) {
    return a > 1e-300 ? std::log10(a) : ERROR_VALUE;
}
double sqrt_of(double a) {
    return a >= 0 ? std::sqrt(a) : ERROR_VALUE;
}
double sin_(double a) {
    return std::sin(a);
}
double cos_(double a) {
    return std::cos(a);
}
double tan_(double a) {
    return std::tan(a);
}
double asin_(double a) {
    return std::asin(a);
}
double acos_(double a) {
    return std::acos(a);
}
double atan_(double a) {
    return std::atan(a);
}
double sinh_(double a) {
    return std::sinh(a);
}
double cosh_(double a) {
    return std::cosh(a);
}
double tanh_(double a) {
    return std::tanh(a);
}
double abs_(double a) {
    return std::fabs(a);
}

bool apply_function(int32_t code, Slot& a, double* buffer, size_t n) {
    switch (code) {
    case 1:
        unary(a, buffer, n, exp_of);
        return true;
    case 2:
        unary(a, buffer, n, ln_of);
        return true;
    case 3:
        unary(a, buffer, n, log_of);
        return true;
    case 4:
        unary(a, buffer, n, sqrt_of);
        return true;
    case 5:
        unary(a, buffer, n, guarded<sin_>);
        return true;
    case 6:
        unary(a, buffer, n, guarded<cos_>);
        return true;
    case 7:
        unary(a, buffer, n, guarded<tan_>);
        return true;
    case 8:
        unary(a, buffer, n, guarded<asin_>);
        return true;
    case 9:
        unary(a, buffer, n, guarded<acos_>);
        return true;
    case 10:
        unary(a, buffer, n, guarded<atan_>);
        return true;
    case 11:
        unary(a, buffer, n, guarded<sinh_>);
        return true;
    case 12:
        unary(a, buffer, n, guarded<cosh_>);
        return true;
    case 13:
        unary(a, buffer, n, guarded<tanh_>);
        return true;
    case 14:
        unary(a, buffer, n, guarded<abs_>);
        return true;
    default:
        return false;
    }
}

class Machine {
public:
    Machine(const Expression::Program& program, std::span<double> x, std::span<double> y,
            int series, ExtensionFunctions* functions, ColumnSource* columns, size_t width)
        : program_(program), x_(x), y_(y), series_(series), functions_(functions),
          columns_(columns) {
        buffers_.resize(static_cast<size_t>(std::max(program.max_stack, 1)));
        for (auto& b : buffers_)
            b.resize(width);
        stack_.resize(buffers_.size());
    }

    // Runs the program over points [offset, offset + n) and leaves the result in out.
    int32_t run(size_t offset, size_t n, std::span<double> out, EvalStatus& status) {
        size_t top = 0; // number of entries
        for (const Instruction& in : program_.code) {
            int32_t error = EVAL_OK;
            switch (in.op) {
            case Op::PushX:
            case Op::PushY:
            case Op::PushNumber:
            case Op::PushConstant:
            case Op::PushColumn:
                error = push(in, top, offset, n, status);
                break;
            case Op::AssignX:
            case Op::AssignY:
            case Op::AssignConstant:
                assign(in, top, offset, n, status);
                break;
            case Op::Fail:
                return in.index;
            default:
                error = operate(in, top, n);
                break;
            }
            if (error != EVAL_OK) return error;
        }
        if (top == 0) return EVAL_SOFTWARE;
        const Slot& result = stack_[top - 1];
        double* dst = out.data() + offset;
        if (result.scalar)
            std::fill(dst, dst + n, result.value);
        else
            std::copy(result.data, result.data + n, dst);
        return EVAL_OK;
    }

private:
    // The instructions that push one entry.
    int32_t push(const Instruction& in, size_t& top, size_t offset, size_t n, EvalStatus& status) {
        switch (in.op) {
        case Op::PushX:
        case Op::PushY: {
            const double* src = (in.op == Op::PushX ? x_.data() : y_.data()) + offset;
            Slot& s = stack_[top];
            s.scalar = false;
            if (program_.assigns_variables) {
                std::copy(src, src + n, buffers_[top].data());
                s.data = buffers_[top].data();
            } else {
                s.data = src;
            }
            ++top;
            break;
        }
        case Op::PushNumber:
            stack_[top++] = Slot{true, in.value, nullptr};
            break;
        case Op::PushConstant: {
            auto& table = constants();
            table.used[in.index] = true;
            status.constant_used = true;
            stack_[top++] = Slot{true, table.value[in.index], nullptr};
            break;
        }
        case Op::PushColumn: {
            const int number = in.index == 0 ? series_ : in.index;
            if (!columns_ || number < 1) return EVAL_FILE_NOT_FOUND;
            auto column = columns_->load_column(number, in.field);
            if (!column) return EVAL_FILE_NOT_FOUND;
            double* b = buffers_[top].data();
            const size_t copied = std::min(n, column->size());
            std::copy(column->begin(), column->begin() + static_cast<std::ptrdiff_t>(copied), b);
            std::fill(b + copied, b + n, ERROR_VALUE);
            stack_[top++] = Slot{false, 0, b};
            break;
        }
        default:
            break;
        }
        return EVAL_OK;
    }

    // Operators and functions: they replace the topmost entries by their result.
    int32_t operate(const Instruction& in, size_t& top, size_t n) {
        switch (in.op) {
        case Op::Negate:
            unary(stack_[top - 1], buffers_[top - 1].data(), n,
                  [](double a) { return is_valid(a) ? -a : ERROR_VALUE; });
            break;
        case Op::Add:
            binary_op(top, n, add);
            break;
        case Op::Subtract:
            binary_op(top, n, subtract);
            break;
        case Op::Multiply:
            binary_op(top, n, multiply);
            break;
        case Op::Divide:
            binary_op(top, n, divide);
            break;
        case Op::Power:
            // y^2 is the common case; a*a is what pow returns for it, far faster.
            if (stack_[top - 1].scalar && stack_[top - 1].value == 2) {
                --top;
                unary(stack_[top - 1], buffers_[top - 1].data(), n, square);
            } else {
                binary_op(top, n, power);
            }
            break;
        case Op::Function:
            if (!apply_function(in.index, stack_[top - 1], buffers_[top - 1].data(), n))
                return EVAL_SOFTWARE;
            break;
        case Op::ExtensionFunction: {
            if (!functions_) return EVAL_SOFTWARE;
            Slot& s = stack_[top - 1];
            double* b = buffers_[top - 1].data();
            if (s.scalar)
                std::fill(b, b + n, s.value);
            else if (s.data != b)
                std::copy(s.data, s.data + n, b);
            std::vector<double> result(n, ERROR_VALUE);
            functions_->function_set(in.index, b, result.data(), static_cast<int32_t>(n));
            std::copy(result.begin(), result.end(), b);
            s = Slot{false, 0, b};
            break;
        }
        default:
            break;
        }
        return EVAL_OK;
    }

    // Assignments store the topmost entry and leave it in place.
    void assign(const Instruction& in, size_t top, size_t offset, size_t n, EvalStatus& status) {
        switch (in.op) {
        case Op::AssignX:
        case Op::AssignY: {
            double* dst = (in.op == Op::AssignX ? x_.data() : y_.data()) + offset;
            const Slot& s = stack_[top - 1];
            if (s.scalar)
                std::fill(dst, dst + n, s.value);
            else if (s.data != dst)
                std::copy(s.data, s.data + n, dst);
            break;
        }
        case Op::AssignConstant: {
            const Slot& s = stack_[top - 1];
            if (s.scalar || n > 0) {
                constants().value[in.index] = s.scalar ? s.value : s.data[0];
                status.constant_used = true;
            }
            break;
        }
        default:
            break;
        }
    }

    template <class F> void binary_op(size_t& top, size_t n, F f) {
        --top;
        binary(stack_[top - 1], stack_[top], buffers_[top - 1].data(), n, f);
    }

    const Expression::Program& program_;
    std::span<double> x_, y_;
    int series_;
    ExtensionFunctions* functions_;
    ColumnSource* columns_;
    std::vector<std::vector<double>> buffers_;
    std::vector<Slot> stack_;
};

} // namespace

std::string_view error_text(int32_t code) {
    static constexpr std::string_view texts[] = {
        "No error detected", "Syntax error",       "Unbalanced parentheses", "No expression",
        "Function error",    "Software error",     "Overflow in exp",        "Too many Variables",
        "Not enough memory", "Undefined Variable", "filename error",         "file not found"};
    return code >= 0 && code < static_cast<int32_t>(std::size(texts)) ? texts[code]
                                                                      : "Software error";
}

double named_constant(int index) {
    return index >= 0 && index < NAMED_CONSTANT_COUNT ? constants().value[index] : 0;
}
void set_named_constant(int index, double value) {
    if (index >= 0 && index < NAMED_CONSTANT_COUNT) constants().value[index] = value;
}
bool named_constant_used(int index) {
    return index >= 0 && index < NAMED_CONSTANT_COUNT && constants().used[index];
}
void set_parameters(const std::array<double, 9>& values) {
    auto& table = constants();
    for (int i = 0; i < 9; ++i) {
        table.value[i] = values[i];
        table.used[i] = false;
    }
}
void reset_named_constants() {
    constants() = NamedConstants{};
}

Expression::Expression() : program_(std::make_unique<Program>()) {}
Expression::~Expression() = default;
Expression::Expression(Expression&&) noexcept = default;
Expression& Expression::operator=(Expression&&) noexcept = default;

Expression Expression::parse(std::string_view text, ExtensionFunctions* functions) {
    Expression e;
    compile_expression(text, functions, *e.program_);
    return e;
}

int32_t Expression::parse_error() const {
    return program_ ? program_->parse_error : EVAL_SOFTWARE;
}

EvalStatus Expression::evaluate(std::span<double> x, std::span<double> y, std::span<double> out,
                                int series, ExtensionFunctions* functions,
                                ColumnSource* columns) const {
    EvalStatus status;
    if (!program_) {
        status.error = EVAL_SOFTWARE;
        return status;
    }
    const size_t n = x.size();
    if (y.size() < n || out.size() < n) {
        status.error = EVAL_SOFTWARE;
        return status;
    }
    const Program& program = *program_;
    const size_t width = program.chunkable ? std::min(n, CHUNK) : n;
    try {
        Machine machine(program, x.first(n), y.first(n), series,
                        functions ? functions : program.functions, columns, width);
        size_t offset = 0;
        do {
            const size_t count = std::min(width, n - offset);
            status.error = machine.run(offset, count, out, status);
            offset += count;
        } while (status.error == EVAL_OK && offset < n && width > 0);
    } catch (const std::bad_alloc&) {
        status.error = EVAL_NO_MEMORY;
    }
    return status;
}

bool evaluate(const EvalEnvironment& env, int32_t n, double* x, double* y, double* out,
              std::string_view text, bool allow_constants, bool show_errors, int32_t series,
              EvalStatus* status_out) {
    const size_t count = n > 0 ? static_cast<size_t>(n) : 0;
    std::vector<double> zeros;
    if ((!x || !y || !out) && count > 0) zeros.assign(count * 3, 0.0);
    std::span<double> xs(x ? x : zeros.data(), count);
    std::span<double> ys(y ? y : zeros.data() + count, count);
    std::span<double> os(out ? out : zeros.data() + 2 * count, count);

    const Expression expression = Expression::parse(text, env.functions);
    EvalStatus status = expression.evaluate(xs, ys, os, series, env.functions, env.columns);
    if (!status.ok()) {
        if (show_errors && env.prompter)
            env.prompter->message("Math trans error", error_text(status.error), Buttons::Ok,
                                  Icon::Error);
    } else if (!allow_constants && status.constant_used) {
        status.error = EVAL_SYNTAX;
        if (show_errors && env.prompter)
            env.prompter->message("Syntax error", text, Buttons::Ok, Icon::Error);
    }
    if (status_out) *status_out = status;
    return status.ok();
}

} // namespace plox
