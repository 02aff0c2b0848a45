// Rules of the copy region dialog.
#include "forms/copy_region_form.h"

#include "forms/dialog_helpers.h"

namespace plox::forms {

void CopyRegionForm::load(const CopyRegion& r) {
    left = millimetre_text(r.left);
    top = millimetre_text(r.top);
    right = millimetre_text(r.right);
    bottom = millimetre_text(r.bottom);
    ratio = std::to_string(r.ratio);
    enhanced = r.enhanced;
    enhanced_enabled = r.enhanced_offered;
}

void CopyRegionForm::apply(CopyRegion& r) const {
    r.left = read_millimetres(left);
    r.top = read_millimetres(top);
    r.right = read_millimetres(right);
    r.bottom = read_millimetres(bottom);
    const int32_t value = read_integer(ratio);
    r.ratio = value <= 0 || value >= 100 ? 100 : value;
    if (r.enhanced_offered) r.enhanced = enhanced;
}

} // namespace plox::forms
