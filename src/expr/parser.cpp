// Tokenizer and recursive-descent grammar of the evaluator, emitting a postfix program.
#include <fast_float/fast_float.h>

#include <cmath>
#include <string>

#include "document/model.h"
#include "expr/extension_functions.h"
#include "expr/program.h"

namespace plox {

namespace {

// Deeper nesting than any hand-written formula is refused before it can exhaust the stack.
constexpr int MAX_NESTING = 400;

enum class TokenKind { Delimiter, Variable, Function, ExtensionFunction, Number, End };

struct Token {
    TokenKind kind = TokenKind::End;
    char delimiter = 0;
    std::string_view text;
    int32_t code = 0;
    double number = 0;
};

inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
inline bool is_letter(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}
inline char lower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
inline bool is_delimiter(char c) {
    switch (c) {
    case '=':
    case '+':
    case '-':
    case '*':
    case '/':
    case '^':
    case '(':
    case ')':
    case ',':
        return true;
    default:
        return false;
    }
}
// A comma does not end a name or a number.
inline bool is_terminator(char c) {
    switch (c) {
    case ' ':
    case '+':
    case '-':
    case '/':
    case '*':
    case '^':
    case '(':
    case ')':
    case '=':
    case '\0':
    case '\t':
    case '\r':
        return true;
    default:
        return false;
    }
}

std::string lowered(std::string_view s) {
    std::string out(s);
    for (char& c : out)
        c = lower(c);
    return out;
}

// Decimal value of the longest numeric prefix (2x reads as 2, 1.2.3 as 1.2).
double number_value(std::string_view text) {
    const char* p = text.data();
    const char* e = p + text.size();
    const char* begin = p;
    bool digits = false;
    while (p < e && is_digit(*p))
        ++p, digits = true;
    if (p < e && *p == '.') {
        ++p;
        while (p < e && is_digit(*p))
            ++p, digits = true;
    }
    if (!digits) return 0;
    if (p < e && (*p == 'e' || *p == 'E')) {
        const char* t = p + 1;
        if (t < e && (*t == '+' || *t == '-')) ++t;
        if (t < e && is_digit(*t)) {
            while (t < e && is_digit(*t))
                ++t;
            p = t;
        }
    }
    double value = 0;
    fast_float::from_chars(begin, p, value);
    return std::isfinite(value) ? value : ERROR_VALUE;
}

int constant_index(std::string_view lower_name) {
    for (int i = 0; i < NAMED_CONSTANT_COUNT; ++i)
        if (NAMED_CONSTANT_NAMES[i] == lower_name) return i;
    return -1;
}

class Parser {
public:
    Parser(std::string_view text, ExtensionFunctions* functions, Expression::Program& program)
        : text_(text), functions_(functions), program_(program) {}

    void run() {
        next();
        // Text that is not blank but starts with no token ("@x") is a syntax error.
        if (token_.kind == TokenKind::End)
            return fail(pos_ >= text_.size() || text_[pos_] == '\0' ? EVAL_NO_EXPRESSION
                                                                    : EVAL_SYNTAX);
        statement();
    }

private:
    void next() {
        while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t'))
            ++pos_;
        token_ = Token{};
        if (pos_ >= text_.size() || text_[pos_] == '\0') return;
        const char c = text_[pos_];
        const size_t start = pos_;
        if (is_delimiter(c)) {
            token_.kind = TokenKind::Delimiter;
            token_.delimiter = c;
            token_.text = text_.substr(pos_++, 1);
        } else if (is_letter(c) || c == '#') {
            while (pos_ < text_.size() && !is_terminator(text_[pos_]))
                ++pos_;
            token_.text = text_.substr(start, pos_ - start);
            classify_name();
        } else if (is_digit(c) || c == '.') {
            while (pos_ < text_.size()) {
                const char d = text_[pos_];
                if ((d == '+' || d == '-') && (text_[pos_ - 1] == 'e' || text_[pos_ - 1] == 'E')) {
                    ++pos_;
                    continue;
                }
                if (is_terminator(d)) break;
                ++pos_;
            }
            token_.kind = TokenKind::Number;
            token_.text = text_.substr(start, pos_ - start);
            token_.number = number_value(token_.text);
        }
    }

    void classify_name() {
        const std::string name = lowered(token_.text);
        if (const int32_t code = builtin_function_code(name)) {
            token_.kind = TokenKind::Function;
            token_.code = code;
            return;
        }
        if (functions_) {
            const int32_t index = functions_->function_number(std::string(token_.text));
            if (index != -1) {
                token_.kind = TokenKind::ExtensionFunction;
                token_.code = index;
                return;
            }
        }
        token_.kind = TokenKind::Variable;
    }

    bool at(char delimiter) const {
        return token_.kind == TokenKind::Delimiter && token_.delimiter == delimiter;
    }

    void emit(Op op, int32_t index = 0, int32_t field = 0, double value = 0) {
        program_.code.push_back({op, index, field, value});
        switch (op) {
        case Op::PushX:
        case Op::PushY:
        case Op::PushNumber:
        case Op::PushConstant:
        case Op::PushColumn:
            if (++stack_ > program_.max_stack) program_.max_stack = stack_;
            break;
        case Op::Add:
        case Op::Subtract:
        case Op::Multiply:
        case Op::Divide:
        case Op::Power:
            --stack_;
            break;
        default:
            break;
        }
    }

