// The graph sheet "Graph Property" as forms: the frame page, the title page and the scale page.
#pragma once

#include "document/model.h"

#include <array>
#include <string>

namespace plox::forms {

// SET_POSITION.
struct FramePage {
    std::string left, top, width, height, line_width; // millimetres
    int32_t line_colour = 0, background = 0xFFFFFF;
    int frame_type = 1; // "方眼" 0, "枠" 1, "片枠" 2, "軸" 3

    void load(const Graph& graph);
    void apply(Graph& graph) const;
};

// Each value clamped to 1000..32000; then while left + width exceeds 32000 the larger of the two
// loses 1000 (the width on a tie), and the same for top and height.
void clamp_frame_page(int32_t& left, int32_t& top, int32_t& width, int32_t& height);

// SET_POSITION2.
struct TitlePage {
    std::string title;         // the base name of the graph's file
    std::string comment;       // document bytes, at most 63
    std::string zoom;          // Magnification, percent
    bool visible_only = false; // "%01Nなどの制御文字は、表示ﾃﾞｰﾀだけを考慮"

    void load(const Graph& graph);
    void apply(Graph& graph) const;
};

// The file name a title gives: that name in the graph's folder with ".QVP".
std::string renamed_file(const std::string& file_name, const std::string& title);
// A new Magnification within its limits: at least 5, at most 32000 / c with c the larger of
// the extent box's right and bottom edges per percent of the current magnification.
int32_t limit_magnification(const Graph& graph, int32_t wanted);

// SET_POSITION3.
struct ScalePage {
    struct Row {
        bool set = true;
        std::string from, to; // "%g", at most 39 characters
    };
    std::array<Row, 4> axes; // X, Y, U, R

    void load(const Graph& graph);
    void apply(Graph& graph) const;
};

struct GraphSheet {
    FramePage frame;
    TitlePage title;
    ScalePage scale;

    void load(const Graph& graph) {
        frame.load(graph);
        title.load(graph);
        scale.load(graph);
    }
    void apply(Graph& graph) const {
        frame.apply(graph);
        title.apply(graph);
        scale.apply(graph);
    }
};

} // namespace plox::forms
