#include "app/batch_session.h"

#include "document/file_access.h"

#include "data/converter.h"
#include "extension/bindings.h"
#include "extension/module.h"
#include "extension/render_binding.h"
#include "platform/font_faces.h"
#include "platform/picture_loader_qt.h"
#include "platform/settings_qt.h"
#include "render/font_mapping.h"

#include <QGuiApplication>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <optional>
#include <vector>

#include <unistd.h>

namespace plox::app {

namespace fs = std::filesystem;

namespace {

void print_line(std::string_view text) {
    std::string line(text);
    std::replace(line.begin(), line.end(), '\r', ' ');
    std::replace(line.begin(), line.end(), '\n', ' ');
    std::fprintf(stderr, "ploxwin: %s\n", line.c_str());
}

// Converted copies of foreign data files are removed with the session.
class SessionTemporaryFiles final : public TemporaryFiles {
public:
    ~SessionTemporaryFiles() override {
        std::error_code ec;
        for (const auto& path : paths_)
            fs::remove(path, ec);
    }
    void add(const std::string& path) override { paths_.push_back(path); }

private:
    std::vector<std::string> paths_;
};

// Qt falls back to a runtime folder of its own choosing and complains unless it is private.
void ensure_runtime_dir() {
    if (!qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) return;
    std::error_code ec;
    fs::path temp = fs::temp_directory_path(ec);
    if (ec) temp = "/tmp";
    // Someone else's folder or link under that name is never taken over.
    const fs::path runtime = temp / ("runtime-" + std::to_string(::getuid()));
    if (files::ensure_private_folder(runtime.string()))
        qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.string()));
}

} // namespace

Answer StderrPrompter::batch_answer(Buttons buttons) {
    switch (buttons) {
    case Buttons::Ok:
        return Answer::Ok;
    case Buttons::YesNo:
        return Answer::No;
    case Buttons::OkCancel:
    case Buttons::YesNoCancel:
        return Answer::Cancel;
    }
    return Answer::Cancel;
}

Answer StderrPrompter::message(std::string_view, std::string_view text, Buttons buttons,
                               Icon icon) {
    print_line(text);
    if (icon == Icon::Error) ++errors_;
    return batch_answer(buttons);
}

int cli_fail(std::string_view message) {
    print_line(message);
    return 1;
}

struct BatchSession::Parts {
    RecordingPrompter quiet; // binding messages of an optional module
    ModuleBinding binding;
    std::unique_ptr<ModuleFunctions> functions;
    std::unique_ptr<ModuleDocumentLines> document_lines;
    std::unique_ptr<ModuleRenderBinding> render_binding;
    ModuleConverter converter{nullptr};
    SessionTemporaryFiles temporary;

    std::optional<QGuiApplication> application;
    std::unique_ptr<QtPictureLoader> pictures;
    std::optional<RenderSettings> settings;
    FontMapping font_mapping = FontMapping::make_default();
};

BatchSession::BatchSession() : parts_(std::make_unique<Parts>()) {
    io_.prompter = &prompter_;
    io_.ask_before_overwrite = false;
}

BatchSession::~BatchSession() {
    std::error_code ec;
    for (const auto& file : io_.extracted_files)
        fs::remove(file, ec);
    if (!extraction_dir_.empty()) fs::remove_all(extraction_dir_, ec);
    // Graphs may hold blocks of the module: free them before the module goes.
    set_.graphs.clear();
}

bool BatchSession::bind_modules(Modules need) {
    Parts& p = *parts_;
    Prompter& told = need == Modules::Required ? static_cast<Prompter&>(prompter_) : p.quiet;
    p.binding = plox::bind_modules(told);
    if (!p.binding.ok()) return need == Modules::Optional;
    const ExtensionModule& module = *p.binding.extension;
    p.functions = std::make_unique<ModuleFunctions>(module);
    p.document_lines = std::make_unique<ModuleDocumentLines>(module, p.binding.converter.get());
    p.render_binding = std::make_unique<ModuleRenderBinding>(module, &prompter_);
    p.converter = ModuleConverter(p.binding.converter.get());
    io_.extension = p.document_lines.get();
    return true;
}

const ExtensionModule* BatchSession::module() const {
    return parts_->binding.ok() ? parts_->binding.extension.get() : nullptr;
}

void BatchSession::enable_painting() {
    Parts& p = *parts_;
    if (p.pictures) return;
    if (!QGuiApplication::instance()) {
        if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
        ensure_runtime_dir();
        static int argc = 1;
        static char name[] = "ploxwin";
        static char* argv[] = {name, nullptr};
        p.application.emplace(argc, argv);
    }
    install_face_substitutions();
    p.pictures = std::make_unique<QtPictureLoader>();
}

const std::string& BatchSession::extraction_dir() {
    if (extraction_tried_) return extraction_dir_;
    extraction_tried_ = true;
    std::error_code ec;
    fs::path base = fs::temp_directory_path(ec);
    if (ec) base = "/tmp";
    // mkdtemp makes the folder readable by its owner only.
    std::string pattern = (base / "ploxwin-XXXXXX").string();
    if (::mkdtemp(pattern.data())) extraction_dir_ = pattern;
    return extraction_dir_;
}

bool BatchSession::load(const std::string& path) {
    if (io_.temp_dir.empty() && !extraction_dir().empty()) io_.temp_dir = extraction_dir_ + "/";
    status_ = load_document(path, set_, io_);
    if (status_.ok() && !set_.graphs.empty()) return true;
    // A reason went through the prompter already: one line per failure.
    if (status_.message.empty()) cli_fail("cannot read " + path);
    return false;
}

DataContext BatchSession::data() {
    Parts& p = *parts_;
    return DataContext{&prompter_, p.functions.get(), &p.converter, &p.temporary};
}

RenderContext BatchSession::render_context() {
    Parts& p = *parts_;
    if (!p.settings) {
        const QtSettingsStore store;
        p.settings = read_render_settings(store);
        read_font_mapping(store, p.font_mapping);
    }
    RenderContext context;
    context.prompter = &prompter_;
    context.settings = *p.settings;
    context.data = data();
    context.font_mapping = &p.font_mapping;
    context.pictures = p.pictures.get();
    if (p.render_binding) p.render_binding->bind(context);
    return context;
}

} // namespace plox::app
