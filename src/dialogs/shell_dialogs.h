// The file and input dialogs the shell's commands need, behind an interface so that tests
// answer them without a window.
#pragma once

#include <optional>
#include <string>
#include <vector>

namespace plox {

struct SaveChoice {
    std::string path;
    bool with_data = false;
    bool format_16bit = false;
};

class ShellDialogs {
public:
    virtual ~ShellDialogs() = default;
    // Data files for new series ("ﾕｰｻﾞｰ指定" with `user_ext`, all files, "*.1"); empty: cancelled.
    virtual std::vector<std::string> open_data_files(const std::string& user_ext,
                                                     const std::string& start_dir) = 0;
    // A document ("QVPﾌｧｲﾙ (*.qvp)").
    virtual std::optional<std::string> open_document(const std::string& start_dir) = 0;
    // The save dialog with "データも一緒に保存する" and "16bit版形式で保存する".
    virtual std::optional<SaveChoice> save_document(const std::string& proposed_name,
                                                    bool with_data, bool allow_16bit) = 0;
    // A one-line input box (MY_INPUTDIALOG); `max_length` counts the NUL of a text buffer, so
    // the edit accepts one character less.
    virtual std::optional<std::string> input_text(const std::string& title,
                                                  const std::string& prompt,
                                                  const std::string& initial, int max_length) = 0;
    // Shows the help file in a window of the program; false when it cannot be read.
    virtual bool open_help(const std::string& path) = 0;
};

} // namespace plox
