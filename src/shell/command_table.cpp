// The command table: labels as the menus show them (the shortcut text comes from the
// accelerators) and the layout of every menu.
#include "shell/command_table.h"

#include <algorithm>
#include <array>

namespace plox::shell {

namespace {

constexpr std::array COMMANDS{
    Command{51, "文字列描画(&O)", "Shift+Ctrl+I"},
    Command{52, "矢印(&A)", "Shift+Ctrl+A"},
    Command{53, "枠(&R)", ""},
    Command{54, "再描画", "F2"},
    Command{61, "上に", ""},
    Command{62, "下に", ""},
    Command{101, "データファイルを開く(&O)", "Ctrl+O"},
    Command{102, "データファイルを閉じる(&C)", ""},
    Command{103, "&Update", "Ctrl+U"},
    Command{106, "印刷(&P)", "Ctrl+P"},
    Command{107, "プリンタの設定(&R)...", ""},
    Command{108, "用紙設定", ""},
    Command{109, "PloxWinについて(&A)", ""},
    Command{110, "終了(&X)", ""},
    Command{111, "並べ替え", ""},
    Command{115, "データ貼付け(&P)", ""},
    Command{116, "図(&P)", ""},
    Command{117, "Preview(&V)", "Ctrl+R"},
    Command{118, "設定(&S)", ""},
    Command{119, "メタファイル形式で出力(&W)", ""},
    Command{126, "データファイルの新規作成(&N)", ""},
    Command{127, "選択領域をCopy", ""},
    Command{128, "メタファイル形式で保存", ""},
    Command{130, "&Delete", "Del"},
    Command{131, "Copy", "Ctrl+Ins"},
    Command{132, "貼り付け", "Ctrl+V", "Shift+Ins"},
    Command{133, "Cut", "Shift+Del"},
    Command{201, "&X-Axis", "Ctrl+X"},
    Command{202, "&Y-Axis", "Ctrl+Y"},
    Command{203, "&U-Axis", ""},
    Command{204, "&R-Axis", ""},
    Command{205, "グラフのプロパティ(&P)", ""},
    Command{207, "&Frame", "Ctrl+F"},
    Command{209, "&X軸タイトル(&X)", "Shift+Ctrl+X"},
    Command{210, "&Y軸タイトル(&Y)", "Shift+Ctrl+Y"},
    Command{211, "U軸タイトル", ""},
    Command{212, "R軸タイトル", ""},
    Command{213, "その他の文字(&O)", ""},
    Command{214, "凡例(&E)", ""},
    Command{215, "クリップボードからの貼付け", ""},
    Command{216, "矢印(&A)", ""},
    Command{217, "&Dot", ""},
    Command{218, "枠(&R)", ""},
    Command{219, "グラフの上書き保存(&S)", "Ctrl+S"},
    Command{220, "新規グラフの追加(&I)", ""},
    Command{221, "グラフの削除(&D)", ""},
    Command{222, "名前を付けて保存(&A)", ""},
    Command{224, "グラフの読み込み(&O)", ""},
    Command{226, "名前を付けて全保存(&A)", ""},
    Command{238, "グラフの全削除", ""},
    Command{239, "もう一度", "Ctrl+A"},
    Command{241, "グラフの全表示", ""},
    Command{242, "グラフの個別表示", ""},
    Command{245, "左端そろえ(&L)", ""},
    Command{246, "両端ぞろえ(&C)", ""},
    Command{247, "右端そろえ(&R)", ""},
    Command{261, "テンプレートの設定(&T)", ""},
    Command{266, "Save as default", ""},
    Command{620, "やり直し(&U)", ""},
    Command{621, "図面コピー(&C)", "Ctrl+C"},
    Command{622, "データコピー(&D)", ""},
    Command{623, "Data Mas&k", ""},
    Command{625, "３次スプライン(&S)", "Ctrl+E"},
    Command{626, "パラメトリックスプライン", ""},
    Command{627, "パラメトリックスプライン(閉曲線)", ""},
    Command{631, "Data Mas&k", ""},
    Command{651, "トリミング(&T)", ""},
    Command{652, "&Clear All Scale", ""},
    Command{653, "ヘルプ(&H)", "F1"},
    Command{656, "任意関数描画(&A)", ""},
    Command{659, "&Clear", ""},
    Command{660, "Copy &to Clipboard", ""},
    Command{661, "多項式(&P)", "Ctrl+B"},
    Command{662, "指数(&E)", ""},
    Command{663, "対数(&L)", ""},
    Command{664, "べき", ""},
    Command{665, "一般関数(&F)", "Ctrl+D"},
    Command{666, "値評価", "F5"},
    Command{667, "定数設定(&P)", "Ctrl+G"},
    Command{668, "&Read Value", "F4"},
    Command{669, "&Save Data", ""},
    Command{670, "データファイルの編集(&E)", ""},
    Command{678, "表示/非表示切り替え(&D)", ""},
    Command{679, "トリミング", ""},
    Command{680, "&About DLL", ""},
    Command{691, "X-Axis", ""},
    Command{692, "Y-Axis", ""},
    Command{693, "U-Axis", ""},
    Command{694, "R-Axis", ""},
    Command{774, "四則計算機", "F3"},
    Command{775, "", "Ctrl+M"},
};

MenuEntry item(int id) {
    return MenuEntry{.kind = MenuEntry::Kind::Item, .id = id};
}
MenuEntry item(int id, std::string_view label) {
    return MenuEntry{.kind = MenuEntry::Kind::Item, .id = id, .label = label};
}
MenuEntry separator() {
    return MenuEntry{.kind = MenuEntry::Kind::Separator};
}
MenuEntry submenu(std::string_view label, std::vector<MenuEntry> children, int menu = 0) {
    return MenuEntry{.kind = MenuEntry::Kind::Submenu,
                     .id = menu,
                     .label = label,
                     .children = std::move(children)};
}

} // namespace

std::span<const Command> commands() {
    return COMMANDS;
}

const Command* find_command(int id) {
    auto it = std::find_if(COMMANDS.begin(), COMMANDS.end(),
                           [id](const Command& c) { return c.id == id; });
    return it == COMMANDS.end() ? nullptr : &*it;
}

const std::vector<Menu>& main_menu() {
    static const std::vector<Menu> menus{
        {"ﾌｧｲﾙ(&F)", {item(220),   item(221),   item(238),
                      separator(), item(224),   item(219),
                      item(222),   item(226),   separator(),
                      item(266),   item(261),   separator(),
                      item(106),   item(107),   item(108),
                      item(117),   separator(), submenu("&Export", {item(119)}),
                      item(110),   separator()}},
        {"データ(&D)",
         {item(101), item(102), separator(), item(126), separator(), item(103), separator(),
          item(678), separator(), item(670), separator(), item(669), item(668), item(623)}},
        {"編集(&E)",
         {item(621), item(622), separator(), item(115), separator(), item(620), item(133),
          item(131), item(132), item(130)}},
        {"ｸﾞﾗﾌ(&G)",
         {item(201), item(202), item(203), item(204), item(652),
          submenu("Clear Scale", {item(691), item(692), item(693), item(694)}), separator(),
          item(651), separator(), item(207), separator(), item(205), separator(), item(241),
          item(242), separator()}},
        {"挿入(&I)",
         {item(209), item(210), item(211), item(212), item(213), item(215), item(214),
          submenu("位置あわせ(&J)", {item(245), item(246), item(247)}, menu_id::Align), separator(),
          item(216), item(217), item(218), separator(), item(116), separator(), item(111)}},
        {"解析(&A)",
         {submenu("最小二乗(&L)",
                  {item(661), item(662), item(663), item(664), item(665), separator(), item(666)},
                  menu_id::LeastSquares),
          submenu("スプライン補間(&S)", {item(625), item(626), item(627)}, menu_id::Spline),
          submenu("特殊処理(&E)", {item(680), separator()}, menu_id::Extension), item(239),
          item(659), separator(), item(656), item(667), separator(), item(660)}},
        {"その他(&O)", {item(118), separator(), item(774)}},
        {"ヘルプ(&H)", {item(653), separator(), item(109)}},
    };
    return menus;
}

const std::vector<Menu>& popup_menus() {
    static const std::vector<Menu> menus{
        {"PopupMenu", {item(127), item(128), separator(), item(679), item(631)}},
        {"PopupMenu2",
         {item(103), separator(), item(201), item(202), item(203), item(204), separator(),
          item(207), separator(), item(51), item(52), item(53)}},
        {"PopupMenu3",
         {item(61), item(62), separator(), item(131, "コピー"), item(133, "切り抜き"),
          item(130, "削除")}},
    };
    return menus;
}

std::span<const ToolButton> toolbar_buttons() {
    static constexpr std::array buttons{
        ToolButton{238, "全消去", true},
        ToolButton{117, "プレビュー", true, true},
        ToolButton{224, "ファイルを開く", true},
        ToolButton{106, "印刷", false},
        ToolButton{51, "文字の挿入", true},
        ToolButton{53, "枠の挿入", false},
        ToolButton{52, "矢印の挿入", false},
        ToolButton{651, "トリミング", true},
        ToolButton{668, "Read value", false},
        ToolButton{667, "定数設定", false},
        ToolButton{61, "上に", true},
        ToolButton{62, "下に", false},
        ToolButton{54, "再描画", true},
        ToolButton{653, "ヘルプ", false},
    };
    return buttons;
}

} // namespace plox::shell
