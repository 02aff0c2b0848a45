// The seam through which documents hand the stored state of extension analyses (series kinds
// 256 and 512) to the extension module, and name the file converters of the converter module.
// The extension binding implements it; without one, documents keep those lines verbatim.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace plox {

struct Series;

class ExtensionIo {
public:
    virtual ~ExtensionIo() = default;

    // Creates the series' private block for its analysis_name quietly (restoring from a
    // document: no dialog). false when the module does not know the analysis: the stored
    // lines are then read and dropped.
    virtual bool init_analysis(Series& series) = 0;

    // Hands one stored line, numbered from 0, to the series' block.
    virtual void load_line(Series& series, std::string_view line, int index) = 0;

    // The lines the module writes for the series' block, exactly as written: the count line
    // first, then that many lines (without line ends). Empty when the series has no block.
    virtual std::vector<std::string> save_lines(const Series& series) = 0;

    // File-converter module: whether it is present, the number (from 1) of the first converter
    // with this name or 0, and the name of converter n.
    virtual bool has_converter_module() const { return false; }
    // The converter module's verdict on a file's first line (ExtCheckQVP): a version code
    // (0 and 1: Ngraph projects), or -1 to use the program's own version table.
    virtual int check_qvp(std::string_view) const { return -1; }
    virtual int converter_number(std::string_view) const { return 0; }
    virtual std::string converter_name(int) const { return {}; }
};

} // namespace plox
