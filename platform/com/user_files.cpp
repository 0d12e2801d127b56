#include "platform/com/user_files.h"

#include <fcntl.h>
#include <pwd.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <random>
#include <utility>
#include <vector>

#include "platform/com/com_error.h"

namespace com {

namespace fs = std::filesystem;

namespace {

[[noreturn]] void Fail(const std::string& what, const fs::path& file, int error) {
    throw ComError(err::PathFileAccess, what + " " + file.string() + ": " + std::strerror(error));
}

// Why others could change the file, folder or link `p`; empty when only the user and root can.
std::string Untrusted(const fs::path& p, const struct stat& st, Owners owners) {
    if (st.st_uid != 0 && (owners == Owners::Root || st.st_uid != ::geteuid()))
        return p.string() + " is owned by user " + std::to_string(st.st_uid);
    // A link's own mode means nothing: only who can write its folder can point it elsewhere.
    if (S_ISLNK(st.st_mode)) return "";
    bool rootSticky = S_ISDIR(st.st_mode) && (st.st_mode & S_ISVTX) && st.st_uid == 0;
    if (rootSticky) return "";
    if (st.st_mode & S_IWOTH) return p.string() + " is writable by others";
    if (st.st_mode & S_IWGRP) return p.string() + " is writable by its group";
    return "";
}

[[noreturn]] void Refuse(const fs::path& file, const std::string& why) {
    throw NotTrusted(err::PathFileAccess, file.string() + " is not trusted: " + why);
}

// Refuses `file` when others could change `path` (itself, not where a link at its end leads) or
// any folder above it.
void CheckFromRoot(const fs::path& path, const fs::path& file, Owners owners) {
    for (fs::path p = path;; p = p.parent_path()) {
        struct stat st;
        if (::lstat(p.c_str(), &st) == 0) {
            if (auto why = Untrusted(p, st, owners); !why.empty()) Refuse(file, why);
        } else if (errno != ENOENT && errno != ENOTDIR) {
            Refuse(file, p.string() + ": " + std::strerror(errno));
        }
        if (p == p.root_path()) return;
    }
}

}  // namespace

std::optional<UserAccount> CurrentUserAccount(int* error) {
    // A start the system suggests; an entry longer than the buffer (ERANGE) gets a larger one.
    long suggested = ::sysconf(_SC_GETPW_R_SIZE_MAX);
    std::vector<char> buffer(suggested > 0 ? static_cast<size_t>(suggested) : 16384);
    struct passwd entry {};
    struct passwd* found = nullptr;
    int failure;
    while ((failure = ::getpwuid_r(::geteuid(), &entry, buffer.data(), buffer.size(), &found)) ==
           ERANGE)
        buffer.resize(buffer.size() * 2);
    if (error) *error = failure;
    if (!found) return std::nullopt;
    return UserAccount{entry.pw_name, entry.pw_dir};
}

fs::path UserHome() {
    if (fs::path home = Environment("HOME"); !home.empty()) return home;
    int error = 0;
    auto account = CurrentUserAccount(&error);
    if (!account || account->home.empty())
        throw ComError(err::PathFileAccess,
                       "No home folder: HOME is not set and user " + std::to_string(::geteuid()) +
                           " has no home in the user database" +
                           (error ? std::string(" (") + std::strerror(error) + ")" : ""));
    return account->home;
}

std::string Environment(const char* name) {
    const char* value = std::getenv(name);
    return value ? value : "";
}

fs::path ProductFolder(UserFolder folder) {
    struct Base {
        const char* variable;
        const char* underHome;
    };
    static constexpr Base kBases[] = {{"XDG_CONFIG_HOME", ".config"},
                                      {"XDG_DATA_HOME", ".local/share"},
                                      {"XDG_STATE_HOME", ".local/state"}};
    const Base& base = kBases[static_cast<int>(folder)];
    fs::path set = Environment(base.variable);
    return (set.empty() ? UserHome() / base.underHome : set) / "dravel";
}

fs::path TrustedPath(const fs::path& file, Owners owners) {
    const fs::path written = fs::absolute(file);
    std::error_code ec;
    const fs::path real = fs::weakly_canonical(written, ec);
    if (ec) Refuse(file, ec.message());
    // The folders of a link count as much as those of the file it leads to: whoever can change
    // them can point the link elsewhere.
    CheckFromRoot(written, file, owners);
    if (real != written) CheckFromRoot(real, file, owners);
    return real;
}

void CreateFolders(const fs::path& folder) {
    struct stat st;
    if (folder.empty() || ::stat(folder.c_str(), &st) == 0) return;
    CreateFolders(folder.parent_path());
    if (::mkdir(folder.c_str(), 0755) != 0 && errno != EEXIST) Fail("Cannot create", folder, errno);
}

Descriptor::~Descriptor() {
    Close();
}

int Descriptor::Close() {
    if (fd_ < 0) return 0;
    const int closed = ::close(std::exchange(fd_, -1));
    return closed == 0 ? 0 : errno;
}

Descriptor& Descriptor::operator=(Descriptor&& other) noexcept {
    std::swap(fd_, other.fd_);
    return *this;
}

Descriptor OpenTrusted(const fs::path& file, int flags, Owners owners, fs::path* real) {
    fs::path path = TrustedPath(file, owners);
    if (flags & O_CREAT) CreateFolders(path.parent_path());
    Descriptor fd(::open(path.c_str(), flags | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd) return fd;
    struct stat st;
    if (::fstat(fd.Get(), &st) != 0) Fail("Cannot open", file, errno);
    // The file may have appeared since its folders were checked.
    if (auto why = Untrusted(path, st, owners); !why.empty()) Refuse(file, why);
    if (real) *real = std::move(path);
    return fd;
}

std::string ReadToEnd(const Descriptor& fd, const fs::path& file, size_t limit,
                      const std::string& limitText) {
    std::string content;
    char buffer[65536];
    for (;;) {
        ssize_t n = ::read(fd.Get(), buffer, sizeof buffer);
        if (n == 0) return content;
        if (n > 0)
            content.append(buffer, static_cast<size_t>(n));
        else if (errno != EINTR)
            Fail("Cannot read", file, errno);
        if (content.size() > limit)
            throw ComError(err::PathFileAccess, "Cannot read " + file.string() + ": " + limitText);
    }
}

std::optional<std::string> ReadTrustedFile(const fs::path& file, Owners owners) {
    Descriptor fd = OpenTrusted(file, O_RDONLY, owners);
    if (!fd) {
        if (errno == ENOENT || errno == ENOTDIR) return std::nullopt;
        Fail("Cannot read", file, errno);
    }
    return ReadToEnd(fd, file);
}

std::string ReadFile(const fs::path& file) {
    Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) Fail("Cannot read", file, errno);
    return ReadToEnd(fd, file);
}

namespace {

// Opens a new file of a random name in `folder`, exclusively: never an existing file or a link.
Descriptor CreateExclusive(const fs::path& folder, const std::string& prefix, fs::path& created) {
    thread_local std::mt19937_64 random{std::random_device{}()};
    for (int attempt = 0; attempt < 100; ++attempt) {
        created = folder / (prefix + std::to_string(random()));
        Descriptor fd(
            ::open(created.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0644));
        if (fd || errno != EEXIST) return fd;
    }
    errno = EEXIST;
    return Descriptor();
}

bool WriteAll(const Descriptor& fd, const std::string& content) {
    for (size_t done = 0; done < content.size();) {
        ssize_t n = ::write(fd.Get(), content.data() + done, content.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            if (n == 0) errno = EIO;
            return false;
        }
        done += static_cast<size_t>(n);
    }
    return true;
}

// 0, or the error of opening or syncing the folder.
int SyncFolder(const fs::path& folder) {
    Descriptor fd(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
    if (!fd || ::fsync(fd.Get()) != 0) return errno;
    return 0;
}

}  // namespace

void ReplaceFile(const fs::path& file, const std::string& content) {
    fs::path real = TrustedPath(file);
    fs::path temporary;
    Descriptor fd =
        CreateExclusive(real.parent_path(), "." + real.filename().string() + ".", temporary);
    if (!fd) Fail("Cannot write", file, errno);
    int error = WriteAll(fd, content) && ::fsync(fd.Get()) == 0 ? 0 : errno;
    if (int closeError = fd.Close(); !error) error = closeError;
    if (!error && ::rename(temporary.c_str(), real.c_str()) != 0) error = errno;
    if (error) {
        ::unlink(temporary.c_str());
        Fail("Cannot write", file, error);
    }
    if (int syncError = SyncFolder(real.parent_path()))
        Fail("Cannot sync the folder of", file, syncError);
}

}  // namespace com
