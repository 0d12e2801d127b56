#include "platform/com/user_files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "platform/com/com_error.h"

namespace com {

namespace fs = std::filesystem;

namespace {

constexpr int32_t kPathFileAccessError = 75;

[[noreturn]] void Fail(const std::string& what, const fs::path& file, int error) {
    throw ComError(kPathFileAccessError, what + " " + file.string() + ": " + std::strerror(error));
}

// Why others could change the file or folder `p`; empty when only the user and root can.
std::string Untrusted(const fs::path& p, const struct stat& st) {
    if (st.st_uid != ::geteuid() && st.st_uid != 0)
        return p.string() + " is owned by user " + std::to_string(st.st_uid);
    bool rootSticky = S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) && st.st_uid == 0;
    if (rootSticky) return "";
    if (st.st_mode & S_IWOTH) return p.string() + " is writable by others";
    if (st.st_mode & S_IWGRP) return p.string() + " is writable by its group";
    return "";
}

[[noreturn]] void Refuse(const fs::path& file, const std::string& why) {
    throw ComError(kPathFileAccessError, file.string() + " is not trusted: " + why);
}

// Closes the file descriptor it holds.
class Descriptor {
  public:
    explicit Descriptor(int fd) : fd_(fd) {}
    ~Descriptor() {
        if (fd_ >= 0) ::close(fd_);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int Get() const { return fd_; }

  private:
    int fd_;
};

std::string ReadToEnd(int fd, const fs::path& file) {
    std::string content;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd, buffer, sizeof buffer);
        if (n == 0) return content;
        if (n > 0)
            content.append(buffer, static_cast<size_t>(n));
        else if (errno != EINTR)
            Fail("Cannot read", file, errno);
    }
}

}  // namespace

fs::path UserHome() {
    if (const char* home = std::getenv("HOME"); home && *home) return home;
    long size = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(size > 0 ? static_cast<size_t>(size) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    int error;
    while ((error = ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found)) ==
           ERANGE)
        buffer.resize(buffer.size() * 2);
    if (!found || !*entry.pw_dir)
        throw ComError(kPathFileAccessError,
                       "No home folder: HOME is not set and user " + std::to_string(::geteuid()) +
                           " has no home in the user database" +
                           (error ? std::string(" (") + std::strerror(error) + ")" : ""));
    return entry.pw_dir;
}

fs::path TrustedPath(const fs::path& file) {
    std::error_code ec;
    fs::path real = fs::weakly_canonical(fs::absolute(file), ec);
    if (ec) Refuse(file, ec.message());
    for (fs::path p = real;; p = p.parent_path()) {
        struct stat st;
        if (::lstat(p.c_str(), &st) == 0) {
            if (auto why = Untrusted(p, st); !why.empty()) Refuse(file, why);
        } else if (errno != ENOENT && errno != ENOTDIR) {
            Refuse(file, p.string() + ": " + std::strerror(errno));
        }
        if (p == p.root_path()) return real;
    }
}

void CreateFolders(const fs::path& folder) {
    struct stat st;
    if (folder.empty() || ::stat(folder.c_str(), &st) == 0) return;
    CreateFolders(folder.parent_path());
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) Fail("Cannot create", folder, errno);
}

std::optional<std::string> ReadTrustedFile(const fs::path& file) {
    fs::path real = TrustedPath(file);
    Descriptor fd(::open(real.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
    if (fd.Get() < 0) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        Fail("Cannot read", file, errno);
    }
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0) Fail("Cannot read", file, errno);
    // The file may have appeared since its folders were checked.
    if (auto why = Untrusted(real, st); !why.empty()) Refuse(file, why);
    return ReadToEnd(fd.Get(), file);
}

}  // namespace com
