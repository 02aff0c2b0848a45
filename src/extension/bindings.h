// The module behind the interfaces other subsystems declare: the fits' linear solver, the
// evaluator's extra functions, the document lines of kinds 256/512 and the file converters,
// the data reader's converter, and the renderer's markers of plot types 38 and above.
#pragma once

#include "analysis/linear_solver.h"
#include "data/converter.h"
#include "document/extension_io.h"
#include "expr/extension_functions.h"
#include "extension/module.h"
#include "render/external_markers.h"

namespace plox {

class ModuleLinearSolver : public LinearSolver {
public:
    explicit ModuleLinearSolver(const ExtensionModule& module) : module_(module) {}
    bool solve(std::span<const double> matrix, std::span<const double> rhs,
               std::span<double> solution) override;

private:
    const ExtensionModule& module_;
};

class ModuleFunctions : public ExtensionFunctions {
public:
    explicit ModuleFunctions(const ExtensionModule& module) : module_(module) {}
    int32_t function_number(const std::string& name) override;
    int32_t function_set(int32_t index, const double* argument, double* result, int32_t n) override;

private:
    const ExtensionModule& module_;
};

// Documents: the analysis lines through the extension module, converter names through the
// converter module when there is one.
class ModuleDocumentLines : public ExtensionIo {
public:
    ModuleDocumentLines(const ExtensionModule& module, const ConverterModule* converter = nullptr)
        : module_(module), converter_(converter) {}
    bool init_analysis(Series& series) override;
    void load_line(Series& series, std::string_view line, int index) override;
    std::vector<std::string> save_lines(const Series& series) override;
    bool has_converter_module() const override { return converter_ != nullptr; }
    int check_qvp(std::string_view first_line) const override;
    int converter_number(std::string_view name) const override;
    std::string converter_name(int n) const override;

private:
    const ExtensionModule& module_;
    const ConverterModule* converter_;
};

class ModuleConverter : public Converter {
public:
    explicit ModuleConverter(const ConverterModule* converter) : converter_(converter) {}
    bool convert_file(const std::string& source, const std::string& destination,
                      int32_t converter) override;

private:
    const ConverterModule* converter_; // null: no module, nothing converts
};

class ModuleMarkers : public ExternalMarkers {
public:
    explicit ModuleMarkers(const ExtensionModule& module) : module_(module) {}
    bool draw_marker(Surface& surface, int32_t number, int32_t x, int32_t y, int32_t half_size,
                     Color fill_color) override;
    bool draw_marker(Surface& surface, int32_t number, int32_t x, int32_t y, int32_t half_size,
                     const Pen& pen, const Brush& brush) override;

private:
    const ExtensionModule& module_;
};

} // namespace plox
