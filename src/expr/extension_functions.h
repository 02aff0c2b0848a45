// The extra expression functions of the extension module, as the evaluator sees them. The
// extension host binds this to the module's ExternalFunctionNumber / ExternalFunctionSet.
#pragma once

#include <cstdint>
#include <string>

namespace plox {

class ExtensionFunctions {
public:
    virtual ~ExtensionFunctions() = default;
    // ExternalFunctionNumber: the function's index for `name` (NUL-terminated, as written), or -1.
    virtual int32_t function_number(const std::string& name) = 0;
    // ExternalFunctionSet(index, argument, 0, 0, result, n): fills n results; 0, or -1 for an
    // index outside the module's table.
    virtual int32_t function_set(int32_t index, const double* argument, double* result,
                                 int32_t n) = 0;
};

} // namespace plox
