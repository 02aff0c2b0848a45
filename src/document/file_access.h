// Safe file access for everything the program reads from or writes to the file system: only
// regular files are read (a FIFO or a device would block or never end), outputs are replaced
// atomically and never through something that is not a regular file, and restored files are
// created fresh without following links.
#pragma once

#include <string>
#include <string_view>

namespace plox::files {

// Opens a regular file for reading without blocking on FIFOs; -1 with errno set otherwise
// (EISDIR for a folder, EINVAL for a FIFO, device or socket).
int open_regular(const std::string& path);
// Reads a regular file whole; false with errno-style `error` otherwise. Files longer than
// `limit` bytes are refused with EFBIG.
bool read_regular(const std::string& path, std::string& out, int& error,
                  size_t limit = static_cast<size_t>(-1));
// Whether `path` names a regular file (links followed); never throws, false on any error.
bool is_regular(const std::string& path);
// Whether something (a link included) exists at `path`; never throws.
bool exists_entry(const std::string& path);

// Where a replacement of `path` is to be written: `path` itself when nothing or a regular file
// is there, the final target when `path` is a symbolic link to a regular file (the link is
// kept, as editors do). Empty, with `message` saying why, when `path` names a device, FIFO,
// folder or socket, or a link to one, or a dangling link.
std::string replacement_target(const std::string& path, std::string& message);

// How a replacement went: refused (not a regular file), the new file could not be created
// beside the old one, or writing or renaming it failed; `error` is the errno value.
struct WriteResult {
    enum class Stage { Done, Refused, Create, Write } stage = Stage::Done;
    int error = 0;
    std::string message;
    bool ok() const { return stage == Stage::Done; }
};

// Replaces `path` with `bytes` through a new file in the same folder renamed over it; the
// previous file stays intact on any failure. Keeps the permission bits of a replaced file.
WriteResult replace_file(const std::string& path, std::string_view bytes);
// The same, with only the reason on failure.
bool write_atomically(const std::string& path, std::string_view bytes, std::string& message);

// Creates `path` as a new regular file for writing (mode 0600), never following a symbolic link
// and never opening anything that was there before: a previous entry is removed first, and the
// creation fails if something appears meanwhile. Returns the descriptor or -1 with errno.
int create_fresh(const std::string& path);

// Makes (or checks) a folder only this user may use: created with mode 0700; an existing one
// must be a real folder (not a link) owned by this user with no access for others.
bool ensure_private_folder(const std::string& path);

} // namespace plox::files
