// Path splitting, case-insensitive lookup, relocation of moved directory trees and the
// resolution of series and picture paths after a document is read.
#include "document/paths.h"

#include "document/model.h"

#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <system_error>

namespace fs = std::filesystem;

namespace plox::paths {
namespace {

bool is_sjis_lead(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}
bool is_sjis_trail(unsigned char c) {
    return c >= 0x40 && c <= 0xFC && c != 0x7F;
}

// Positions of the separators of `path`, skipping Shift-JIS trail bytes (0x5C is one).
template <typename F> void for_each_separator(std::string_view path, F&& f) {
    for (size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (is_sjis_lead(c) && i + 1 < path.size() &&
            is_sjis_trail(static_cast<unsigned char>(path[i + 1]))) {
            ++i;
            continue;
        }
        if (c == '/' || c == '\\') f(i);
    }
}

char fold(char c) {
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c - 'A' + 'a');
    if (c == '\\') return '/';
    return c;
}

std::string with_slashes(std::string_view path) {
    std::string s(path);
    for_each_separator(path, [&](size_t i) { s[i] = '/'; });
    return s;
}

bool is_rooted(std::string_view path) {
    return has_drive(path) || (!path.empty() && (path[0] == '/' || path[0] == '\\'));
}

bool is_file(const std::string& p) {
    std::error_code ec;
    return fs::exists(p, ec) && !fs::is_directory(p, ec);
}

std::string ensure_trailing_separator(std::string dir) {
    if (!dir.empty() && dir.back() != '/' && dir.back() != '\\') dir += '/';
    return dir;
}

// Case-insensitive search for `needle` in `hay`, separators counted equal; npos when absent.
size_t find_nocase(std::string_view hay, std::string_view needle) {
    if (needle.size() > hay.size()) return std::string_view::npos;
    for (size_t i = 0; i + needle.size() <= hay.size(); ++i)
        if (equal_nocase(hay.substr(i, needle.size()), needle)) return i;
    return std::string_view::npos;
}

} // namespace

size_t name_start(std::string_view path) {
    size_t start = has_drive(path) ? 2 : 0;
    for_each_separator(path, [&](size_t i) { start = i + 1; });
    return start;
}

std::string_view directory_of(std::string_view path) {
    return path.substr(0, name_start(path));
}
std::string_view file_name_of(std::string_view path) {
    return path.substr(name_start(path));
}

std::string_view stem_of(std::string_view path) {
    const std::string_view name = file_name_of(path);
    const size_t dot = name.rfind('.');
    return dot == std::string_view::npos || dot == 0 ? name : name.substr(0, dot);
}

std::string display_name(std::string_view path) {
    return path.empty() ? std::string("(Untitled)") : std::string(file_name_of(path));
}

bool has_drive(std::string_view path) {
    return path.size() >= 2 && path[1] == ':' &&
           ((path[0] >= 'A' && path[0] <= 'Z') || (path[0] >= 'a' && path[0] <= 'z'));
}

bool has_directory(std::string_view path) {
    return name_start(path) > (has_drive(path) ? 2u : 0u);
}

bool equal_nocase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (fold(a[i]) != fold(b[i])) return false;
    return true;
}

std::string absolute(std::string_view path) {
    std::error_code ec;
    fs::path p = fs::absolute(fs::path(std::string(path)), ec);
    if (ec) return std::string(path);
    return p.lexically_normal().string();
}

std::optional<std::string> find_existing(std::string_view path) {
    if (path.empty() || has_drive(path)) return std::nullopt;
    std::string direct(path);
    if (is_file(direct)) return direct;
    const std::string slashed = with_slashes(path);
    if (is_file(slashed)) return slashed;

    // Walk component by component, taking the first case-insensitive match where the exact
    // name is absent.
    std::string current = slashed[0] == '/' ? "/" : "";
    size_t pos = 0;
    while (pos <= slashed.size()) {
        size_t next = slashed.find('/', pos);
        if (next == std::string::npos) next = slashed.size();
        const std::string part = slashed.substr(pos, next - pos);
        pos = next + 1;
        if (part.empty() || part == ".") continue;
        std::string candidate = current + part;
        std::error_code ec;
        if (!fs::exists(candidate, ec)) {
            bool found = false;
            const fs::path dir = current.empty() ? fs::path(".") : fs::path(current);
            for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
                const std::string name = it->path().filename().string();
                if (equal_nocase(name, part)) {
                    candidate = current + name;
                    found = true;
                    break;
                }
            }
            if (!found) return std::nullopt;
        }
        current = candidate;
        if (next < slashed.size()) current += '/';
    }
    if (is_file(current)) return current;
    return std::nullopt;
}

