// The data file reader: line splitting, field rules and the counters of load_columns.
#include "data/reader.h"

#include "document/large_memory.h"
#include "document/paths.h"

#include <fast_float/fast_float.h>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>

#include "data/converter.h"
#include "document/model.h"
#include "document/prompter.h"

namespace plox {

namespace {

// Large blocks keep the pass to one read per quarter megabyte; any block holds a whole line.
constexpr size_t BLOCK_SIZE = 256 * 1024;
static_assert(BLOCK_SIZE >= LOADER_LINE_SIZE && BLOCK_SIZE >= TEXT_FIELD_LINE_SIZE);

inline bool is_digit(char c) {
    return c >= '0' && c <= '9';
}
inline bool is_line_end(char c) {
    return c == '\0' || c == '\r' || c == '\n';
}

// What a byte is to field splitting; a tab is a space or a comma as TabEqSpc says.
enum CharClass : uint8_t { Token, Space, Comma, TextEnd };

struct CharClasses {
    std::array<CharClass, 256> of{};
    explicit constexpr CharClasses(bool tab_is_space) {
        of.fill(Token);
        of[' '] = Space;
        of[','] = Comma;
        of['\t'] = tab_is_space ? Space : Comma;
        of['\0'] = of['\n'] = TextEnd; // a CR inside a line belongs to its field
    }
};
constexpr CharClasses TAB_AS_SPACE{true}, TAB_AS_COMMA{false};

// Position of field `field` after its leading spaces, or nullptr when the line has no such
// field. A run of spaces, a comma, or spaces followed by one comma make one separator.
const char* locate_field(const char* p, const char* e, int field, bool tab_is_space) {
    const auto& classes = (tab_is_space ? TAB_AS_SPACE : TAB_AS_COMMA).of;
    const auto at = [&classes](const char* q) { return classes[static_cast<unsigned char>(*q)]; };
    for (int i = 0; i < field; ++i) {
        while (p < e && at(p) == Space)
            ++p;
        while (p < e && at(p) == Token)
            ++p;
        while (p < e && at(p) == Space)
            ++p;
        if (p < e && at(p) == Comma) ++p;
        if (p == e || at(p) == TextEnd) return nullptr;
    }
    while (p < e && at(p) == Space)
        ++p;
    return p;
}

// Longest numeric prefix at p (sign, digits, point, digits, exponent with "e", "E" or "D");
// 0 when no digit converts, as strtod would give.
double number_prefix(const char* p, const char* e) {
    bool negative = false;
    if (p < e && (*p == '+' || *p == '-')) {
        negative = *p == '-';
        ++p;
    }
    const char* begin = p;
    // Most numbers are plain decimals that the converter can take directly; it stops where our
    // grammar does, except at a "D" exponent, which the scan below handles.
    if (p < e && (is_digit(*p) || *p == '.')) {
        double value = 0;
        const auto r = fast_float::from_chars(begin, e, value);
        if (r.ec == std::errc() && (r.ptr == e || *r.ptr != 'D')) {
            if (!std::isfinite(value)) return ERROR_VALUE;
            return negative ? -value : value;
        }
    }
    bool digits = false;
    while (p < e && is_digit(*p))
        ++p, digits = true;
    if (p < e && *p == '.') {
        ++p;
        while (p < e && is_digit(*p))
            ++p, digits = true;
    }
    if (!digits) return 0.0;
    const char* exponent = nullptr;
    if (p < e && (*p == 'e' || *p == 'E' || *p == 'D')) {
        const char* t = p + 1;
        if (t < e && (*t == '+' || *t == '-')) ++t;
        if (t < e && is_digit(*t)) {
            exponent = p;
            while (t < e && is_digit(*t))
                ++t;
            p = t;
        }
    }
    double value = 0;
    if (exponent && *exponent == 'D') {
        std::string copy(begin, p);
        copy[exponent - begin] = 'e';
        fast_float::from_chars(copy.data(), copy.data() + copy.size(), value);
    } else {
        fast_float::from_chars(begin, p, value);
    }
    // Out-of-range numbers would become infinities that no later stage expects.
    if (!std::isfinite(value)) return ERROR_VALUE;
    return negative ? -value : value;
}

std::optional<double> value_at(const char* p, const char* e) {
    if (!p || p == e) return std::nullopt;
    const char c = *p;
    if (c == '=') return ERROR_VALUE;
    if (is_digit(c) || c == '+' || c == '-' || c == '.') return number_prefix(p, e);
    return std::nullopt;
}

inline std::optional<double> field_of(std::string_view line, int field, bool tab_is_space) {
    const char* b = line.data();
    const char* e = b + line.size();
    return value_at(locate_field(b, e, field, tab_is_space), e);
}

// Error-bar element: the base value shifted by an offset field, ERROR_VALUE when either is
// missing or invalid.
inline double offset(double base, std::optional<double> field, double sign) {
    if (!field || !is_valid(*field) || !is_valid(base)) return ERROR_VALUE;
    return base + sign * *field;
}

void run_converter(Series& series, const DataContext& context) {
    if (!context.converter) return;
    if (series.converted_file_name.size() < 3) {
        std::error_code ec;
        std::string pattern = (std::filesystem::temp_directory_path(ec) / "QVTXXXXXX").string();
        if (ec) pattern = "/tmp/QVTXXXXXX";
        const int fd = ::mkstemp(pattern.data());
        if (fd < 0) return;
        ::close(fd);
        series.converted_file_name = pattern;
        if (context.temporary_files) context.temporary_files->add(pattern);
    }
    context.converter->convert_file(series.file_name, series.converted_file_name, series.Converter);
}

} // namespace

LineReader::~LineReader() {
    close();
}

bool LineReader::open(const std::string& path) {
    close();
    if (path.empty()) {
        errno = ENOENT;
        return false;
    }
    // Non-blocking so that a FIFO cannot stall the open; only regular files are read, since a
    // device such as /dev/zero would never end.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return false;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        errno = error;
        return false;
    }
    fd_ = fd;
    file_size_ = static_cast<size_t>(st.st_size);
    buffer_.resize(BLOCK_SIZE);
    begin_ = end_ = 0;
    eof_ = false;
    return true;
}

