// Macro files (.qvd): the command table and loading a file into a program of at most 79 lines.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plox {

class Prompter;

// Command codes: positions in the command table.
namespace macro {
inline constexpr int None = -1; // a line that names no command
inline constexpr int DeleteGraph = 0;
inline constexpr int OpenQvp = 1;
inline constexpr int Print = 2;
inline constexpr int Refresh = 3;
inline constexpr int Data = 4;
inline constexpr int AxisSet = 5;
inline constexpr int FrameSet = 6;
inline constexpr int Rem = 7;
inline constexpr int Label = 8;
inline constexpr int Goto = 9;
inline constexpr int Pause = 10;
} // namespace macro

inline constexpr int MAX_MACRO_LINES = 79;
inline constexpr size_t MACRO_LINE_SIZE = 512; // lines of up to 511 bytes

struct MacroLine {
    int code = macro::None;
    std::string argument;
};

struct MacroProgram {
    std::string path;
    std::vector<MacroLine> lines;
};

// Code of a command word compared without regard to case, or macro::None.
int macro_command_code(std::string_view word);
// Word of a code 0..10.
std::string_view macro_command_word(int code);

// One line: the command word after leading blanks (space or tab), then the argument after the
// blanks that follow it, unchanged to the end. "#" lines and empty lines name no command.
MacroLine parse_macro_line(std::string_view line);

// Splits file contents into lines as the file reader does: up to 511 bytes per line (a longer
// line goes on as the next line), LF ends a line, a CR before it and a Ctrl-Z at the end are
// dropped, and a NUL ends the line's text. Nothing when an 80th line is met.
std::optional<MacroProgram> parse_macro_text(std::string_view text);

enum class MacroStatus { Loaded, Unreadable, TooManyLines };

// Loads a file; failures are shown (the file-open error, or "two many macros!" titled "Error")
// and give nothing; `status`, when given, tells which.
std::optional<MacroProgram> load_macro(const std::string& path, Prompter& prompter,
                                       MacroStatus* status = nullptr);

} // namespace plox
