// Series chooser rules.
#include "forms/series_chooser.h"

#include "document/paths.h"

#include <algorithm>

namespace plox::forms {

std::string chooser_caption(const ChooserRequest& request) {
    return request.title.empty() ? "File の選択" : request.title;
}

std::vector<int> offered_series(const Graph& graph, const ChooserRequest& request) {
    std::vector<int> out;
    const int count = std::clamp(graph.series_count, 0, MAX_SERIES);
    for (int i = 0; i < count; ++i)
        if (i != request.exclude && (graph.series[i].kind & request.mask) != 0) out.push_back(i);
    return out;
}

std::string series_suffix(const Series& s,
                          const std::function<std::string(std::string_view)>& decode) {
    switch (s.kind) {
    case kind::Polynomial:
        return " (F多項式)";
    case kind::Exponential:
        return " (F指数)";
    case kind::Logarithmic:
        return " (F対数)";
    case kind::Power:
        return " (Fべき)";
    case kind::General:
        return " (F一般)";
    case kind::Function:
        return " (CAL)";
    case kind::Spline:
        switch (s.degree) {
        case 0:
            return " (SPL～S)";
        case 1:
            return " (SPL～P)";
        case 2:
            return " (SPL 〇)";
        default:
            return " (SPL ? )";
        }
    case kind::Extension1:
    case kind::Extension2:
        return " (" + (decode ? decode(s.analysis_name) : s.analysis_name) + ")";
    default:
        return {};
    }
}

std::string series_entry_text(const Series& s,
                              const std::function<std::string(std::string_view)>& decode) {
    return std::string(paths::file_name_of(s.file_name)) + series_suffix(s, decode);
}

SeriesChoice choose_series(const Graph& graph, const ChooserRequest& request,
                           SeriesChooserView& view) {
    const std::vector<int> offered = offered_series(graph, request);
    SeriesChoice choice;
    if (offered.empty()) return choice;
    if (offered.size() == 1 && request.choose_single) {
        choice.answer = SeriesChoice::Answer::Chosen;
        choice.series = offered;
        return choice;
    }
    choice = view.show(graph, request, offered);
    choice.shown = true;
    // A view hands back only what it was offered, and one series for a single choice.
    std::erase_if(choice.series, [&](int i) {
        return std::find(offered.begin(), offered.end(), i) == offered.end();
    });
    if (!request.multiple && !choice.all && choice.series.size() > 1)
        choice.series.erase(choice.series.begin() + 1, choice.series.end());
    if (choice.answer == SeriesChoice::Answer::Chosen && choice.series.empty() &&
        !request.allow_none)
        choice.answer = SeriesChoice::Answer::Cancelled;
    return choice;
}

} // namespace plox::forms
