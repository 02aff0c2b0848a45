// Field expansion and series-reference renumbering of rich-text markup.
#include "render/rich_text_fields.h"

#include <cctype>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <memory>

#include <sys/stat.h>
#include <unistd.h>

#include "document/file_access.h"
#include "render/rich_text_sjis.h"

namespace plox {

namespace {

bool digit(char c) {
    return c >= '0' && c <= '9';
}

// Reads `n` decimal digits at s[pos]; nullopt when any is missing.
std::optional<int> digits(std::string_view s, size_t pos, int n) {
    if (pos + n > s.size()) return std::nullopt;
    int v = 0;
    for (int i = 0; i < n; ++i) {
        if (!digit(s[pos + i])) return std::nullopt;
        v = v * 10 + (s[pos + i] - '0');
    }
    return v;
}

std::optional<Stamp> stamp_of(std::time_t t) {
    std::tm tm{};
    if (!localtime_r(&t, &tm)) return std::nullopt;
    return Stamp{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min};
}

std::string format_date(const Stamp& s, bool long_form) {
    static constexpr char months[] = "JanFebMarAprMayJunJulAugSepOctNovDec";
    char buf[64];
    if (long_form) {
        int m = (s.month >= 1 && s.month <= 12) ? s.month - 1 : 0;
        std::snprintf(buf, sizeof buf, "%.3s %d %d", months + 3 * m, s.day, s.year);
    } else {
        std::snprintf(buf, sizeof buf, "%d-%d-%d", s.month, s.day, s.year);
    }
    return buf;
}

std::string format_time(const Stamp& s, bool twelve_hour) {
    char buf[64];
    if (twelve_hour) {
        int h = s.hour % 12 == 0 ? 12 : s.hour % 12;
        std::snprintf(buf, sizeof buf, "%2d:%02d %s", h, s.minute, s.hour < 12 ? "am" : "pm");
    } else {
        std::snprintf(buf, sizeof buf, "%2d:%02d", s.hour, s.minute);
    }
    return buf;
}

// Documents written on Windows name their files with backslashes.
std::string native_path(std::string_view path) {
    std::string p(path);
    std::error_code ec;
    if (!std::filesystem::exists(p, ec))
        for (char& c : p)
            if (c == '\\') c = '/';
    return p;
}

// Field cc (1-based) of a data line, separated by blanks, commas or tabs.
std::optional<std::string> line_field(std::string_view line, int index) {
    auto sep = [](char c) { return c == ' ' || c == ',' || c == '\t'; };
    size_t i = 0;
    for (int n = 1;; ++n) {
        while (i < line.size() && sep(line[i]))
            ++i;
        if (i >= line.size()) return std::nullopt;
        size_t start = i;
        while (i < line.size() && !sep(line[i]))
            ++i;
        if (n == index) return std::string(line.substr(start, i - start));
    }
}

class Expander {
public:
    Expander(const Graph& g, const FieldSources& s) : graph_(g), sources_(s) {}

    ExpandedLine expand(std::string_view src) {
        ExpandedLine out;
        line_ = &out;
        size_t i = 0;
        while (i < src.size()) {
            unsigned char c = static_cast<unsigned char>(src[i]);
            if (is_sjis_lead(c) && i + 1 < src.size()) {
                append(src.substr(i, 2));
                i += 2;
            } else if (c == '\\' && i + 1 < src.size()) {
                // The escape travels on to run layout, and keeps "\%" out of field expansion.
                append(src.substr(i, 2));
                i += 2;
            } else if (c == '%' && i + 1 < src.size() && src[i + 1] != '\\') {
                i = field(src, i);
            } else {
                append(src.substr(i, 1));
                ++i;
            }
        }
        return out;
    }

private:
    void append(std::string_view text) {
        std::string& t = line_->text;
        size_t room = RICH_LINE_CAPACITY - 1 - t.size();
        t.append(text.substr(0, std::min(room, text.size())));
    }
    void append_field(std::string text) {
        if (text.size() > RICH_LINE_CAPACITY - 1) text.resize(RICH_LINE_CAPACITY - 1);
        append(text);
    }

    std::optional<Stamp> document_time() const {
        if (graph_.file_name.empty()) return std::nullopt;
        return sources_.file_time(native_path(graph_.file_name));
    }

    // Expands the field at src[i] == '%' and returns the position after it.
    size_t field(std::string_view src, size_t i) {
        char code = src[i + 1];
        switch (code) {
        case 'Q': {
            auto v = digits(src, i + 2, 3);
            if (!v) break;
            if (*v >= 1 && *v <= 255) append_field(std::string{'\\', static_cast<char>(*v)});
            return i + 5;
        }
        case 'D':
        case 'd': {
            if (auto t = document_time()) append_field(format_date(*t, code == 'D'));
            return i + 2;
        }
        case 'M':
        case 'm':
            append_field(format_date(sources_.now(), code == 'M'));
            return i + 2;
        case 'T':
        case 't': {
            if (auto t = document_time()) append_field(format_time(*t, code == 'T'));
            return i + 2;
        }
        case 'V':
        case 'v':
            append_field(format_time(sources_.now(), code == 'V'));
            return i + 2;
        case 'N':
        case 'n':
            append_field(file_name_field(graph_.file_name, code == 'N'));
            return i + 2;
        case 'W': {
            auto v = digits(src, i + 2, 3);
            if (!v) break;
            line_->advance = static_cast<int32_t>(int64_t(*v) * graph_.Magnification / 10);
            return i + 5;
        }
        default:
            if (auto dd = digits(src, i + 1, 2); dd && i + 3 < src.size())
                return series_field(src, i, *dd);
            break;
        }
        append(src.substr(i, 2));
        return i + 2;
    }