std::string relocate(std::string_view series_dir, std::string_view saved_dir,
                     std::string_view doc_dir) {
    size_t common = 0;
    while (common < series_dir.size() && common < saved_dir.size() &&
           fold(series_dir[common]) == fold(saved_dir[common]))
        ++common;
    // Cut back to just after the last separator inside the common beginning.
    size_t cut = 0;
    for_each_separator(series_dir.substr(0, common), [&](size_t i) { cut = i + 1; });
    const std::string rest_series = with_slashes(series_dir.substr(cut));
    const std::string_view rest_saved = saved_dir.substr(cut);
    const std::string doc = ensure_trailing_separator(std::string(doc_dir));
    if (!rest_saved.empty()) {
        const size_t at = find_nocase(doc, rest_saved);
        if (at != std::string_view::npos) return doc.substr(0, at) + rest_series;
    }
    return doc + rest_series;
}

std::vector<int> resolve_paths(Graph& g, const ResolveOptions& o) {
    const std::string doc_dir =
        ensure_trailing_separator(std::string(directory_of(absolute(o.document_path))));
    const std::string saved_dir(directory_of(o.saved_path));
    const std::string temp_dir = ensure_trailing_separator(o.temp_dir);
    std::vector<int> missing;

    for (int i = 0; i < g.series_count && i < MAX_SERIES; ++i) {
        Series& s = g.series[i];
        if (s.kind == kind::Function) continue;
        std::string p = s.file_name;
        const std::string name(file_name_of(p));
        if (!o.data_embedded && !p.empty() && !is_rooted(p)) p = doc_dir + with_slashes(p);
        if (o.data_embedded && o.prefer_temp && !name.empty()) p = temp_dir + name;

        std::optional<std::string> found = name.empty() ? std::nullopt : find_existing(p);
        if (!found && o.data_embedded && !name.empty()) found = find_existing(temp_dir + name);
        if (!found && !name.empty() && !saved_dir.empty())
            found = find_existing(relocate(directory_of(p), saved_dir, doc_dir) + name);
        if (!found && !name.empty()) found = find_existing(doc_dir + name);

        if (found)
            set_text(s.file_name, *found, PATH_CAPACITY);
        else {
            set_text(s.file_name, p, PATH_CAPACITY);
            missing.push_back(i);
        }
    }

    for (GraphObject& obj : g.objects) {
        if (!obj.used || obj.Type != object_type::Picture || obj.Str.empty()) continue;
        std::string p = obj.Str;
        if (o.data_embedded)
            p = temp_dir + std::string(file_name_of(p));
        else if (!is_rooted(p))
            p = doc_dir + with_slashes(p);
        if (auto found = find_existing(p)) p = *found;
        set_text(obj.Str, p, PATH_CAPACITY);
    }
    return missing;
}

std::string open_error_message(int error, std::string_view path, bool creating) {
    const std::string name = display_name(path);
    const char* format = "FileOpen Error %s";
    switch (error) {
    case ENOENT:
    case ENOTDIR:
        format = creating ? "%s: 作成できません。" : "%s が見つかりません。";
        break;
    case EROFS:
        format = "書き込み禁止エラーです。(%s)";
        break;
    case EBUSY:
    case ETXTBSY:
        format = "%s: 共有違反です。";
        break;
    case EACCES:
    case EPERM:
    case EISDIR:
    case ENOSPC:
    case ENAMETOOLONG:
        if (creating) format = "%s: 作成できません。";
        break;
    default:
        break;
    }
    char text[PATH_CAPACITY + 64];
    std::snprintf(text, sizeof text, format, name.c_str());
    return text;
}

} // namespace plox::paths
