// What tests of every subsystem share: a scratch folder, whole-file reading and writing, and
// running the built program.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

namespace plox::test {

// A fresh folder of its own under the system's temporary folder, removed with its contents
// when the object goes.
class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& root() const { return root_; }
    // "<folder>/name" (the folder itself, ending in '/', for an empty name).
    std::string path(const std::string& name) const;
    std::string operator/(const std::string& name) const { return path(name); }
    // The folder as a string ending in '/'.
    std::string dir() const { return path(""); }
    // Writes `bytes` to `name` (making the folders on the way) and returns its path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::filesystem::path root_;
};

std::string read_file(const std::filesystem::path& path); // empty when it cannot be read
void write_file(const std::filesystem::path& path, const std::string& bytes);
std::vector<std::string> lines_of(const std::string& text); // '\n'-separated, '\r' kept

// One run of the program.
struct RunResult {
    int status = -1;        // the exit status; -1 when the program did not end normally
    bool timed_out = false; // killed after RunOptions::timeout_seconds
    std::string out, err;
};

struct RunOptions {
    std::string folder;                   // the working folder; empty: the test's own
    std::vector<std::string> environment; // "NAME=value" entries added to (or replacing) ours
    int timeout_seconds = 120;            // the program is killed after this long
};

// Runs the built ploxwin with `args` (no shell in between), standard input empty, and collects
// what it wrote. The extension module is looked for in the build tree and the leak checker's
// end-of-run report is off (fontconfig's caches outlive the program on purpose).
RunResult run_ploxwin(const std::vector<std::string>& args, const RunOptions& options = {});

} // namespace plox::test
