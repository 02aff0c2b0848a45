// --export OUT DOC [--dpi N]: the page of a document as PNG, PDF or SVG, without a window.
#include "app/cli.h"

#include "document/document_io.h"
#include "document/prompter.h"
#include "extension/module.h"
#include "extension/render_binding.h"
#include "platform/font_faces.h"
#include "platform/page_export.h"
#include "platform/picture_loader_qt.h"
#include "platform/settings_qt.h"
#include "render/font_mapping.h"

#include <QGuiApplication>

#include <charconv>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include <unistd.h>

namespace plox::app {

namespace fs = std::filesystem;

namespace {

// Messages of a batch run go to standard error; questions take their default.
class StderrPrompter : public Prompter {
public:
    Answer message(std::string_view title, std::string_view text, Buttons buttons, Icon) override {
        std::fprintf(stderr, "ploxwin: %.*s: %.*s\n", static_cast<int>(title.size()), title.data(),
                     static_cast<int>(text.size()), text.data());
        switch (buttons) {
        case Buttons::Ok:
            return Answer::Ok;
        case Buttons::OkCancel:
            return Answer::Cancel;
        default:
            return Answer::No;
        }
    }
};

} // namespace

int cli_export(const Args& args) {
    if (args.size() < 3 || args[1].starts_with("--") || args[2].starts_with("--"))
        return cli_fail("usage: ploxwin --export OUT.{png,pdf,svg} DOC [--dpi N]");
    const std::string& out = args[1];
    const std::string& doc = args[2];
    for (size_t i = 3; i < args.size(); ++i) {
        if (args[i] == "--dpi" && i + 1 < args.size()) {
            ++i;
            continue;
        }
        return cli_fail("unknown option for --export: " + args[i]);
    }
    int dpi = 150;
    if (has_flag(args, "--dpi")) {
        const std::string value = option_value(args, "--dpi");
        const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), dpi);
        if (value.empty() || ec != std::errc() || end != value.data() + value.size() || dpi < 10 ||
            dpi > 2400)
            return cli_fail("--dpi needs a whole number from 10 to 2400, not \"" + value + "\"");
    }
    if (export_format_of(out) == ExportFormat::Unknown)
        return cli_fail("cannot tell the format of " + out + " (use .png, .pdf or .svg)");
    if (!fs::is_regular_file(doc)) return cli_fail("no such document: " + doc);

    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    if (qEnvironmentVariableIsEmpty("XDG_RUNTIME_DIR")) {
        // What Qt would fall back to, made private first so that it does not complain.
        const fs::path runtime =
            fs::temp_directory_path() / ("runtime-" + std::to_string(::getuid()));
        std::error_code ec;
        fs::create_directories(runtime, ec);
        fs::permissions(runtime, fs::perms::owner_all, fs::perm_options::replace, ec);
        if (!ec) qputenv("XDG_RUNTIME_DIR", QByteArray::fromStdString(runtime.string()));
    }
    static int argc = 1;
    static char name[] = "ploxwin";
    static char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    install_face_substitutions();

    StderrPrompter prompter;
    // Without the module the page still exports, only without fits and extension analyses.
    const ModuleBinding modules = bind_modules(prompter);
    std::unique_ptr<ModuleDocumentLines> document_lines;
    std::unique_ptr<ModuleRenderBinding> render_binding;
    if (modules.ok()) {
        document_lines =
            std::make_unique<ModuleDocumentLines>(*modules.extension, modules.converter.get());
        render_binding = std::make_unique<ModuleRenderBinding>(*modules.extension, &prompter);
    }
    GraphSet set;
    IoContext io;
    io.prompter = &prompter;
    io.extension = document_lines.get();
    io.ask_before_overwrite = false;
    const IoStatus status = load_document(doc, set, io);
    auto remove_extracted = [&] {
        std::error_code ec;
        for (const auto& f : io.extracted_files)
            std::filesystem::remove(f, ec);
    };
    if (!status.ok() || set.graphs.empty()) {
        remove_extracted();
        return cli_fail("cannot read " + doc +
                        (status.message.empty() ? "" : ": " + status.message));
    }

    RenderContext context;
    const QtSettingsStore settings;
    context.settings =
        read_render_settings(settings); // clipping and script sizes as the user set them
    context.prompter = &prompter;
    context.data.prompter = &prompter;
    if (render_binding) render_binding->bind(context);
    QtPictureLoader pictures;
    context.pictures = &pictures;
    FontMapping font_mapping = FontMapping::make_default();
    read_font_mapping(settings, font_mapping);
    context.font_mapping = &font_mapping;
    const ExportResult result =
        export_page(set, out, page_size_of(*set.graphs.front()), dpi, context);
    remove_extracted();
    if (!result.ok) return cli_fail(result.message);
    return 0;
}

} // namespace plox::app
