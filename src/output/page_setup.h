// The page set-up (paper kind and size, orientation, print scale), the mapping of a printed
// page onto the printer's resolution, and the rules of the print size dialog.
#pragma once

#include "document/document_io.h"

#include <optional>
#include <string>

namespace plox {

// Paper kinds: 0 free ("自由"), then the standard sizes.
namespace paper {
inline constexpr int Free = 0, A3 = 1, A4 = 2, A5 = 3, B4 = 4, B5 = 5;
inline constexpr int KindCount = 6;
} // namespace paper

struct PaperSize {
    int width_mm = 0, length_mm = 0;
    bool operator==(const PaperSize&) const = default;
};

// Width × length of a standard kind (A3 297 × 420 … B5 182 × 257); nothing for "自由" and
// unknown kinds.
std::optional<PaperSize> standard_paper(int kind);
// "自由", "A3", "A4", "A5", "B4", "B5".
const char* paper_kind_name(int kind);

inline constexpr int MIN_PRINT_SCALE = 50, MAX_PRINT_SCALE = 300;
int clamp_print_scale(int percent);

// Program-wide; documents carry a copy of it.
struct PageSetup {
    int kind = paper::A4;
    int width_mm = 210;
    int length_mm = 297;
    bool landscape = false;
    bool operator==(const PageSetup&) const = default;
};

// The page fields written into a graph before it is saved.
PageFields page_fields(const PageSetup& setup);

// How one printed page maps logical units onto printer pixels. The window is the printable
// area in hundredths of a millimetre, the viewport its device size at the print scale; both are
// halved together until the viewport fits 32000 pixels and the window 320 mm each way.
struct PrintMapping {
    int clip_width = 0, clip_height = 0;     // printable area, device pixels
    int viewport_x = 0, viewport_y = 0;      // device pixels
    int window_width = 0, window_height = 0; // logical units (0.01 mm)
    int halvings = 0;
};

// `horz_mm`, `vert_mm`: printable size in whole millimetres; `dpi_x`, `dpi_y`: the printer's
// resolution; `scale`: print scale in percent.
PrintMapping print_mapping(int horz_mm, int vert_mm, int dpi_x, int dpi_y, int scale);

// Printing shows graphs the window does not: ask first when more than one graph exists and only
// the current one is on the screen.
bool print_needs_confirmation(int graph_count, bool preview, bool show_all);
inline constexpr const char* PRINT_HIDDEN_GRAPHS_QUESTION =
    "CRT上に表示されていない\nグラフも印刷されます";

// The print size dialog SET_PRINTSIZE "印刷サイズの設定": the texts it shows, what clicking
// an orientation does, and what OK takes.
struct PrintSizeForm {
    int kind = paper::A4;
    std::string width;  // "幅(mm)"
    std::string length; // "長さ(mm)"
    bool landscape = false;
    std::string scale; // "拡大/縮小率(%)"

    void load(const PageSetup& setup, int print_scale);
    // "縦" or "横" clicked: the orientation, and width and length refilled from the standard
    // size of the chosen kind (left alone for "自由").
    void choose_orientation(bool landscape);
    // Whole millimetres (a side below 1 mm keeps its previous value); scale clamped to 50..300.
    void apply(PageSetup& setup, int& print_scale) const;
};

// The scale choices the dialog offers; any other number may be typed.
inline constexpr const char* PRINT_SCALE_CHOICES[] = {"50", "70", "100", "144"};

} // namespace plox
