// Defaults of the document records.
#include "document/model.h"

namespace plox {

LogFont default_symbol_font() {
    LogFont f;
    f.height = -2400;
    f.weight = 400;
    f.italic = 1;
    f.charset = 2;
    f.out_precision = 3;
    f.clip_precision = 2;
    f.quality = 1;
    f.pitch_and_family = 18;
    f.face = "Symbol";
    return f;
}

LogFont default_axis_label_font() {
    LogFont f;
    f.height = -2400;
    f.weight = 400;
    f.quality = 2;
    f.pitch_and_family = 18;
    f.face = "Times New Roman";
    return f;
}

Axis Axis::make_default(int index) {
    static constexpr int32_t reserved[4] = {300, 1200, 900, 0};
    Axis a;
    a.reserved1 = reserved[index & 3];
    a.draw_labels = index <= AxisY ? 1 : 0;
    return a;
}

} // namespace plox
