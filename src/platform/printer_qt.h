// Printing through Qt PrintSupport: the page set-up pushed into and read back from a QPrinter,
// and the graphs drawn onto printer pages, each copy as a job of its own.
#pragma once

#include "output/page_setup.h"
#include "render/render_context.h"

#include <QPageLayout>
#include <QPageSize>

#include <functional>
#include <string>

class QPrinter;

namespace plox {

// The paper of a page size and orientation: the standard kinds by their page-size ids, any
// other size as "自由" in whole millimetres.
PageSetup page_setup_of(const QPageSize& size, QPageLayout::Orientation orientation);
PageSetup page_setup_of(const QPrinter& printer);
// Paper kind (a standard size, or the custom size in millimetres) and orientation into the
// printer; a free size below 10 mm leaves the printer's paper as it is.
void push_page_setup(QPrinter& printer, const PageSetup& setup);

struct PrintOptions {
    int copies = 1;
    int scale = 100; // print scale, percent
    bool background = false;
    Color background_color = 0xFFFFFF;
    // Called before each job starts (tests direct each job to a file of its own).
    std::function<void(int copy)> before_job;
    // Called between graphs: lets the window process events and answers whether the user
    // aborted.
    std::function<bool()> aborted;
};

enum class PrintResult { Printed, Canceled };

// Draws every graph (body and objects) onto one page per job, streaming to the printer's paint
// engine. A job that cannot start, or an abort, ends printing with Canceled; the caller shows
// "Print was canceled".
PrintResult print_graphs_on(QPrinter& printer, GraphSet& set, RenderContext context,
                            const PrintOptions& options);

inline constexpr const char* PRINT_JOB_NAME = "PloxWin";
inline constexpr const char* PRINT_CANCELED = "Print was canceled";

} // namespace plox
