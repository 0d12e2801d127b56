#pragma once
// The user's own files: where the home folder is, which files nobody else can change, and how a
// file is replaced without ever leaving it half written. Failures are error 75 naming the file.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>

#include "platform/com/com_error.h"

namespace com {

// The effective user's entry in the user database (passwd), read whole however long it is;
// nothing when the database has none, and `error` (when given) the lookup's error, 0 for none.
struct UserAccount {
    std::string name;
    std::filesystem::path home;
};
std::optional<UserAccount> CurrentUserAccount(int* error = nullptr);

// $HOME, else the home folder of the effective user's passwd entry; never a shared folder.
std::filesystem::path UserHome();

// The value of an environment variable; empty when it is unset or empty.
std::string Environment(const char* name);

// The user's folders for the product's files (the XDG base directories): configuration
// ($XDG_CONFIG_HOME, else ~/.config), data ($XDG_DATA_HOME, else ~/.local/share) and state
// ($XDG_STATE_HOME, else ~/.local/state), each with the product's own folder "dravel" in it.
enum class UserFolder { Config, Data, State };
std::filesystem::path ProductFolder(UserFolder folder);

// Who may own a trusted file: the user or root (the user's own files), or root alone (files the
// system keeps for every user).
enum class Owners { UserOrRoot, Root };

// The refusal of a file or folder that others could change: error 75, "FILE is not trusted: why".
class NotTrusted : public ComError {
  public:
    using ComError::ComError;
};

// The real path of `file` (links resolved) when nobody but the user and root can change it: the
// file and every folder on that path, and on the path as written, are owned by the effective user
// or root (root alone for `Owners::Root`) and not writable by group or others (a root-owned sticky
// folder such as /tmp is fine: others cannot replace what it holds); a link on the way is owned
// by them too. Of a file that does not exist yet, the folders that exist are checked. Otherwise
// NotTrusted, naming `file` and why.
std::filesystem::path TrustedPath(const std::filesystem::path& file,
                                  Owners owners = Owners::UserOrRoot);

// A file descriptor (a file, a socket, a pipe's end), closed with the object: the one owner of
// every descriptor the product opens.
class Descriptor {
  public:
    explicit Descriptor(int fd = -1) : fd_(fd) {}
    ~Descriptor();
    Descriptor(Descriptor&& other) noexcept : fd_(other.fd_) { other.fd_ = -1; }
    Descriptor& operator=(Descriptor&& other) noexcept;
    int Get() const { return fd_; }
    explicit operator bool() const { return fd_ >= 0; }
    // Closes it now, for a caller that must know whether everything written reached the file:
    // 0, or the error of close(2). Closing one not valid does nothing.
    int Close();

  private:
    int fd_;
};

// A trusted file (see TrustedPath) opened with `flags` (O_RDONLY, O_WRONLY | O_APPEND | O_CREAT
// ...; with O_CREAT its missing folders are made and the file gets mode 0644), never through a
// link, and checked again once open (it may have appeared since its folders were checked). When
// open(2) fails the descriptor is not valid and errno says why (ENOENT: no such file). `real`
// receives the path opened.
Descriptor OpenTrusted(const std::filesystem::path& file, int flags,
                       Owners owners = Owners::UserOrRoot, std::filesystem::path* real = nullptr);

// Creates the folders of the path that do not exist, writable by the user alone whatever the
// umask: a folder the group could write would not be trusted.
void CreateFolders(const std::filesystem::path& folder);

// The content of a trusted file, opened without following a link and checked again once open;
// nothing when it does not exist.
std::optional<std::string> ReadTrustedFile(const std::filesystem::path& file,
                                           Owners owners = Owners::UserOrRoot);

// The content of a file; an error naming it when it cannot be read (missing, a folder, ...).
std::string ReadFile(const std::filesystem::path& file);

// What is left to read of an open file, `file` being its name for errors; past `limit` bytes an
// error saying "LIMIT_TEXT" instead (a device such as /dev/zero never ends).
std::string ReadToEnd(const Descriptor& fd, const std::filesystem::path& file,
                      size_t limit = SIZE_MAX, const std::string& limitText = {});

// Replaces a trusted file by `content`: a new file beside it, created exclusively, written whole
// and synced, is renamed over it and the folder synced. On failure the old file stays as it was.
void ReplaceFile(const std::filesystem::path& file, const std::string& content);

}  // namespace com
