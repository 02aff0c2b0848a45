// The data file reader: numeric columns of a text file into double arrays for one series,
// single text fields for labels, and the file-open error report every file operation uses.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "data/context.h"

namespace plox {

struct Series;
class Prompter;

inline constexpr int32_t MAX_POINTS = 320000;
inline constexpr size_t LOADER_LINE_SIZE = 2000;     // lines of up to 1999 bytes
inline constexpr size_t TEXT_FIELD_LINE_SIZE = 1024; // lines of up to 1023 bytes

// Request kinds of load_columns.
namespace load_kind {
inline constexpr int XY = 0;
inline constexpr int XErrorOffsets = 1;   // X + field(ColumnX+1), X + field(ColumnX+2)
inline constexpr int YErrorOffsets = 2;   // Y + field(ColumnY+1), Y + field(ColumnY+2)
inline constexpr int Column = 3;          // one field, lines that also have a Y
inline constexpr int XAndNext = 4;        // X and the field after it
inline constexpr int YAndNext = 5;        // Y and the field after it
inline constexpr int XErrorSymmetric = 6; // X - field(ColumnX+1), X + field(ColumnX+1)
inline constexpr int YErrorSymmetric = 7; // Y - field(ColumnY+1), Y + field(ColumnY+1)
} // namespace load_kind

// Reads a file forward in large blocks and hands out lines with the loader's rules.
class LineReader {
public:
    LineReader() = default;
    ~LineReader();
    LineReader(const LineReader&) = delete;
    LineReader& operator=(const LineReader&) = delete;

    // Opens for reading; false with errno set on failure (a directory fails with EISDIR).
    bool open(const std::string& path);
    void close();
    bool is_open() const { return fd_ >= 0; }

    // The number of lines the file holds, extrapolated from the first block (reading it if
    // nothing is buffered yet); 0 for an empty file.
    size_t estimated_lines();

private:
    friend std::optional<std::string_view> fetch_line(LineReader&, size_t);
    // Reads until the block is full, a read brings an LF (when `to_lf`), or the file ends.
    void fill(bool to_lf);
    int fd_ = -1;
    std::vector<char> buffer_;
    size_t begin_ = 0, end_ = 0;
    size_t file_size_ = 0;
    bool eof_ = false;
};

// The next line of at most size - 1 bytes (a longer line goes on as the next line), without
// its LF, without a CR before the LF and without a trailing Ctrl-Z; nothing at end of file or
// on a line that is only a Ctrl-Z. The view lives until the next call. Bytes from a NUL on do
// not belong to the line's text (field functions stop there).
std::optional<std::string_view> fetch_line(LineReader& reader, size_t size = LOADER_LINE_SIZE);

// Value of field `field` (from 0) of a line: ERROR_VALUE for "=", the longest numeric prefix
// for a field that starts with a digit, sign or point (0 when nothing converts), nothing when
// the field is missing. "D" reads as "e"; a tab is a space or a comma as tab_is_space says.
std::optional<double> field_value(std::string_view line, int field, bool tab_is_space);

struct LoadedColumns {
    std::vector<double> first, second; // second stays empty for kind 3
};

// The loading pass of load_columns: both arrays, equally long. Writes the normalisations
// (Step, XAvr, YAvr) and the converted file name into the series; nothing when the kind needs
// a negative error column or the file cannot be opened (errno tells why; no message).
std::optional<LoadedColumns> read_columns(Series& series, int kind, int column,
                                          const DataContext& context = {});

// load_columns as the rest of the program uses it: returns the first array, and for every
// kind but 3 stores the second in series.y_data and the point count in series.point_count.
std::optional<std::vector<double>> load_columns(Series& series, int kind, int column = 0,
                                                const DataContext& context = {});

// The text of field `field` of line `line` (both from 0; a negative field is the whole line).
std::optional<std::string> read_text_field(const std::string& path, int line, int field);

// File name with extension, without drive and folders (either separator); "(Untitled)" when
// the path is empty.
std::string display_name(std::string_view path);

// The message for a failed open or create of `path` with system error `system_error` (errno).
std::string open_error_message(std::string_view path, int system_error);
// Shows that message titled "エラー" with the error icon.
void report_open_error(Prompter& prompter, std::string_view path, int system_error);

} // namespace plox
