// Printing from the window: the print command with or without the print dialog, the printer
// set-up, the print size dialog, and the printer set-up kept between prints.
#pragma once

#include "output/page_setup.h"

class QPrinter;

namespace plox::shell {

class MainWindow;

// Commands 106 (print), 107 (printer set-up) and 108 (print size), and the default printer's
// page asked for in the background (start-up never waits on a print server). Once per window.
void register_print_commands(MainWindow& window);

// Prints every graph at its place on one page, as command 106 and the macro and command-server
// "Print" do: first the question when graphs are not on the screen, then, with `show_dialog`,
// the print dialog; without it the kept printer set-up ("Print off"), or the dialog when no
// printer was ever set up. True when the page went to the printer.
bool print_graphs(MainWindow& window, bool show_dialog);

// The kept printer set-up, made on first use (tests direct it to a PDF file).
QPrinter& kept_printer(MainWindow& window);

// The program's page set-up; setting it also updates the preview's paper and the page fields
// written with documents. The print scale is the graph set's.
PageSetup page_setup(MainWindow& window);
void set_page_setup(MainWindow& window, const PageSetup& setup);

} // namespace plox::shell