void LineReader::fill(bool to_lf) {
    while (end_ < buffer_.size()) {
        const ssize_t got = ::read(fd_, buffer_.data() + end_, buffer_.size() - end_);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            eof_ = true;
            break;
        }
        end_ += static_cast<size_t>(got);
        if (to_lf && std::memchr(buffer_.data() + end_ - got, '\n', static_cast<size_t>(got)))
            break;
    }
}

size_t LineReader::estimated_lines() {
    if (fd_ < 0) return 0;
    if (begin_ == end_ && !eof_) {
        begin_ = end_ = 0;
        fill(false);
    }
    const size_t sample = end_ - begin_;
    if (sample == 0) return 0;
    const char* p = buffer_.data() + begin_;
    const size_t lines = static_cast<size_t>(std::count(p, p + sample, '\n'));
    if (eof_) return lines + (p[sample - 1] != '\n');
    // Lines of the rest of the file are taken to be as long as those of the sample.
    const double per_byte = static_cast<double>(std::max<size_t>(lines, 1)) / sample;
    return static_cast<size_t>(per_byte * static_cast<double>(file_size_)) + 1;
}

void LineReader::close() {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    eof_ = true;
}

std::optional<std::string_view> fetch_line(LineReader& reader, size_t size) {
    if (reader.fd_ < 0 || size < 2) return std::nullopt;
    const size_t limit = std::min(size - 1, reader.buffer_.size());
    size_t copied = 0;
    bool found_lf = false;
    for (;;) {
        const size_t available = reader.end_ - reader.begin_;
        const size_t look = std::min(available, limit);
        const char* start = reader.buffer_.data() + reader.begin_;
        if (const void* lf = std::memchr(start, '\n', look)) {
            copied = static_cast<const char*>(lf) - start + 1;
            found_lf = true;
            break;
        }
        if (available >= limit || reader.eof_) {
            copied = look;
            break;
        }
        // Keep the partial line and fill the rest of the block.
        if (reader.begin_ > 0) {
            std::memmove(reader.buffer_.data(), start, available);
            reader.end_ = available;
            reader.begin_ = 0;
        }
        reader.fill(true);
    }
    if (copied == 0) return std::nullopt;
    const char* line = reader.buffer_.data() + reader.begin_;
    reader.begin_ += copied;
    size_t length = copied;
    if (copied >= 2 && line[copied - 2] == '\r') {
        length = copied - 2;
    } else if (line[copied - 1] == 0x1A) {
        if (copied == 1) return std::nullopt;
        length = copied - 1;
    } else if (found_lf) {
        length = copied - 1;
    }
    return std::string_view(line, length);
}

std::optional<double> field_value(std::string_view line, int field, bool tab_is_space) {
    if (field < 0) return std::nullopt;
    return field_of(line, field, tab_is_space);
}

