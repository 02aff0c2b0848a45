// Regular-file checks, atomic replacement and link-safe creation of files.
#include "document/file_access.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace plox::files {
namespace {

std::string folder_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    if (slash == std::string::npos) return "./";
    return path.substr(0, slash + 1);
}

std::string name_of(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

const char* kind_of(mode_t mode) {
    if (S_ISDIR(mode)) return "a folder";
    if (S_ISFIFO(mode)) return "a FIFO";
    if (S_ISCHR(mode) || S_ISBLK(mode)) return "a device";
    if (S_ISSOCK(mode)) return "a socket";
    return "not a regular file";
}

bool write_all(int fd, std::string_view bytes) {
    size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

} // namespace

int open_regular(const std::string& path) {
    if (path.empty()) {
        errno = ENOENT;
        return -1;
    }
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) return -1;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        const int error = S_ISDIR(st.st_mode) ? EISDIR : EINVAL;
        ::close(fd);
        errno = error;
        return -1;
    }
    // Reads block normally from here on (regular files never would anyway).
    ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool read_regular(const std::string& path, std::string& out, int& error, size_t limit) {
    out.clear();
    const int fd = open_regular(path);
    if (fd < 0) {
        error = errno ? errno : ENOENT;
        return false;
    }
    struct stat st {};
    if (::fstat(fd, &st) == 0 && static_cast<unsigned long long>(st.st_size) > limit) {
        ::close(fd);
        error = EFBIG;
        return false;
    }
    if (st.st_size > 0) out.reserve(static_cast<size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) {
            error = errno;
            ::close(fd);
            return false;
        }
        if (n == 0) break;
        if (out.size() + static_cast<size_t>(n) > limit) {
            ::close(fd);
            error = EFBIG;
            return false;
        }
        out.append(buf, static_cast<size_t>(n));
    }
    ::close(fd);
    error = 0;
    return true;
}

bool is_regular(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool exists_entry(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::lstat(path.c_str(), &st) == 0;
}

std::string replacement_target(const std::string& path, std::string& message) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0) return path; // nothing there yet
    if (S_ISREG(st.st_mode)) return path;
    if (!S_ISLNK(st.st_mode)) {
        message = path + " is " + kind_of(st.st_mode) + ", not a file that can be replaced";
        return {};
    }
    char* resolved = ::realpath(path.c_str(), nullptr);
    if (!resolved) {
        message = path + " is a link to nothing that can be written (" + std::strerror(errno) + ")";
        return {};
    }
    std::string target(resolved);
    std::free(resolved);
    if (::stat(target.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) {
        message =
            path + " is a link to " + kind_of(st.st_mode) + ", not a file that can be replaced";
        return {};
    }
    return target;
}

WriteResult replace_file(const std::string& path, std::string_view bytes) {
    WriteResult r;
    const std::string target = replacement_target(path, r.message);
    if (target.empty()) {
        r.stage = WriteResult::Stage::Refused;
        r.error = EINVAL;
        return r;
    }
    std::string temp = folder_of(target) + "." + name_of(target) + ".XXXXXX";
    const int fd = ::mkostemp(temp.data(), O_CLOEXEC);
    if (fd < 0) {
        r.stage = WriteResult::Stage::Create;
        r.error = errno;
        r.message = "cannot create a file beside " + target + ": " + std::strerror(r.error);
        return r;
    }
    struct stat old {};
    ::fchmod(fd, ::stat(target.c_str(), &old) == 0 ? (old.st_mode & 07777) : 0644);
    bool ok = write_all(fd, bytes);
    int error = ok ? 0 : errno;
    if (ok && ::fsync(fd) != 0) ok = false, error = errno;
    if (::close(fd) != 0 && ok) ok = false, error = errno;
    if (ok && std::rename(temp.c_str(), target.c_str()) != 0) ok = false, error = errno;
    if (!ok) {
        ::unlink(temp.c_str());
        r.stage = WriteResult::Stage::Write;
        r.error = error ? error : EIO;
        r.message = "cannot write " + target + ": " + std::strerror(r.error);
    }
    return r;
}

bool write_atomically(const std::string& path, std::string_view bytes, std::string& message) {
    WriteResult r = replace_file(path, bytes);
    message = std::move(r.message);
    return r.ok();
}

int create_fresh(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) {
            errno = EISDIR;
            return -1;
        }
        // The entry itself goes, never what a link points at.
        if (::unlink(path.c_str()) != 0) return -1;
    }
    return ::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0600);
}

bool ensure_private_folder(const std::string& path) {
    std::string p = path;
    while (p.size() > 1 && p.back() == '/')
        p.pop_back();
    if (::mkdir(p.c_str(), 0700) != 0 && errno != EEXIST) return false;
    struct stat st {};
    if (::lstat(p.c_str(), &st) != 0 || !S_ISDIR(st.st_mode) || st.st_uid != ::geteuid())
        return false;
    if ((st.st_mode & 077) != 0 && ::chmod(p.c_str(), 0700) != 0) return false;
    return true;
}

} // namespace plox::files