    size_t series_field(std::string_view src, size_t i, int dd) {
        char code = src[i + 3];
        int index = series_for_number(graph_, dd);
        if (index >= 0) {
            const std::string path = native_path(graph_.series[index].file_name);
            switch (code) {
            case 'C': {
                auto ll = digits(src, i + 4, 2);
                auto cc = digits(src, i + 6, 2);
                if (!ll || !cc) break;
                auto line = sources_.file_line(path, *ll, RICH_LINE_CAPACITY - 1);
                std::optional<std::string> text;
                if (line) text = *cc == 0 ? line : line_field(*line, *cc);
                if (!text) break; // unreadable: the code stays, drawn as typed
                append_field(*text);
                return i + 8;
            }
            case 'D':
            case 'd':
                if (auto t = sources_.file_time(path)) append_field(format_date(*t, code == 'D'));
                return i + 4;
            case 'T':
            case 't':
                if (auto t = sources_.file_time(path)) append_field(format_time(*t, code == 'T'));
                return i + 4;
            case 'N':
            case 'n':
                append_field(file_name_field(graph_.series[index].file_name, code == 'N'));
                return i + 4;
            default:
                break;
            }
        }
        append(src.substr(i, 4));
        return i + 4;
    }

    const Graph& graph_;
    const FieldSources& sources_;
    ExpandedLine* line_ = nullptr;
};

} // namespace

Stamp FieldSources::now() const {
    return stamp_of(std::time(nullptr)).value_or(Stamp{});
}

std::optional<Stamp> FieldSources::file_time(const std::string& path) const {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    return stamp_of(st.st_mtime);
}

std::optional<std::string> FieldSources::file_line(const std::string& path, int number,
                                                   size_t max_bytes) const {
    if (number < 1) return std::nullopt;
    const int fd = files::open_regular(path);
    if (fd < 0) return std::nullopt;
    std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(::fdopen(fd, "rb"), std::fclose);
    if (!file) {
        ::close(fd);
        return std::nullopt;
    }
    std::string line;
    for (int n = 1; n <= number; ++n) {
        line.clear();
        // Keep only the head of a long line, so a huge one costs no memory.
        int ch;
        bool any = false;
        while ((ch = std::getc(file.get())) != EOF && ch != '\n') {
            any = true;
            if (line.size() < max_bytes) line.push_back(static_cast<char>(ch));
        }
        if (ch == EOF && !any) return std::nullopt;
    }
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return line;
}

const FieldSources& system_field_sources() {
    static const FieldSources sources;
    return sources;
}

int series_for_number(const Graph& graph, int number) {
    int wanted = number == 0 ? 1 : number;
    int count = std::min<int>(graph.series_count, MAX_SERIES);
    for (int i = 0, seen = 0; i < count; ++i) {
        if (!graph.count_all_series && !graph.series[i].shown) continue;
        if (++seen == wanted) return i;
    }
    return -1;
}

std::string file_name_field(std::string_view path, bool upper) {
    size_t cut = path.find_last_of("/\\");
    std::string_view name = cut == std::string_view::npos ? path : path.substr(cut + 1);
    if (path.empty()) name = "(Untitled)";
    std::string out;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        if (is_sjis_lead(c) && i + 1 < name.size()) {
            out.append(name.substr(i, 2));
            ++i;
            continue;
        }
        if (c == '_') out.push_back('\\');
        if (c < 0x80) c = static_cast<unsigned char>(upper ? std::toupper(c) : std::tolower(c));
        out.push_back(static_cast<char>(c));
    }
    return out;
}

std::vector<ExpandedLine> expand_fields(const Graph& graph, std::string_view markup,
                                        const FieldSources& sources) {
    std::vector<ExpandedLine> lines;
    Expander expander(graph, sources);
    size_t start = 0;
    for (size_t i = 0;;) {
        if (i >= markup.size()) {
            lines.push_back(expander.expand(markup.substr(start)));
            break;
        }
        unsigned char c = static_cast<unsigned char>(markup[i]);
        if ((is_sjis_lead(c) || c == '\\') && i + 1 < markup.size()) {
            if (c == '\\' && markup[i + 1] == 'n') {
                lines.push_back(expander.expand(markup.substr(start, i - start)));
                start = i + 2;
            }
            i += 2;
        } else {
            ++i;
        }
    }
    return lines;
}

std::string renumber_series_references(std::string_view s, const std::vector<int>& new_index) {
    std::string out;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = static_cast<unsigned char>(s[i]);
        if ((is_sjis_lead(c) || c == '\\') && i + 1 < s.size()) {
            out.append(s.substr(i, 2));
            i += 2;
            continue;
        }
        auto dd = c == '%' ? digits(s, i + 1, 2) : std::nullopt;
        if (!dd || *dd == 0) {
            out.push_back(s[i]);
            ++i;
            continue;
        }
        int old = *dd - 1;
        int now = old < static_cast<int>(new_index.size()) ? new_index[old] : -1;
        if (now >= 0) {
            char buf[16];
            std::snprintf(buf, sizeof buf, "%%%02d", now + 1);
            out += buf;
            i += 3;
        } else {
            i = std::min(s.size(), i + 4); // the number and its field letter
            if (s.substr(i, 2) == "\\n") i += 2;
        }
    }
    return out;
}

void renumber_series_references(Graph& graph, const std::vector<int>& new_index) {
    for (GraphObject& o : graph.objects) {
        if (!o.used || o.Type < object_type::TitleX || o.Type > object_type::Text) continue;
        set_text(o.Str, renumber_series_references(o.Str, new_index), OBJECT_TEXT_CAPACITY);
    }
}

} // namespace plox
