// One batch run of the program: what every batch option needs between reading its arguments
// and writing its output. A session binds the extension modules, answers the messages of the
// run on standard error, reads documents (embedded data go into a folder the session owns) and
// hands out the contexts that reading data, analysing and drawing need, set up as the window
// sets them up. Typical use:
//
//     BatchSession session;
//     session.bind_modules(BatchSession::Modules::Optional);
//     if (!session.load(document)) return 1;   // the reason is already on standard error
//     RenderContext context = session.render_context();
//     ... draw or export session.graphs() ...
//
// Everything the run created (restored data files, converted copies, the folder holding them)
// is removed when the session ends; graphs are freed before the modules they may hold blocks of.
#pragma once

#include "data/context.h"
#include "document/document_io.h"
#include "document/model.h"
#include "document/prompter.h"
#include "render/render_context.h"

#include <memory>
#include <string>
#include <string_view>

namespace plox {
class ExtensionModule;
}

namespace plox::app {

// The one prompter of batch runs; nobody is there to answer. Every message becomes one line
// "ploxwin: TEXT" on standard error (line breaks of TEXT become spaces; the title is left out,
// it only repeats the kind of message). Every question takes the answer of a box closed
// without choosing (Escape): Ok for Ok, Cancel for Ok/Cancel and Yes/No/Cancel, No for Yes/No.
// So a batch run never does anything its command line did not ask for.
class StderrPrompter final : public Prompter {
public:
    Answer message(std::string_view title, std::string_view text, Buttons buttons,
                   Icon icon) override;
    static Answer batch_answer(Buttons buttons);
    int errors() const { return errors_; } // messages shown with the error icon
private:
    int errors_ = 0;
};

// Prints "ploxwin: MESSAGE" (one line) on standard error and returns the failure status, 1.
int cli_fail(std::string_view message);

class BatchSession {
public:
    BatchSession();
    ~BatchSession();
    BatchSession(const BatchSession&) = delete;
    BatchSession& operator=(const BatchSession&) = delete;

    // Optional: without the module the run goes on (no fits, extension analyses, extra
    // functions or markers) and nothing is said. Required: a missing or wrong module is told on
    // standard error and bind_modules returns false.
    enum class Modules { Optional, Required };
    bool bind_modules(Modules need);
    const ExtensionModule* module() const; // null when not bound

    // Prepares painting without a window: an offscreen Qt GUI application (unless one exists or
    // a platform is chosen by QT_QPA_PLATFORM), the font substitutions and bitmap pictures.
    // Call before render_context() when the run paints.
    void enable_painting();

    // Reads a document or bundle into graphs() as the window opens one. False after one line on
    // standard error: the reason, or "cannot read PATH" when none was given (load_status()).
    bool load(const std::string& path);
    const IoStatus& load_status() const { return status_; }

    GraphSet& graphs() { return set_; }
    StderrPrompter& prompter() { return prompter_; }
    // Document reading and writing: the session's prompter, the module's document lines,
    // embedded data restored into extraction_dir(), existing files overwritten without asking.
    IoContext& io() { return io_; }
    // Series building: the prompter, the module's functions and converter; converted copies
    // of foreign data files live as long as the session.
    DataContext data();
    // A drawing as the window draws it: the user's render settings and GRA fonts, the module's
    // curves, markers and functions, and (after enable_painting) bitmap pictures. No measurer:
    // the surface that draws sets its own.
    RenderContext render_context();

    // The private folder (mode 0700, made on first use, removed with its contents when the
    // session ends) where the run restores embedded data and keeps its temporary files.
    // Empty when it cannot be made; files then go to the system's temporary folder.
    const std::string& extraction_dir();

private:
    struct Parts;
    StderrPrompter prompter_;
    std::unique_ptr<Parts> parts_; // modules, settings, temporary files
    IoContext io_;
    IoStatus status_;
    GraphSet set_; // declared last: freed first, before the module that made its blocks
    std::string extraction_dir_;
    bool extraction_tried_ = false;
};

} // namespace plox::app
