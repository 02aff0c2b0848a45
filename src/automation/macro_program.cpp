// Loading macro files.
#include "automation/macro_program.h"

#include "data/reader.h"
#include "document/prompter.h"
#include "settings/user_config.h"

#include <array>
#include <cerrno>
#include <fcntl.h>
#include <filesystem>
#include <unistd.h>

namespace plox {

namespace {

constexpr std::array<std::string_view, 11> COMMAND_WORDS{
    "DeleteGraph", "OpenQvp", "Print", "Refresh", "Data", "AxisSet",
    "FrameSet",    "Rem",     "Label", "Goto",    "Pause"};

bool is_blank(char c) {
    return c == ' ' || c == '\t';
}

// Enough of a file to tell its first 80 lines.
constexpr size_t READ_LIMIT = (MAX_MACRO_LINES + 1) * (MACRO_LINE_SIZE - 1) + 1;

bool read_head(const std::string& path, std::string& out, int& error) {
    std::error_code ec;
    if (std::filesystem::is_directory(path, ec)) {
        error = EISDIR;
        return false;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        error = errno;
        return false;
    }
    out.resize(READ_LIMIT);
    size_t have = 0;
    while (have < out.size()) {
        const ssize_t got = ::read(fd, out.data() + have, out.size() - have);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            error = errno;
            ::close(fd);
            return false;
        }
        if (got == 0) break;
        have += static_cast<size_t>(got);
    }
    ::close(fd);
    out.resize(have);
    return true;
}

} // namespace

int macro_command_code(std::string_view word) {
    for (size_t i = 0; i < COMMAND_WORDS.size(); ++i)
        if (equal_ignoring_case(word, COMMAND_WORDS[i])) return static_cast<int>(i);
    return macro::None;
}

std::string_view macro_command_word(int code) {
    return code >= 0 && code < static_cast<int>(COMMAND_WORDS.size()) ? COMMAND_WORDS[code] : "";
}

MacroLine parse_macro_line(std::string_view line) {
    size_t i = 0;
    while (i < line.size() && is_blank(line[i]))
        ++i;
    const size_t start = i;
    while (i < line.size() && !is_blank(line[i]))
        ++i;
    const std::string_view word = line.substr(start, i - start);
    while (i < line.size() && is_blank(line[i]))
        ++i;
    MacroLine out;
    if (!word.empty() && word[0] != '#') out.code = macro_command_code(word);
    out.argument.assign(line.substr(i));
    return out;
}

std::optional<MacroProgram> parse_macro_text(std::string_view text) {
    MacroProgram program;
    size_t pos = 0;
    while (pos < text.size()) {
        // A line takes up to 511 bytes, its LF included; a longer one goes on as the next.
        const size_t room = std::min(MACRO_LINE_SIZE - 1, text.size() - pos);
        const size_t lf = text.substr(pos, room).find('\n');
        const size_t taken = lf == std::string_view::npos ? room : lf + 1;
        std::string_view line = text.substr(pos, taken);
        pos += taken;
        if (lf != std::string_view::npos) {
            line.remove_suffix(1);
            if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        } else if (pos == text.size() && !line.empty() && line.back() == 0x1A) {
            line.remove_suffix(1);
            if (line.empty()) break;
        }
        // Bytes from a NUL on are not part of the line's text.
        if (const size_t nul = line.find('\0'); nul != std::string_view::npos)
            line = line.substr(0, nul);
        if (static_cast<int>(program.lines.size()) == MAX_MACRO_LINES) return std::nullopt;
        program.lines.push_back(parse_macro_line(line));
    }
    return program;
}

std::optional<MacroProgram> load_macro(const std::string& path, Prompter& prompter,
                                       MacroStatus* status) {
    MacroStatus ignored;
    MacroStatus& st = status ? *status : ignored;
    std::string text;
    int error = 0;
    if (!read_head(path, text, error)) {
        st = MacroStatus::Unreadable;
        report_open_error(prompter, path, error);
        return std::nullopt;
    }
    auto program = parse_macro_text(text);
    if (!program) {
        st = MacroStatus::TooManyLines;
        prompter.message("Error", "two many macros!", Buttons::Ok, Icon::Error);
        return std::nullopt;
    }
    st = MacroStatus::Loaded;
    program->path = path;
    return program;
}

} // namespace plox
