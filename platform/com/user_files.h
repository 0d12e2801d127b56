#pragma once
// The user's own files: where the home folder is, which files nobody else can change, and how a
// file is replaced without ever leaving it half written. Failures are error 75 naming the file.

#include <filesystem>
#include <optional>
#include <string>

namespace com {

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

// The real path of `file` (links resolved) when nobody but the user and root can change it: the
// file and every folder on that path are owned by the effective user or root (root alone for
// `Owners::Root`) and not writable by group or others (a root-owned sticky folder such as /tmp is
// fine: others cannot replace what it holds). Of a file that does not exist yet, the folders that
// exist are checked. Otherwise an error naming `file` and why it is not trusted.
std::filesystem::path TrustedPath(const std::filesystem::path& file,
                                  Owners owners = Owners::UserOrRoot);

// Creates the folders of the path that do not exist, writable by the user alone whatever the
// umask: a folder the group could write would not be trusted.
void CreateFolders(const std::filesystem::path& folder);

// The content of a trusted file, opened without following a link and checked again once open;
// nothing when it does not exist.
std::optional<std::string> ReadTrustedFile(const std::filesystem::path& file,
                                           Owners owners = Owners::UserOrRoot);

// The content of a file; an error naming it when it cannot be read (missing, a folder, ...).
std::string ReadFile(const std::filesystem::path& file);

// Replaces a trusted file by `content`: a new file beside it, created exclusively, written whole
// and synced, is renamed over it and the folder synced. On failure the old file stays as it was.
void ReplaceFile(const std::filesystem::path& file, const std::string& content);

}  // namespace com
