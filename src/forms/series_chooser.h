// The series chooser every command uses to pick the series it acts on: which series a request
// offers, how an entry is named, and when the choice is made without showing the list.
#pragma once

#include "document/model.h"

#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace plox::forms {

// What a command asks of the chooser.
struct ChooserRequest {
    std::string title;            // caption (UTF-8); empty: "File の選択"
    int32_t mask = kind::Any;     // series kinds offered
    int exclude = -1;             // one series left out (index), -1: none
    bool multiple = true;         // LISTDIALOG (several, with "&All") or LISTDIALOG2 (one)
    bool choose_single = true;    // exactly one qualifying series is chosen without a list
    std::vector<int> preselected; // series shown selected when the list opens
    bool allow_none = false;      // choosing nothing is an answer (lists of shown series)
    // "&All" on a single-choice list: it answers "every series" (`SeriesChoice::all`) rather
    // than a choice of entries (the data mask's series 0).
    bool all_button = false;
};

struct SeriesChoice {
    enum class Answer { Chosen, New, Cancelled };
    Answer answer = Answer::Cancelled;
    std::vector<int> series; // chosen series indexes, in list order
    bool shown = false;      // the list was shown (false: chosen directly or nothing offered)
    bool all = false;        // "&All" answered; `series` holds every offered entry

    bool chosen() const { return answer == Answer::Chosen && !series.empty(); }
};

// The caption of a request.
std::string chooser_caption(const ChooserRequest& request);

// Indexes of the series of `graph` whose kind is in the mask, without the excluded one.
std::vector<int> offered_series(const Graph& graph, const ChooserRequest& request);

// The suffix that names a computed series (" (F多項式)", " (SPL～S)", " (CAL)" …), UTF-8;
// extension analyses are named by their analysis name through `decode` (document bytes to
// UTF-8; identity when empty).
std::string series_suffix(const Series& series,
                          const std::function<std::string(std::string_view)>& decode = {});
// File name (without folder) and suffix, as an entry of the list shows them.
std::string series_entry_text(const Series& series,
                              const std::function<std::string(std::string_view)>& decode = {});

// The list itself; the dialog implements it, tests answer it.
class SeriesChooserView {
public:
    virtual ~SeriesChooserView() = default;
    // Shows the list of `offered` (series indexes) and returns the user's answer.
    virtual SeriesChoice show(const Graph& graph, const ChooserRequest& request,
                              std::span<const int> offered) = 0;
};

// Runs a request: a single qualifying series is chosen directly when the request allows it,
// nothing offered cancels without a list, otherwise the view is asked.
SeriesChoice choose_series(const Graph& graph, const ChooserRequest& request,
                           SeriesChooserView& view);

} // namespace plox::forms