namespace {

// The two fields a load kind reads: columns, or -1 for the line number.
struct FieldPair {
    int first, second;
};

// The fields of `kind` for the series (`column` for load_kind::Column); nothing when the kind
// is unknown or needs a column the series does not have.
std::optional<FieldPair> fields_for(const Series& series, int kind, int column) {
    FieldPair f{.first = series.ColumnX, .second = series.ColumnY};
    switch (kind) {
    case load_kind::XY:
        break;
    case load_kind::XErrorOffsets:
    case load_kind::XErrorSymmetric:
        if (series.ColumnX < 0) return std::nullopt;
        break;
    case load_kind::YErrorOffsets:
    case load_kind::YErrorSymmetric:
        if (series.ColumnY < 0) return std::nullopt;
        break;
    case load_kind::Column:
        f.first = column;
        break;
    case load_kind::XAndNext:
        f.second = series.ColumnX + 1;
        break;
    case load_kind::YAndNext:
        f = {.first = series.ColumnY, .second = series.ColumnY + 1};
        break;
    default:
        return std::nullopt;
    }
    return f;
}

// Appends what one line gives for `kind`: the two values, or the ends of an error bar around
// `a` (x errors) or `b` (y errors) from the fields that follow.
void store_line(LoadedColumns& out, int kind, std::string_view line, FieldPair fields, double a,
                double b, bool tab_is_space) {
    switch (kind) {
    case load_kind::XY:
    case load_kind::XAndNext:
    case load_kind::YAndNext:
        out.first.push_back(a);
        out.second.push_back(b);
        break;
    case load_kind::Column:
        out.first.push_back(a);
        break;
    case load_kind::XErrorOffsets:
        out.first.push_back(offset(a, field_of(line, fields.first + 1, tab_is_space), 1));
        out.second.push_back(offset(a, field_of(line, fields.first + 2, tab_is_space), 1));
        break;
    case load_kind::YErrorOffsets:
        out.first.push_back(offset(b, field_of(line, fields.second + 1, tab_is_space), 1));
        out.second.push_back(offset(b, field_of(line, fields.second + 2, tab_is_space), 1));
        break;
    case load_kind::XErrorSymmetric: {
        const auto f = field_of(line, fields.first + 1, tab_is_space);
        out.first.push_back(offset(a, f, -1));
        out.second.push_back(offset(a, f, 1));
        break;
    }
    case load_kind::YErrorSymmetric: {
        const auto f = field_of(line, fields.second + 1, tab_is_space);
        out.first.push_back(offset(b, f, -1));
        out.second.push_back(offset(b, f, 1));
        break;
    }
    }
}

// Points a file of about `lines` lines gives: lines from `start` on, every `step`th, at most
// `limit`; a little more, since the count is an estimate.
size_t expected_points(size_t lines, int64_t start, int64_t step, int64_t limit) {
    const int64_t from_start = std::max<int64_t>(static_cast<int64_t>(lines) - start, 0);
    const int64_t taken = std::min({(from_start + step - 1) / step, limit, int64_t{MAX_POINTS}});
    return static_cast<size_t>(std::min<int64_t>(taken + taken / 32 + 16, MAX_POINTS));
}

// Reserving the whole column at once spares the copies and fresh-page faults of a vector
// that doubles its way up to hundreds of thousands of values.
void reserve_column(std::vector<double>& column, size_t points) {
    column.reserve(large_page_capacity(points, sizeof(double)));
    advise_large_pages(column.data(), column.capacity() * sizeof(double));
}

} // namespace

