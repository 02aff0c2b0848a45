#include "analysis/expression_model.h"

#include <algorithm>

namespace plox {

ExpressionFitModel::ExpressionFitModel(const FitFunction& block, ExtensionFunctions* functions,
                                       ColumnSource* columns, int series_number)
    : function_(Expression::parse(block.function, functions)), functions_(functions),
      columns_(columns), series_number_(series_number) {
    for (size_t k = 0; k < derivatives_.size(); ++k) {
        has_derivative_[k] = !block.derivatives[k].empty();
        if (has_derivative_[k])
            derivatives_[k] = Expression::parse(block.derivatives[k], functions);
    }
}

bool ExpressionFitModel::run(const Expression& e, const FitParameters& p, std::span<const double> x,
                             std::span<const double> y, std::span<double> out) {
    set_parameters(p);
    x_.assign(x.begin(), x.end());
    y_.assign(y.begin(), y.end());
    y_.resize(x_.size(), 0.0);
    const EvalStatus status =
        e.evaluate(x_, y_, out.first(x_.size()), series_number_, functions_, columns_);
    return status.ok();
}

bool ExpressionFitModel::value(const FitParameters& p, std::span<const double> x,
                               std::span<const double> y, std::span<double> out) {
    const bool ok = run(function_, p, x, y, out);
    for (int k = 0; k < FIT_PARAMETERS; ++k)
        used_[static_cast<size_t>(k)] = named_constant_used(k);
    return ok;
}

bool ExpressionFitModel::has_derivative(int k) const {
    return has_derivative_[static_cast<size_t>(k)];
}

bool ExpressionFitModel::derivative(int k, const FitParameters& p, std::span<const double> x,
                                    std::span<const double> y, std::span<double> out) {
    return run(derivatives_[static_cast<size_t>(k)], p, x, y, out);
}

std::array<bool, FIT_PARAMETERS> ExpressionFitModel::used_parameters() const {
    return used_;
}

} // namespace plox