    void fail(int32_t code) {
        if (failed_) return;
        failed_ = true;
        program_.parse_error = code;
        emit(Op::Fail, code);
    }

    bool enter() {
        if (++depth_ > MAX_NESTING) {
            fail(EVAL_NO_MEMORY);
            return false;
        }
        return true;
    }

    void statement() {
        if (token_.kind == TokenKind::Variable) {
            const size_t saved_pos = pos_;
            const Token saved = token_;
            next();
            if (at('=')) {
                next();
                const std::string target = lowered(saved.text);
                const int constant = constant_index(target);
                if (token_.kind != TokenKind::End &&
                    (target == "x" || target == "y" || constant >= 0)) {
                    expression();
                    if (failed_) return;
                    if (target == "x") {
                        emit(Op::AssignX);
                        program_.assigns_variables = true;
                    } else if (target == "y") {
                        emit(Op::AssignY);
                        program_.assigns_variables = true;
                    } else {
                        emit(Op::AssignConstant, constant);
                        program_.chunkable = false;
                    }
                    return;
                }
                // Not assignable (or nothing after "="): the text after "=" is the expression.
                expression();
                return;
            }
            pos_ = saved_pos;
            token_ = saved;
        }
        expression();
    }

    void expression() {
        if (!enter()) return;
        term();
        while (!failed_ && (at('+') || at('-'))) {
            const Op op = at('+') ? Op::Add : Op::Subtract;
            next();
            term();
            if (!failed_) emit(op);
        }
        --depth_;
    }

    void term() {
        power();
        while (!failed_ && (at('*') || at('/'))) {
            const Op op = at('*') ? Op::Multiply : Op::Divide;
            next();
            power();
            if (!failed_) emit(op);
        }
    }

    void power() {
        if (!enter()) return;
        signed_factor();
        if (!failed_ && at('^')) {
            next();
            power();
            if (!failed_) emit(Op::Power);
        }
        --depth_;
    }

    void signed_factor() {
        bool negate = false;
        if (at('+') || at('-')) {
            negate = at('-');
            next();
        }
        factor();
        if (!failed_ && negate) emit(Op::Negate);
    }

    void factor() {
        if (at('(')) {
            next();
            if (!enter()) return;
            statement();
            --depth_;
            if (failed_) return;
            if (at(')') || at(',')) {
                next();
            } else {
                fail(EVAL_UNBALANCED);
            }
            return;
        }
        primary();
    }

    void primary() {
        switch (token_.kind) {
        case TokenKind::Variable:
            variable();
            if (!failed_) next();
            return;
        case TokenKind::Number:
            emit(Op::PushNumber, 0, 0, token_.number);
            next();
            return;
        case TokenKind::Function:
        case TokenKind::ExtensionFunction: {
            const Token function = token_;
            next();
            if (!at('(')) return fail(EVAL_FUNCTION);
            next();
            expression();
            if (failed_) return;
            if (!at(')')) return fail(EVAL_FUNCTION);
            next();
            if (function.kind == TokenKind::Function) {
                emit(Op::Function, function.code);
            } else {
                emit(Op::ExtensionFunction, function.code);
                program_.chunkable = false;
            }
            return;
        }
        default:
            return fail(EVAL_SYNTAX);
        }
    }

    void variable() {
        const std::string name = lowered(token_.text);
        if (name[0] == '#') {
            // "#NNCC": series NN (00: the current one), field CC from 01 to 41.
            bool digits = name.size() >= 5;
            for (size_t i = 1; digits && i < 5; ++i)
                digits = is_digit(name[i]);
            if (!digits) return fail(EVAL_FILE_NOT_FOUND);
            const int series = (name[1] - '0') * 10 + (name[2] - '0');
            const int column = (name[3] - '0') * 10 + (name[4] - '0');
            if (column < 1 || column > 41) return fail(EVAL_FILE_NOT_FOUND);
            emit(Op::PushColumn, series, column - 1);
            program_.chunkable = false;
            return;
        }
        if (name == "x") return emit(Op::PushX);
        if (name == "y") return emit(Op::PushY);
        const int constant = constant_index(name);
        if (constant >= 0) return emit(Op::PushConstant, constant);
        fail(EVAL_UNDEFINED_VARIABLE);
    }

    std::string_view text_;
    size_t pos_ = 0;
    Token token_;
    ExtensionFunctions* functions_;
    Expression::Program& program_;
    int stack_ = 0;
    int depth_ = 0;
    bool failed_ = false;
};

} // namespace

int32_t builtin_function_code(std::string_view name) {
    static constexpr std::string_view names[] = {"exp",  "ln",   "log",  "sqrt", "sin",
                                                 "cos",  "tan",  "asin", "acos", "atan",
                                                 "sinh", "cosh", "tanh", "abs"};
    for (size_t i = 0; i < std::size(names); ++i)
        if (names[i] == name) return static_cast<int32_t>(i + 1);
    return 0;
}

void compile_expression(std::string_view text, ExtensionFunctions* functions,
                        Expression::Program& program) {
    program = Expression::Program{};
    program.functions = functions;
    Parser(text, functions, program).run();
    if (program.parse_error != EVAL_OK) program.chunkable = false;
}

} // namespace plox
