// Loading the modules by absolute path (a bare dlopen name would not search the program's folder).
#include "extension/module.h"

#include "document/prompter.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <filesystem>
#include <system_error>

namespace plox {
namespace {

namespace fs = std::filesystem;

std::string executable_dir() {
    std::error_code ec;
    const fs::path exe = fs::read_symlink("/proc/self/exe", ec);
    return ec ? std::string() : exe.parent_path().string();
}

template <class Fn> Fn symbol(const LibraryHandle& library, const char* name) {
    return reinterpret_cast<Fn>(library_symbol(library, name));
}

} // namespace

std::vector<std::string> module_search_dirs() {
    std::vector<std::string> dirs;
    if (const char* env = std::getenv("PLOXWIN_EXT_DIR"); env && *env) dirs.emplace_back(env);
    if (const std::string exe = executable_dir(); !exe.empty()) {
        dirs.push_back(exe);
        dirs.push_back((fs::path(exe) / ".." / "lib" / "ploxwin").lexically_normal().string());
    }
#ifdef PLOX_INSTALL_BINDIR
    dirs.emplace_back(PLOX_INSTALL_BINDIR);
#endif
    return dirs;
}

std::string find_module(std::string_view file_name) {
    for (const std::string& dir : module_search_dirs()) {
        std::error_code ec;
        const fs::path candidate = fs::path(dir) / file_name;
        if (fs::is_regular_file(candidate, ec)) return fs::absolute(candidate, ec).string();
    }
    return {};
}

LibraryHandle open_library(const std::string& path, std::string* error) {
    if (path.empty()) {
        if (error) *error = "no path";
        return nullptr;
    }
    dlerror();
    void* handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        if (error) {
            const char* text = dlerror();
            *error = text ? text : "cannot load";
        }
        return nullptr;
    }
    return LibraryHandle(handle, [](void* h) { dlclose(h); });
}

void* library_symbol(const LibraryHandle& library, const char* name) {
    return library ? dlsym(library.get(), name) : nullptr;
}

ExtensionModule::ExtensionModule(LibraryHandle library, std::string path)
    : library_(std::move(library)), path_(std::move(path)) {
    auto& e = exports_;
    e.about = symbol<PloxexExternalAnalyzeAboutFn>(library_, "ExternalAnalyzeAbout");
    e.gauss_jordan = symbol<PloxexGaussJordanFn>(library_, "GaussJordan");
    e.register_analysis =
        symbol<PloxexRegisterExternalAnalyzeFn>(library_, "RegisterExternalAnalyze");
    e.init = symbol<PloxexInitExternalAnalyzeFn>(library_, "InitExternalAnalyze");
    e.first = symbol<PloxexSetExternalAnalyzeFirstFn>(library_, "SetExternalAnalyzeFirst");
    e.second = symbol<PloxexSetExternalAnalyzeSecondFn>(library_, "SetExternalAnalyzeSecond");
    e.end = symbol<PloxexEndExternalAnalyzeFn>(library_, "EndExternalAnalyze");
    e.save = symbol<PloxexSaveExternalAnalyzeFn>(library_, "SaveExternalAnalyze");
    e.load = symbol<PloxexLoadExternalAnalyzeFn>(library_, "LoadExternalAnalyze");
    e.free_block = symbol<PloxexFreeExternalAnalyzeFn>(library_, "FreeExternalAnalyze");
    e.function_number = symbol<PloxexExternalFunctionNumberFn>(library_, "ExternalFunctionNumber");
    e.function_set = symbol<PloxexExternalFunctionSetFn>(library_, "ExternalFunctionSet");
    e.plot_count = symbol<PloxexQueryExternalPlotNumFn>(library_, "QueryExternalPlotNum");
    e.draw_dot = symbol<PloxexExternalPlotDrawMyDotFn>(library_, "ExternalPlotDrawMyDot");
}

int32_t ExtensionModule::version(void* window, bool show) const {
    return exports_.about ? exports_.about(nullptr, window, show ? 1 : 0) : 0;
}

