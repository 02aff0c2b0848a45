// Page set-up, print mapping and the print size dialog's rules.
#include "output/page_setup.h"

#include "forms/dialog_helpers.h"

#include <algorithm>
#include <array>

namespace plox {

namespace {

constexpr std::array<PaperSize, paper::KindCount> STANDARD_SIZES{{
    {0, 0},
    {297, 420},
    {210, 297},
    {148, 210},
    {250, 354},
    {182, 257},
}};

constexpr std::array<const char*, paper::KindCount> KIND_NAMES{"自由", "A3", "A4",
                                                               "A5",   "B4", "B5"};

// Sides beyond this are no paper any printer takes; it keeps the pixel arithmetic in range.
constexpr int MAX_PAPER_MM = 100000;

} // namespace

std::optional<PaperSize> standard_paper(int kind) {
    if (kind <= paper::Free || kind >= paper::KindCount) return std::nullopt;
    return STANDARD_SIZES[static_cast<size_t>(kind)];
}

const char* paper_kind_name(int kind) {
    return kind >= 0 && kind < paper::KindCount ? KIND_NAMES[static_cast<size_t>(kind)] : "";
}

int clamp_print_scale(int percent) {
    return std::clamp(percent, MIN_PRINT_SCALE, MAX_PRINT_SCALE);
}

PageFields page_fields(const PageSetup& setup) {
    PageFields f;
    f.width = setup.width_mm;
    f.height = setup.length_mm;
    f.paper_code = static_cast<int16_t>(setup.kind);
    f.landscape = setup.landscape ? 1 : 0;
    return f;
}

PrintMapping print_mapping(int horz_mm, int vert_mm, int dpi_x, int dpi_y, int scale) {
    PrintMapping m;
    const double px = horz_mm * static_cast<double>(dpi_x) / 25.4;
    const double py = vert_mm * static_cast<double>(dpi_y) / 25.4;
    m.clip_width = static_cast<int>(px);
    m.clip_height = static_cast<int>(py);
    // Computed in 64 bits: a huge custom paper at a high resolution must still halve down.
    long long vx = static_cast<long long>(px * scale / 100);
    long long vy = static_cast<long long>(py * scale / 100);
    long long wmm = horz_mm, hmm = vert_mm;
    while (vx > 32000 || vy > 32000 || wmm > 320 || hmm > 320) {
        vx /= 2;
        vy /= 2;
        wmm /= 2;
        hmm /= 2;
        ++m.halvings;
    }
    m.viewport_x = static_cast<int>(vx);
    m.viewport_y = static_cast<int>(vy);
    m.window_width = static_cast<int>(wmm * 100);
    m.window_height = static_cast<int>(hmm * 100);
    return m;
}

bool print_needs_confirmation(int graph_count, bool preview, bool show_all) {
    return graph_count >= 2 && !preview && !show_all;
}

void PrintSizeForm::load(const PageSetup& setup, int print_scale) {
    kind = std::clamp(setup.kind, 0, paper::KindCount - 1);
    width = std::to_string(setup.width_mm);
    length = std::to_string(setup.length_mm);
    landscape = setup.landscape;
    scale = std::to_string(print_scale);
}

void PrintSizeForm::choose_orientation(bool on) {
    landscape = on;
    if (const auto size = standard_paper(kind)) {
        width = std::to_string(size->width_mm);
        length = std::to_string(size->length_mm);
    }
}

void PrintSizeForm::apply(PageSetup& setup, int& print_scale) const {
    setup.kind = std::clamp(kind, 0, paper::KindCount - 1);
    const int w = forms::read_integer(width);
    const int l = forms::read_integer(length);
    if (w >= 1) setup.width_mm = std::min(w, MAX_PAPER_MM);
    if (l >= 1) setup.length_mm = std::min(l, MAX_PAPER_MM);
    setup.landscape = landscape;
    print_scale = clamp_print_scale(forms::read_integer(scale));
}

} // namespace plox
