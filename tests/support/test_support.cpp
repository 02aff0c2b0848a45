#include "test_support.h"

#include <cerrno>
#include <csignal>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace plox::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    std::string pattern = (fs::temp_directory_path() / "plox-test-XXXXXX").string();
    if (!::mkdtemp(pattern.data())) throw std::runtime_error("cannot make a scratch folder");
    root_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ec;
    fs::remove_all(root_, ec);
}

std::string TempDir::path(const std::string& name) const {
    return name.empty() ? root_.string() + "/" : (root_ / name).string();
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    const std::string p = path(name);
    write_file(p, bytes);
    return p;
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void write_file(const fs::path& path, const std::string& bytes) {
    std::error_code ec;
    if (path.has_parent_path()) fs::create_directories(path.parent_path(), ec);
    std::ofstream(path, std::ios::binary) << bytes;
}

std::vector<std::string> lines_of(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    return lines;
}

RunResult run_ploxwin(const std::vector<std::string>& args, const RunOptions& options) {
    TempDir logs;
    const std::string out = logs.path("out"), err = logs.path("err");
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, 2, err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    if (!options.folder.empty())
        posix_spawn_file_actions_addchdir_np(&actions, options.folder.c_str());

    std::vector<std::string> env;
    for (char** e = environ; *e; ++e) {
        const std::string_view entry(*e);
        if (!entry.starts_with("ASAN_OPTIONS=") && !entry.starts_with("PLOXWIN_EXT_DIR="))
            env.emplace_back(entry);
    }
    env.emplace_back("ASAN_OPTIONS=detect_leaks=0");
    env.emplace_back("PLOXWIN_EXT_DIR=" PLOX_BINARY_DIR "/bin");
    for (const std::string& extra : options.environment) {
        const std::string name = extra.substr(0, extra.find('=') + 1);
        std::erase_if(env, [&](const std::string& e) { return e.starts_with(name); });
        env.push_back(extra);
    }

    const std::string program = PLOXWIN_EXE;
    std::vector<char*> argv{const_cast<char*>(program.c_str())};
    for (const auto& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& e : env)
        envp.push_back(e.data());
    envp.push_back(nullptr);

    RunResult result;
    pid_t pid = 0;
    const int spawned =
        ::posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), envp.data());
    posix_spawn_file_actions_destroy(&actions);
    if (spawned == 0) {
        int status = 0;
        // Polled, so that a program that hangs fails the test instead of stalling the suite.
        for (int waited_ms = 0;; waited_ms += 10) {
            const pid_t done = ::waitpid(pid, &status, WNOHANG);
            if (done == pid || (done < 0 && errno != EINTR)) break;
            if (options.timeout_seconds > 0 && waited_ms >= options.timeout_seconds * 1000) {
                ::kill(pid, SIGKILL);
                ::waitpid(pid, &status, 0);
                result.timed_out = true;
                break;
            }
            ::usleep(10'000);
        }
        if (!result.timed_out && WIFEXITED(status)) result.status = WEXITSTATUS(status);
    } else {
        result.err = "cannot start " + program;
        return result;
    }
    result.out = read_file(out);
    result.err = read_file(err);
    return result;
}

} // namespace plox::test
