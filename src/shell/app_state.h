// The one application state of a running program: the graph set and the modes of the page
// window, the options read at start-up and the services the commands use.
#pragma once

#include "document/document_io.h"
#include "document/model.h"
#include "settings/user_config.h"
#include "shell/page_geometry.h"

#include <string>
#include <vector>

namespace plox::shell {

struct AppState {
    GraphSet set;
    bool preview = false;
    bool drawings_valid = false;
    UserConfig config;
    Paper default_page;              // of the default printer, or A4 without one
    std::vector<std::string> recent; // as the menu shows them
    IoContext io;                    // prompter, temporary directory, extracted files
    std::string last_data_dir;       // where the data-file dialog starts
    std::string calculator_text;     // remembered between calculator runs

    Graph* current() { return set.current_graph(); }
    const Graph* current() const {
        return set.current >= 0 && set.current < graph_count() ? set.graphs[set.current].get()
                                                               : nullptr;
    }
    int graph_count() const { return static_cast<int>(set.graphs.size()); }
};

} // namespace plox::shell