void ExtensionModule::build_analysis_table() {
    analyses_.clear();
    if (!exports_.register_analysis) return;
    char key[PLOXEX_KEY_SIZE + 1] = {};
    char text[PLOXEX_MENU_TEXT_SIZE + 1] = {};
    const int32_t count =
        std::min<int32_t>(exports_.register_analysis(-1, key, text), PLOXEX_MAX_ANALYSES);
    for (int32_t i = 0; i < count; ++i) {
        // One byte more than the module may fill, so an unterminated answer is still cut.
        std::fill(std::begin(key), std::end(key), '\0');
        std::fill(std::begin(text), std::end(text), '\0');
        exports_.register_analysis(i, key, text);
        analyses_.push_back({std::string(key, strnlen(key, PLOXEX_KEY_SIZE)),
                             std::string(text, strnlen(text, PLOXEX_MENU_TEXT_SIZE)),
                             PLOXEX_FIRST_COMMAND + i});
    }
}

int32_t ExtensionModule::marker_count() const {
    return exports_.plot_count ? std::max<int32_t>(exports_.plot_count(), 0) : 0;
}

ConverterModule::ConverterModule(LibraryHandle library, std::string path)
    : library_(std::move(library)), path_(std::move(path)) {
    register_ = symbol<PloxfilRegisterFileConverterFn>(library_, "RegisterFileConverter");
    about_ = symbol<PloxfilExternalLoadAboutFn>(library_, "ExternalLoadAbout");
    convert_ = symbol<PloxfilExtConvertFileFn>(library_, "ExtConvertFile");
    check_ = symbol<PloxfilExtCheckQVPFn>(library_, "ExtCheckQVP");
    if (!register_) return;
    char name[PLOXFIL_NAME_SIZE + 1] = {};
    // A module answering an absurd count still gets a bounded list.
    const int32_t count = std::clamp<int32_t>(register_(0, name), 0, 1000);
    for (int32_t i = 1; i <= count; ++i) {
        std::fill(std::begin(name), std::end(name), '\0');
        register_(i, name);
        names_.emplace_back(name, strnlen(name, PLOXFIL_NAME_SIZE));
    }
}

int32_t ConverterModule::version() const {
    return about_ ? about_(nullptr, nullptr, 0) : 0;
}

bool ConverterModule::convert(const std::string& source, const std::string& destination,
                              int32_t converter) const {
    return convert_ && convert_(source.c_str(), destination.c_str(), converter) != 0;
}

int32_t ConverterModule::check_header(const std::string& first_line) const {
    return check_ ? check_(first_line.c_str()) : -1;
}

ModuleBinding bind_modules(Prompter& prompter, const std::string& extension_path,
                           const std::string& converter_path, void* host_window) {
    ModuleBinding binding;
    LibraryHandle library = open_library(extension_path);
    if (!library) {
        prompter.message("エラー", "PloxExt32.dll が見つかりません", Buttons::Ok, Icon::Error);
        binding.status = ModuleBinding::Status::Missing;
        return binding;
    }
    auto module = std::make_unique<ExtensionModule>(std::move(library), extension_path);
    // Without the about function there is no version to check: refused like a wrong version.
    if (!module->exports().about) prompter.message("Cannot find", "Error", Buttons::Ok, Icon::None);
    if (converter_path.size())
        if (LibraryHandle converter = open_library(converter_path))
            binding.converter =
                std::make_unique<ConverterModule>(std::move(converter), converter_path);
    if (PLOXEX_MAJOR(module->version(host_window, false)) != 4) {
        prompter.message("エラー", "PloxEx32.dll のバージョンが違います", Buttons::Ok, Icon::Error);
        binding.status = ModuleBinding::Status::WrongVersion;
        binding.converter.reset();
        return binding;
    }
    module->build_analysis_table();
    binding.extension = std::move(module);
    binding.status = ModuleBinding::Status::Ok;
    return binding;
}

ModuleBinding bind_modules(Prompter& prompter, void* host_window) {
    return bind_modules(prompter, find_module(EXTENSION_FILE), find_module(CONVERTER_FILE),
                        host_window);
}

} // namespace plox