std::optional<LoadedColumns> read_columns(Series& series, int kind, int column,
                                          const DataContext& context) {
    const auto fields = fields_for(series, kind, column);
    if (!fields) return std::nullopt;

    std::string path = series.file_name;
    if (series.Converter != 0) {
        if (series.converted_file_name.size() < 2) run_converter(series, context);
        path = series.converted_file_name;
    }
    LineReader reader;
    if (!reader.open(path)) return std::nullopt;

    if (series.Step < 1) series.Step = 1;
    if (series.XAvr < 0) series.XAvr = 0;
    if (series.YAvr < 0) series.YAvr = 0;
    const int64_t start = std::max<int32_t>(series.Start, 0);
    const int64_t step = series.Step;
    const int64_t limit = series.End < 0 ? MAX_POINTS : series.End;
    const bool abs_line = series.AbsLine != 0;
    const bool skip_comment = series.SkipComment != 0;
    const bool tab_is_space = series.TabEqSpc != 0;

    LoadedColumns out;
    const size_t expected = expected_points(reader.estimated_lines(), start, step, limit);
    reserve_column(out.first, expected);
    if (kind != load_kind::Column) reserve_column(out.second, expected);

    int64_t j = 0, d = skip_comment ? 1 : 0, q = 0, n = 0;
    while (const auto fetched = fetch_line(reader, LOADER_LINE_SIZE)) {
        const std::string_view line = *fetched;
        ++j;
        if (j - 1 < start) continue;
        if (q >= step) q = 0;
        if (!skip_comment) {
            if (++q != 1) continue;
            ++d;
        }
        if (!line.empty() && (line[0] == '#' || line[0] == '%' || line[0] == '\'')) continue;
        if (abs_line && j > limit) break;

        const char* end = line.data() + line.size();
        const char* first_at = nullptr;
        std::optional<double> a;
        if (fields->first < 0) {
            a = static_cast<double>(abs_line ? j : d);
        } else {
            first_at = locate_field(line.data(), end, fields->first, tab_is_space);
            a = value_at(first_at, end);
        }
        if (!a) continue;
        std::optional<double> b;
        if (fields->second < 0)
            b = static_cast<double>(abs_line ? j : d);
        else if (first_at && fields->second > fields->first)
            // Fields are found left to right, so the search goes on from the first one.
            b = value_at(locate_field(first_at, end, fields->second - fields->first, tab_is_space),
                         end);
        else
            b = field_of(line, fields->second, tab_is_space);
        if (!b) continue;
        if (skip_comment) {
            if (++q != 1) continue;
            ++d;
        }
        if (!abs_line && d > limit) break;

        store_line(out, kind, line, *fields, *a, *b, tab_is_space);
        if (++n >= MAX_POINTS) break;
    }
    return out;
}

std::optional<std::vector<double>> load_columns(Series& series, int kind, int column,
                                                const DataContext& context) {
    auto loaded = read_columns(series, kind, column, context);
    if (!loaded) return std::nullopt;
    if (kind != load_kind::Column) {
        series.point_count = static_cast<int32_t>(loaded->first.size());
        series.y_data = std::move(loaded->second);
    }
    return std::move(loaded->first);
}

std::optional<std::string> read_text_field(const std::string& path, int line, int field) {
    if (line < 0) return std::nullopt;
    LineReader reader;
    if (!reader.open(path)) return std::nullopt;
    std::optional<std::string_view> text;
    for (int i = 0; i <= line; ++i) {
        text = fetch_line(reader, TEXT_FIELD_LINE_SIZE);
        if (!text) return std::nullopt;
    }
    const char* p = text->data();
    const char* e = p + text->size();
    if (const void* nul = std::memchr(p, '\0', text->size())) e = static_cast<const char*>(nul);
    if (field < 0) return std::string(p, e);
    const auto separator = [](char c) { return c == ' ' || c == ',' || c == '\t'; };
    // Unlike numbers, a tab separates on its own and a comma after spaces opens an empty field.
    for (int i = 0; i < field; ++i) {
        while (p < e && *p == ' ')
            ++p;
        while (p < e && !separator(*p) && !is_line_end(*p))
            ++p;
        if (p < e && (*p == '\t' || *p == ',')) {
            ++p;
        } else {
            while (p < e && *p == ' ')
                ++p;
        }
        if (p == e || is_line_end(*p)) return std::nullopt;
    }
    while (p < e && *p == ' ')
        ++p;
    const char* end = p;
    while (end < e && !separator(*end) && !is_line_end(*end))
        ++end;
    return std::string(p, end);
}

std::string display_name(std::string_view path) {
    return paths::display_name(path);
}

std::string open_error_message(std::string_view path, int system_error) {
    const std::string name = display_name(path);
    switch (system_error) {
    case ENOENT:
    case ENOTDIR:
        return name + " が見つかりません。";
    case EROFS:
        return "書き込み禁止エラーです。(" + name + ")";
    case ENOSPC:
    case EDQUOT:
    case EFBIG:
        return "書き込みに失敗しました。(" + name + ")";
    case EIO:
        return "読み取りに失敗しました。(" + name + ")";
    case ETXTBSY:
    case EBUSY:
    case EWOULDBLOCK:
        return name + ": 共有違反です。";
    case EEXIST:
    case EMLINK:
        return name + ": 作成できません。";
    default:
        return "FileOpen Error " + name;
    }
}

void report_open_error(Prompter& prompter, std::string_view path, int system_error) {
    prompter.message("エラー", open_error_message(path, system_error), Buttons::Ok, Icon::Error);
}

} // namespace plox
