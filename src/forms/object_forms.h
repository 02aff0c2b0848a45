// The rules of the object dialogs: what each field shows of a `GraphObject` and how it is read
// back (millimetre text, clamps, the direction in all three fonts, the arrow shape list, the
// point count of multi-point markers, rectangle normalisation), and the object manager's list.
#pragma once

#include "document/model.h"

#include <array>
#include <string>
#include <vector>

namespace plox::forms {

// How an object dialog ended; the page window acts on it.
enum class ObjectAnswer { Ok, Cancel, Delete, Paste, Mouse };

// Text dialog "Title".
struct TextForm {
    std::string text;  // real line breaks ('\n') where the record holds the two characters "\n"
    std::string x, y;  // millimetres
    int direction = 0; // whole degrees
    std::array<std::string, 3> faces;
    int size = 24; // points
    int style = 0; // bit 0 italic, bit 1 bold
    int32_t color = 0;
    bool opaque = false;
    int justify = 0;

    void load(const GraphObject& o);
    void apply(GraphObject& o) const;
};

// Point object dialog "点の描き方".
struct DotForm {
    int32_t plot_type = 0, line_style = 1;
    std::string size, width, pitch, x, y; // millimetres
    std::string count_or_length;          // points (plot types 29 to 32) or millimetres
    int32_t marker_color = 0, line_color = 0, fill_color = 0xFFFFFF;
    int brush = 0; // 0 filled, 1 hollow, 2..7 hatches 0..5

    void load(const GraphObject& o);
    // `g` gives new points their default places when the count changes.
    void apply(const Graph& g, GraphObject& o) const;
};
// Plot types whose field counts points ("区点") rather than a length ("長さ").
bool counts_points(int32_t plot_type);
const char* count_or_length_label(int32_t plot_type);

// Arrow dialog "矢印の描き方".
struct ArrowForm {
    std::string head_length, width, pitch; // millimetres
    int32_t line_style = 1, color = 0;
    std::array<std::string, 4> position; // start x, y, end x, y in the unit of RefX / RefY
    int32_t ref_x = 0, ref_y = 0;
    int shape = 1; // 0 line, 1..3 one head of style 1..3, 4..6 open heads of style 1..3
    int32_t open = 30, shut = 100;

    void load(const GraphObject& o);
    void apply(GraphObject& o) const;
};
int arrow_shape(int32_t type, int32_t head_style);
void set_arrow_shape(GraphObject& o, int shape);

// Rectangle dialog "枠の描き方".
struct RectForm {
    std::array<std::string, 4> position; // millimetres
    std::string shadow, round_x, round_y, width;
    int32_t face_color = 0xFFFFFF, shadow_color = 0;

    void load(const GraphObject& o);
    void apply(GraphObject& o) const;
};

// Picture dialog "graphic-fileの貼りつけ方".
struct PictureForm {
    std::string path;
    std::string x, y, width; // millimetres as "%6.2lf"
    void load(const GraphObject& o);
    void apply(GraphObject& o) const;
    // The shown height in millimetres for a width, in the picture's own proportion ("" unknown).
    std::string height_for(const GraphObject& o, const std::string& width_text) const;
};

// Object manager: the list of a graph's objects and what OK hands back.
std::string object_list_text(const GraphObject& o);
struct ObjectList {
    std::vector<int> order; // slots in list order
    std::vector<bool> selected;

    explicit ObjectList(const Graph& g);
    void move_selected_to_top();
    void move_selected_to_bottom();
    void remove_selected(); // "&Close": out of the list (deleted on OK)
    void toggle_all();      // "&All"
    bool any_selected() const;
    // OK: the slots in the new order (others are deleted), written into the graph; answers the
    // new slots of the selected objects.
    std::vector<int> apply(Graph& g) const;
};

} // namespace plox::forms
