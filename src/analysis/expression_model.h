// The user function of a general fit as a FitModel: the function and its derivative texts
// parsed once and evaluated by the expression evaluator with the parameters in a … i.
#pragma once

#include "analysis/marquardt.h"
#include "document/model.h"
#include "expr/evaluator.h"

#include <array>
#include <vector>

namespace plox {

class ExpressionFitModel : public FitModel {
public:
    ExpressionFitModel(const FitFunction& block, ExtensionFunctions* functions,
                       ColumnSource* columns, int series_number);

    bool value(const FitParameters& p, std::span<const double> x, std::span<const double> y,
               std::span<double> out) override;
    bool has_derivative(int k) const override;
    bool derivative(int k, const FitParameters& p, std::span<const double> x,
                    std::span<const double> y, std::span<double> out) override;
    std::array<bool, FIT_PARAMETERS> used_parameters() const override;

private:
    bool run(const Expression& e, const FitParameters& p, std::span<const double> x,
             std::span<const double> y, std::span<double> out);

    Expression function_;
    std::array<Expression, FIT_PARAMETERS> derivatives_;
    std::array<bool, FIT_PARAMETERS> has_derivative_{};
    std::array<bool, FIT_PARAMETERS> used_{};
    ExtensionFunctions* functions_;
    ColumnSource* columns_;
    int series_number_;
    std::vector<double> x_, y_; // the expression may assign x and y: it gets copies
};

} // namespace plox
