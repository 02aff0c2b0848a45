// Writing and extracting the [DATA] section.
#include "document/data_section.h"

#include "document/document_io.h"
#include "document/file_access.h"
#include "document/paths.h"
#include "document/prompter.h"

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sys/stat.h>
#include <unistd.h>

namespace fs = std::filesystem;

namespace plox {
namespace {

constexpr std::string_view END_OF_DATA = "[End of Data]";

std::optional<std::time_t> last_write(const std::string& path) {
    std::error_code ec;
    const auto t = fs::last_write_time(path, ec);
    if (ec) return std::nullopt;
    return std::chrono::system_clock::to_time_t(std::chrono::file_clock::to_sys(t));
}

struct Stamp {
    std::string name;
    bool has_time = false;
    std::tm time{};
    bool has_size = false;
    uint64_t size = 0;
};

// "[name] y-m-d hh:mm:ss low high"; false when the line holds no bracketed name.
bool parse_stamp(std::string_view line, Stamp& st) {
    if (line.empty() || line[0] != '[') return false;
    const size_t close = line.find(']');
    if (close == std::string_view::npos) return false;
    st.name.assign(line.substr(1, close - 1));
    std::string rest(line.substr(close + 1));
    // Date and time separators read as spaces, so that the values scan as plain numbers.
    const size_t time_end =
        rest.find(' ', rest.find(':') == std::string::npos ? rest.size() : rest.find(':'));
    for (size_t i = 0; i < rest.size() && i < time_end; ++i)
        if (rest[i] == '-' || rest[i] == ':') rest[i] = ' ';
    int32_t v[6] = {0, 0, 0, 0, 0, 0};
    Scan sc(rest);
    for (int32_t& x : v)
        sc.i32(x);
    if (sc.count() < 6) return true;
    // Only dates a file can carry count as a stamp time; sizes are read regardless.
    st.has_time = v[0] >= 1970 && v[0] <= 2200 && v[1] >= 1 && v[1] <= 12 && v[2] >= 1 &&
                  v[2] <= 31 && v[3] >= 0 && v[3] <= 23 && v[4] >= 0 && v[4] <= 59 && v[5] >= 0 &&
                  v[5] <= 61;
    st.time.tm_year = v[0] - 1900;
    st.time.tm_mon = v[1] - 1;
    st.time.tm_mday = v[2];
    st.time.tm_hour = v[3];
    st.time.tm_min = v[4];
    st.time.tm_sec = v[5];
    st.time.tm_isdst = -1;
    uint32_t low = 0, high = 0;
    Scan sizes(sc.rest());
    sizes.hex32(low).hex32(high);
    if (sizes.count() >= 1) {
        st.has_size = true;
        st.size = (uint64_t{high} << 32) | low;
    }
    return true;
}

bool same_moment(const std::tm& a, const std::tm& b) {
    return a.tm_year == b.tm_year && a.tm_mon == b.tm_mon && a.tm_mday == b.tm_mday &&
           a.tm_hour == b.tm_hour && a.tm_min == b.tm_min && a.tm_sec == b.tm_sec;
}

// A stamp name must stay a plain file name inside the temporary directory.
bool safe_name(std::string_view name) {
    return !name.empty() && name != "." && name != ".." && paths::name_start(name) == 0 &&
           name.find('/') == std::string_view::npos && name.find('\\') == std::string_view::npos;
}

void report(IoContext& ctx, std::string_view title, std::string_view text) {
    if (ctx.prompter) ctx.prompter->message(title, text, Buttons::Ok, Icon::Error);
}

void remember_extracted(IoContext& ctx, const std::string& path) {
    bool known = false;
    for (const std::string& p : ctx.extracted_files)
        known = known || paths::equal_nocase(p, path);
    if (!known) ctx.extracted_files.push_back(path);
    if (ctx.extracted_list_path.empty()) return;
    char record[PATH_CAPACITY] = {};
    path.copy(record, PATH_CAPACITY - 1);
    std::ofstream list(ctx.extracted_list_path, std::ios::binary | std::ios::app);
    list.write(record, sizeof record);
}

// Whether an existing target is to be replaced.
bool may_overwrite(IoContext& ctx, const Stamp& st, const std::string& target, bool ask) {
    if (!files::exists_entry(target)) return true;
    // Whatever is there that is not a regular file (a planted link, a FIFO) is replaced.
    struct stat entry {};
    if (::lstat(target.c_str(), &entry) != 0 || !S_ISREG(entry.st_mode)) return true;
    if (st.has_time) {
        if (const auto t = last_write(target); t && same_moment(stamp_time(*t), st.time))
            return false;
    }
    if (!ask || !ctx.ask_before_overwrite || ctx.overwrite_all || !ctx.ask_overwrite) return true;
    switch (ctx.ask_overwrite(st.name)) {
    case OverwriteAnswer::Keep:
        return false;
    case OverwriteAnswer::OverwriteAll:
        ctx.overwrite_all = true;
        return true;
    case OverwriteAnswer::Overwrite:
        return true;
    }
    return true;
}

void set_stamp_time(const std::string& target, std::tm tm) {
    const std::time_t t = std::mktime(&tm);
    if (t == static_cast<std::time_t>(-1)) return;
    std::error_code ec;
    fs::last_write_time(
        target, std::chrono::file_clock::from_sys(std::chrono::system_clock::from_time_t(t)), ec);
}

} // namespace

std::string temp_directory(const IoContext& ctx) {
    std::string dir = ctx.temp_dir;
    if (dir.empty()) {
        std::error_code ec;
        dir = fs::temp_directory_path(ec).string();
        if (ec || dir.empty()) dir = "/tmp";
    }
    if (dir.back() != '/') dir += '/';
    return dir;
}

std::tm stamp_time(std::time_t t) {
    std::tm tm{};
    localtime_r(&t, &tm);
    tm.tm_sec &= ~1;
    return tm;
}

std::vector<std::string> data_section_files(const std::vector<const Graph*>& graphs) {
    std::vector<std::string> files;
    auto add = [&](const std::string& path) {
        if (path.empty()) return;
        std::erase_if(files, [&](const std::string& p) { return paths::equal_nocase(p, path); });
        files.push_back(path);
    };
    for (const Graph* g : graphs) {
        for (int i = 0; i < g->series_count && i < MAX_SERIES; ++i)
            if (g->series[i].kind != kind::Function) add(g->series[i].file_name);
        for (const GraphObject& o : g->objects)
            if (o.used && o.Type == object_type::Picture) add(o.Str);
    }
    return files;
}

void write_data_blocks(LineWriter& w, const std::vector<std::string>& data_files, IoContext& ctx) {
    for (const std::string& path : data_files) {
        std::string bytes;
        const auto when = last_write(path);
        int error = 0;
        if (!when) continue;
        // Devices and FIFOs are never embedded: they would block or never end.
        if (!files::read_regular(path, bytes, error)) {
            if (error == EINVAL || error == EISDIR)
                report(ctx, "エラー", "通常のファイルではないため埋め込みません: " + path);
            continue;
        }
        const std::tm tm = stamp_time(*when);
        const std::string name(paths::file_name_of(path));
        const uint64_t size = bytes.size();
        char stamp[PATH_CAPACITY + 80];
        std::snprintf(stamp, sizeof stamp, "[%s] %d-%d-%d %2d:%02d:%02d %08lx %08lx", name.c_str(),
                      tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                      tm.tm_sec, static_cast<unsigned long>(size & 0xFFFFFFFFu),
                      static_cast<unsigned long>(size >> 32));
        w.line(stamp);
        w.text(bytes);
        w.line(END_OF_DATA).line("");
    }
}

bool extract_data_blocks(LineReader& r, IoContext& ctx, bool ask, std::string_view end_line) {
    const std::string dir = temp_directory(ctx);
    while (auto line = r.next(0)) {
        Stamp st;
        if (!parse_stamp(*line, st)) continue;
        const bool safe = safe_name(st.name);
        const std::string target = dir + st.name;
        const bool write = safe && may_overwrite(ctx, st, target, ask);
        if (!safe) report(ctx, "エラー", "不正なデータ名のため展開しません: " + st.name);

        std::string content;
        if (st.has_size) {
            const std::string_view bytes = r.bytes(st.size);
            if (bytes.size() < st.size) {
                report(ctx, "エラー", "データが途中で切れています: " + st.name);
                return false;
            }
            if (write) content.assign(bytes);
            r.next(0); // the rest of the line: "[End of Data]"
            r.skip_empty_line();
        } else {
            // Older documents: lines up to "[End of Data]", each restored with CR LF.
            while (auto l = r.next(0)) {
                if (*l == end_line) break;
                if (write) content.append(*l).append("\r\n");
            }
            r.skip_empty_line();
        }
        if (!write) continue;

        // Created fresh, never through a link or into a FIFO planted under the name.
        const int fd = files::create_fresh(target);
        if (fd < 0) {
            report(ctx, paths::OPEN_ERROR_TITLE, paths::open_error_message(errno, target, true));
            return false;
        }
        bool written = true;
        for (size_t done = 0; written && done < content.size();) {
            const ssize_t n = ::write(fd, content.data() + done, content.size() - done);
            if (n < 0 && errno == EINTR) continue;
            written = n > 0;
            if (written) done += static_cast<size_t>(n);
        }
        written = ::close(fd) == 0 && written;
        if (!written) {
            report(ctx, "Error", "File write error!");
            return false;
        }
        if (st.has_time) set_stamp_time(target, st.time);
        remember_extracted(ctx, target);
    }
    return true;
}

} // namespace plox
