// Reading and writing documents for every caller: QVP documents of versions 1.0 to 1.8, QVA
// bundles and Ngraph projects, the embedded [DATA] section, path resolution after reading and
// atomic saving (1.8, or the 1.5 layout of the 16-bit edition).
#pragma once

#include "document/model.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plox {

class Prompter;
class ExtensionIo;

// Version codes of a file's first line.
namespace version {
inline constexpr int None = -1;
inline constexpr int V1_0 = 2;
inline constexpr int V1_1 = 3;
inline constexpr int V1_2 = 4;
inline constexpr int V1_3 = 5;
inline constexpr int V1_4 = 6;
inline constexpr int V1_5 = 7;
inline constexpr int V1_6 = 8;
inline constexpr int V1_7 = 9;
inline constexpr int V1_8 = 10;
inline constexpr int V1_9 = 11; // recognised and refused
inline constexpr int Bundle = 100;
inline constexpr int NgraphProject = 0;  // codes 0 and 1, only from the converter module
inline constexpr int NgraphWithData = 1; // data blocks follow the project
} // namespace version

inline constexpr const char* VERSION_LINE_1_8 = " PloxWin ver. 1.8  QVP file";
inline constexpr const char* VERSION_LINE_1_5 = " PloxWin ver. 1.5  QVP file";
inline constexpr const char* VERSION_LINE_BUNDLE = " PloxWin ver. 1.1  QVA file";

// Code of a first line (without its line end), compared exactly; the converter module, when
// given, is asked first.
int detect_version(std::string_view first_line, const ExtensionIo* extension = nullptr);
bool is_version_line(std::string_view first_line, const ExtensionIo* extension = nullptr);
// Whether the file's first line is a version line (the shell's document-or-data-file test).
bool file_has_version_line(const std::string& path, const ExtensionIo* extension = nullptr);

enum class OverwriteAnswer { Overwrite, OverwriteAll, Keep };

// Page fields copied into a graph before it is written (from the print settings).
struct PageFields {
    int32_t width = 210, height = 297; // mm
    int16_t paper_code = 2;
    int32_t landscape = 0;
};

// Everything reading and writing needs from the program around it.
struct IoContext {
    Prompter* prompter = nullptr;     // messages; none: nothing is shown
    ExtensionIo* extension = nullptr; // none: extension lines are kept verbatim

    std::string temp_dir; // where [DATA] blocks are restored; empty: the system's temp directory
    std::vector<std::string> extracted_files; // files restored from [DATA] sections in this run
    std::string extracted_list_path; // file of 260-byte records shared by running copies; optional

    // Asked before an existing, differing file is overwritten ("同名のファイルが存在します").
    // Unset, or ask_before_overwrite false: overwrite without asking.
    std::function<OverwriteAnswer(std::string_view name)> ask_overwrite;
    bool ask_before_overwrite = true;
    bool overwrite_all = false; // "以後、全て上書き" was chosen

    bool prior_temp = false;    // PriorTemp: prefer restored copies over the named files
    bool same_directory = true; // SavePath: data next to the document are written by name
    std::optional<PageFields> page;
    std::function<void(const std::string& path)> add_recent; // recent-file list entry
};

struct IoStatus {
    enum class Code { Ok, OpenFailed, NotADocument, Unsupported, NoRoom, Cancelled, WriteFailed };
    Code code = Code::Ok;
    std::string message; // what was reported (UTF-8); empty on success
    struct Missing {
        int graph, series;
    };
    std::vector<Missing> missing; // data files not found after resolving (file search dialog)
    bool with_data = false;       // the document carried a [DATA] section
    bool ok() const { return code == Code::Ok; }
};

// Opens a document or bundle into the set as the program does for every source: an empty
// current graph is replaced, else a graph is added; a bundle replaces open graphs from the first.
// Restores an embedded [DATA] section and resolves paths. Failures are reported through
// ctx.prompter and returned.
IoStatus load_document(const std::string& path, GraphSet& set, IoContext& ctx);

// Reads a template document into a new graph: scales stay automatic, the graph unmodified.
bool read_template(const std::string& path, Graph& g, IoContext& ctx);

// Saving step 1: with-data is on when the setting says so or any series of `graphs` reads a file
// restored from a [DATA] section.
bool with_data_choice(const std::vector<const Graph*>& graphs, bool with_data_setting,
                      const IoContext& ctx);
// Saving step 2: the proposed name, "Untitled.qvp" for names shorter than three characters,
// otherwise shown with the extension ".QVP".
std::string proposed_save_name(std::string_view name);

// Writes one graph as a 1.8 document (or in the 1.5 layout) atomically (temporary file in the
// same folder, renamed over the old one; "File write error!" and the old file intact when
// anything fails). On success the graph is unmodified, takes the path as its file name and the
// path enters the recent files.
IoStatus save_document(const std::string& path, Graph& g, bool with_data, IoContext& ctx,
                       bool layout_1_5 = false);
// Writes every graph of the set as a bundle, atomically; the set takes the path as bundle name.
IoStatus save_bundle(const std::string& path, GraphSet& set, bool with_data, IoContext& ctx,
                     bool layout_1_5 = false);
// Writes the graph without series and masks as a template document ("Save as default").
IoStatus save_template(const std::string& path, const Graph& g, IoContext& ctx);

} // namespace plox
