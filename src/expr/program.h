// The compiled form of an expression: postfix instructions over whole arrays, in the order in
// which a recursive-descent evaluation would perform them (so an error found while parsing
// stops the run after exactly the work that preceded it).
#pragma once

#include <cstdint>
#include <vector>

#include "expr/evaluator.h"

namespace plox {

enum class Op : uint8_t {
    PushX,
    PushY,
    PushNumber,   // value
    PushConstant, // index
    PushColumn,   // index = series number (0: current), field = field from 0
    Negate,
    Add,
    Subtract,
    Multiply,
    Divide,
    Power,
    Function,          // index = function code 1..14
    ExtensionFunction, // index = the module's function index
    AssignX,
    AssignY,
    AssignConstant, // index
    Fail,           // index = error code
};

struct Instruction {
    Op op;
    int32_t index = 0;
    int32_t field = 0;
    double value = 0;
};

struct Expression::Program {
    std::vector<Instruction> code;
    int32_t parse_error = EVAL_OK;
    int max_stack = 0;
    bool assigns_variables = false; // x or y: the stack must hold copies, not views
    // Chunks of a few thousand points stay in cache; whole arrays are needed where an
    // instruction sees all points at once or an order across points matters.
    bool chunkable = true;
    ExtensionFunctions* functions = nullptr;
};

// Parses `text` into a program; never fails (errors become Fail instructions).
void compile_expression(std::string_view text, ExtensionFunctions* functions,
                        Expression::Program& program);

// Built-in function code for a lower-case name, 0 when it is none.
int32_t builtin_function_code(std::string_view lower_name);

} // namespace plox
