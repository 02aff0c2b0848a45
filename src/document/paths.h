// Paths as documents hold them: Windows-style (C:\a\b\x.dat, Shift-JIS bytes) or POSIX. Both
// separators and drive letters are understood, and files are found on a case-sensitive file
// system whatever the case of the stored name.
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace plox {

struct Graph;

namespace paths {

// Index just past the last separator ('/' or '\', the latter not as a Shift-JIS trail byte)
// or past a drive "X:"; 0 when there is none.
size_t name_start(std::string_view path);
// Drive and directory with their trailing separator ("C:\a\" of "C:\a\x.dat"); may be empty.
std::string_view directory_of(std::string_view path);
// File name with extension, without drive and directory.
std::string_view file_name_of(std::string_view path);
// File name without its extension.
std::string_view stem_of(std::string_view path);
// The name messages and titles show: file name with extension, "(Untitled)" when empty.
std::string display_name(std::string_view path);

bool has_drive(std::string_view path);
bool has_directory(std::string_view path);

// ASCII case-insensitive equality, '/' and '\' counted equal.
bool equal_nocase(std::string_view a, std::string_view b);

// Absolute, lexically normal POSIX form of a local path (backslashes kept as they are).
std::string absolute(std::string_view path);

// The existing file the path names: as it stands, else with '\' read as '/', else matching each
// component case-insensitively. Paths with a drive letter name nothing on this system.
std::optional<std::string> find_existing(std::string_view path);

// The directory where a data directory recorded as `series_dir` lies after the document moved
// from `saved_dir` (where it was written) to `doc_dir` (where it was opened): the common
// beginning of series_dir and saved_dir (case-insensitive, cut back to a separator) is dropped,
// and the remainder R of series_dir replaces the part of doc_dir from where the remainder T of
// saved_dir occurs (or is appended when T is empty). The result uses '/' after doc_dir.
std::string relocate(std::string_view series_dir, std::string_view saved_dir,
                     std::string_view doc_dir);

struct ResolveOptions {
    std::string document_path; // the document as opened
    bool data_embedded = false;
    std::string temp_dir;     // with trailing separator
    std::string saved_path;   // line t6: where the document was written, may be empty
    bool prefer_temp = false; // PriorTemp setting
};

// Points every series path (but function series) and picture path at an existing file where
// one can be found; returns the indices of the series whose files are still missing.
std::vector<int> resolve_paths(Graph& g, const ResolveOptions& options);

// The open-error text of a failed open (or create) by errno, with the file's display name.
std::string open_error_message(int error, std::string_view path, bool creating = false);
inline constexpr const char* OPEN_ERROR_TITLE = "エラー";

} // namespace paths
} // namespace plox
