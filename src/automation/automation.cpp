// Running macro programs and dispatching server executes onto the same commands.
#include "automation/automation.h"

#include "data/reader.h"
#include "document/prompter.h"
#include "settings/series_defaults.h"
#include "settings/user_config.h"

#include <array>
#include <cerrno>
#include <cstdio>

namespace plox {

namespace {

// Clears a flag for the life of the guard.
class Mark {
public:
    explicit Mark(bool& flag) : flag_(flag) { flag_ = true; }
    ~Mark() { flag_ = false; }
    Mark(const Mark&) = delete;
    Mark& operator=(const Mark&) = delete;

private:
    bool& flag_;
};

std::string line_text(const char* format, int index) {
    char buf[64];
    std::snprintf(buf, sizeof buf, format, index + 1);
    return buf;
}

} // namespace

Automation::Automation(AutomationHost& host, const SettingsStore* store) : host_(host) {
    if (store) read_series_defaults(*store, "", data_template_);
}

bool Automation::apply(ItemCommand command, std::string_view text) {
    ItemTarget target;
    target.data_template = &data_template_;
    target.graph = host_.graph_set().current_graph();
    target.open = [this](const std::string& path) { host_.add_data_series(path, data_template_); };
    target.clear_scale = [this](int axis) { host_.clear_scale(axis); };
    bool changed = false;
    target.before_change = [this, &changed] {
        host_.begin_change(-1);
        changed = true;
    };
    const bool consumed = apply_items(command, text, target);
    if (changed) host_.graph_edited();
    return consumed;
}

bool Automation::apply_data_items(std::string_view text) {
    return apply(ItemCommand::Data, text);
}

bool Automation::apply_axis_items(std::string_view text) {
    return apply(ItemCommand::AxisSet, text);
}

bool Automation::apply_frame_items(std::string_view text) {
    return apply(ItemCommand::FrameSet, text);
}

bool Automation::open_document(const std::string& path) {
    if (path.size() >= PATH_CAPACITY) {
        // Longer than any path a document can name: refused before the file system is asked.
        report_open_error(host_.prompter(), path.substr(0, PATH_CAPACITY - 1), ENAMETOOLONG);
        return false;
    }
    if (!host_.open_document(path)) return false;
    host_.refresh();
    return true;
}

bool Automation::run_file(const std::string& path) {
    if (running_) return false;
    auto program = load_macro(path, host_.prompter());
    if (!program) return false;
    run(*program);
    return true;
}

void Automation::run(const MacroProgram& program) {
    if (running_) return;
    Mark mark(running_);
    const int count = static_cast<int>(program.lines.size());
    int since_question = 0;
    for (int index = 0; index < count; ++index) {
        if (program.lines[index].code == macro::Pause) since_question = 0;
        if (++since_question > MACRO_STEPS_BEFORE_ASKING) {
            since_question = 0;
            if (host_.prompter().message("Macro", line_text("Stop in Line%d\nContinue?", index),
                                         Buttons::YesNo, Icon::Question) != Answer::Yes)
                return;
        }
        if (!step(program, index)) return;
    }
}

bool Automation::step(const MacroProgram& program, int& index) {
    const MacroLine& line = program.lines[index];
    const std::string& arg = line.argument;
    switch (line.code) {
    case macro::DeleteGraph:
        host_.delete_graphs(equal_ignoring_case(arg, "All"));
        return true;
    case macro::OpenQvp:
        return open_document(arg);
    case macro::Print:
        host_.print(!equal_ignoring_case(arg, "off"));
        return true;
    case macro::Refresh:
        host_.refresh();
        return true;
    case macro::Data:
        return apply_data_items(arg);
    case macro::AxisSet:
        return apply_axis_items(arg);
    case macro::FrameSet:
        return apply_frame_items(arg);
    case macro::Rem:
    case macro::Label:
        return true;
    case macro::Goto:
        for (int i = 0; i < static_cast<int>(program.lines.size()); ++i)
            if (program.lines[i].code == macro::Label && program.lines[i].argument == arg) {
                index = i;
                return true;
            }
        break;
    case macro::Pause:
        return host_.prompter().message("Macro", line_text("Stop in Line%d\nContinue?", index),
                                        Buttons::YesNo, Icon::Question) == Answer::Yes;
    default:
        break;
    }
    host_.prompter().message("Macro", line_text("Error in Line%d", index));
    return false;
}

uint32_t Automation::execute(std::string_view topic, std::string_view text) {
    if (busy_) return server_answer::Busy;
    // The first seven command words are the topics; names compare as the server's string
    // handles did, without regard to case.
    const int code = macro_command_code(topic);
    if (code < macro::DeleteGraph || code > macro::FrameSet) return server_answer::NotProcessed;
    Mark mark(busy_);
    const std::string argument(text);
    switch (code) {
    case macro::DeleteGraph:
        host_.delete_graphs(equal_ignoring_case(argument, "All"));
        break;
    case macro::OpenQvp:
        if (!open_document(argument)) return server_answer::NotProcessed;
        break;
    case macro::Print:
        host_.print(!equal_ignoring_case(argument, "off"));
        break;
    case macro::Refresh:
        host_.refresh();
        break;
    case macro::Data:
        apply_data_items(argument);
        break;
    case macro::AxisSet:
        apply_axis_items(argument);
        break;
    case macro::FrameSet:
        apply_frame_items(argument);
        break;
    }
    return server_answer::Ack;
}

} // namespace plox
