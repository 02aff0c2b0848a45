// The program's side of the extension module libploxex32.so and the optional converter module
// libploxfil.so: finding and loading them, binding their exports by name, the version check and
// the analysis table of the menu.
#pragma once

#include "ploxex32.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace plox {

class Prompter;

inline constexpr const char* EXTENSION_FILE = "libploxex32.so";
inline constexpr const char* CONVERTER_FILE = "libploxfil.so";

// Folders searched for a module, in order: $PLOXWIN_EXT_DIR, the program's own folder,
// <program>/../lib/ploxwin, the install folder. In the build tree the program and the module
// share one folder.
std::vector<std::string> module_search_dirs();
// The first existing "<dir>/<file>" of module_search_dirs(), or empty.
std::string find_module(std::string_view file_name);

// A shared library loaded by absolute path; closed when the last holder lets go of it. Blocks
// made by the module keep it loaded until they are freed.
using LibraryHandle = std::shared_ptr<void>;
LibraryHandle open_library(const std::string& path, std::string* error = nullptr);
void* library_symbol(const LibraryHandle& library, const char* name);

struct AnalysisEntry {
    std::string key;       // "GAUSSF2" …
    std::string menu_text; // as the module gives it (Shift-JIS or ASCII)
    int32_t command = 0;   // 681 + index
};

// The exports of the extension module; any of them may be missing (null).
struct ExtensionExports {
    PloxexExternalAnalyzeAboutFn about = nullptr;
    PloxexGaussJordanFn gauss_jordan = nullptr;
    PloxexRegisterExternalAnalyzeFn register_analysis = nullptr;
    PloxexInitExternalAnalyzeFn init = nullptr;
    PloxexSetExternalAnalyzeFirstFn first = nullptr;
    PloxexSetExternalAnalyzeSecondFn second = nullptr;
    PloxexEndExternalAnalyzeFn end = nullptr;
    PloxexSaveExternalAnalyzeFn save = nullptr;
    PloxexLoadExternalAnalyzeFn load = nullptr;
    PloxexFreeExternalAnalyzeFn free_block = nullptr;
    PloxexExternalFunctionNumberFn function_number = nullptr;
    PloxexExternalFunctionSetFn function_set = nullptr;
    PloxexQueryExternalPlotNumFn plot_count = nullptr;
    PloxexExternalPlotDrawMyDotFn draw_dot = nullptr;
};

class ExtensionModule {
public:
    // Binds every export of an opened library by name (no check).
    ExtensionModule(LibraryHandle library, std::string path);

    const std::string& path() const { return path_; }
    const LibraryHandle& library() const { return library_; }
    const ExtensionExports& exports() const { return exports_; }

    // ExternalAnalyzeAbout; 0 when the export is missing.
    int32_t version(void* window = nullptr, bool show = false) const;
    // The menu analyses (at most 10, ids 681 + i); filled by build_analysis_table().
    const std::vector<AnalysisEntry>& analyses() const { return analyses_; }
    void build_analysis_table();
    // The number of extra marker shapes (plot types 38 …).
    int32_t marker_count() const;

private:
    LibraryHandle library_;
    std::string path_;
    ExtensionExports exports_;
    std::vector<AnalysisEntry> analyses_;
};

// The optional converter module; every function may be missing.
class ConverterModule {
public:
    ConverterModule(LibraryHandle library, std::string path);
    const std::string& path() const { return path_; }
    // The converter names in their order (position 1 … count); empty without the function.
    const std::vector<std::string>& names() const { return names_; }
    int32_t version() const; // ExternalLoadAbout, 0 when missing
    // ExtConvertFile; false when the function is missing or reports failure.
    bool convert(const std::string& source, const std::string& destination,
                 int32_t converter) const;
    // ExtCheckQVP: a document version code, or -1 when not recognised (or missing).
    int32_t check_header(const std::string& first_line) const;

private:
    LibraryHandle library_;
    std::string path_;
    PloxfilRegisterFileConverterFn register_ = nullptr;
    PloxfilExternalLoadAboutFn about_ = nullptr;
    PloxfilExtConvertFileFn convert_ = nullptr;
    PloxfilExtCheckQVPFn check_ = nullptr;
    std::vector<std::string> names_;
};

struct ModuleBinding {
    enum class Status { Ok, Missing, WrongVersion };
    Status status = Status::Missing;
    std::unique_ptr<ExtensionModule> extension; // set when Ok
    std::unique_ptr<ConverterModule> converter; // set when present (and Ok)
    bool ok() const { return status == Status::Ok; }
};

// Binding at start: loads the extension module from `extension_path` (empty: not found),
// checks its major version 4 and builds its analysis table; loads the converter module from
// `converter_path` when that is not empty and loads. Failures are told through `prompter`;
// the program ends unless the result is Ok.
ModuleBinding bind_modules(Prompter& prompter, const std::string& extension_path,
                           const std::string& converter_path, void* host_window = nullptr);
// The same with the paths found by find_module().
ModuleBinding bind_modules(Prompter& prompter, void* host_window = nullptr);

} // namespace plox
