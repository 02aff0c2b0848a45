// The twelve menu-state rules in their order; later rules may override earlier ones.
#include "shell/menu_state.h"

#include "shell/command_table.h"

namespace plox::shell {

MenuState evaluate_menu_state(const MenuInputs& in) {
    MenuState m;
    auto set = [&](int id, bool enabled) { m.items[id].enabled = enabled; };

    set(cmd::ClipboardState, in.clipboard_text);
    set(cmd::PasteData, in.clipboard_text);
    set(215, in.clipboard_text);

    ItemState& paste = m.items[cmd::Paste];
    paste.label = "貼り付け\tCtrl+V";
    paste.enabled = false;
    if (in.free_object_slot) {
        const std::pair<bool, const char*> formats[] = {
            {in.clipboard_arrow, "矢印の貼り付け\tCtrl+V"},
            {in.clipboard_rect, "枠の貼り付け\tCtrl+V"},
            {in.clipboard_dot, "ドットの貼り付け\tCtrl+V"},
            {in.clipboard_legend, "文字列の貼り付け\tCtrl+V"},
        };
        for (const auto& [held, label] : formats)
            if (held) {
                paste.label = label;
                paste.enabled = true;
            }
    }

    m.items[cmd::SaveGraphAs].label =
        in.graph_count > 1 ? "グラフの個別保存" : "名前を付けて保存(&A)";
    set(cmd::SaveAllAs, in.graph_count >= 2);
    set(cmd::DeleteAllGraphs, in.graph_count >= 2);

    for (int i = 0; i < in.graph_count; ++i)
        m.items[cmd::graph_command(i)].checked = i == in.current_graph;

    set(cmd::ShowAll, !in.show_all);
    set(cmd::ShowOne, in.show_all);

    set(cmd::Preview, in.default_page_width_mm >= 1);
    m.items[cmd::Preview].checked = in.preview;

    set(cmd::NewGraph, in.graph_count < 20);

    set(cmd::Delete, in.selection != Selection::None && in.selection != Selection::ReadValuePoint);
    set(cmd::Copy, in.selection == Selection::Object);
    set(cmd::Cut, in.selection == Selection::Object);

    m.align_submenu_enabled = in.selection == Selection::Objects;

    const bool no_series = in.series_count == 0;
    m.analysis_submenus_enabled = !no_series;
    for (int id : {cmd::Update, cmd::CloseData, 670, 669, cmd::CopyData, cmd::DataMask, 668,
                   cmd::Again, cmd::ClearAnalysis})
        set(id, !no_series);

    set(cmd::ChooseSeries, in.series_count >= 2);
    set(678, in.series_count >= 2);
    set(cmd::OpenData, in.series_count < 50);
    set(cmd::NewDataFile, in.series_count < 50);

    set(cmd::UAxis, !in.x_common);
    set(cmd::ClearScaleU, !in.x_common);
    set(cmd::RAxis, !in.y_common);
    set(cmd::ClearScaleR, !in.y_common);
    return m;
}

} // namespace plox::shell
