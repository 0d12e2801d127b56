#include "framework/log_service.h"

#include "framework/text_service.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <iostream>
#include <mutex>
#include <set>
#include <sstream>

#include <fmt/chrono.h>
#include <fmt/format.h>
#include <nlohmann/json.hpp>

#include "platform/com/user_files.h"
#include "platform/ui/toolkit.h"

namespace framework {

namespace {

std::string NowIso8601() {
    auto now = std::chrono::system_clock::now();
    auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()) % 1000;
    // In UTC, as the Z says: fmt formats a time point in the local time zone.
    return fmt::format("{:%Y-%m-%dT%H:%M:%S}.{:03d}Z",
                       fmt::gmtime(std::chrono::system_clock::to_time_t(now)), ms.count());
}

// The code as JSON: its own type where JSON has one, null for Empty and Null.
nlohmann::json CodeJson(const com::Variant& v) {
    switch (v.Type()) {
        case com::VarType::Empty:
        case com::VarType::Null:
            return nullptr;
        case com::VarType::Integer:
        case com::VarType::Long:
            return v.ToLong();
        case com::VarType::Double:
            return v.ToDouble();
        case com::VarType::Boolean:
            return v.ToBool();
        case com::VarType::String:
            return v.ToText();
        default:
            return v.Debug();
    }
}

[[noreturn]] void FileError(const char* what, const std::filesystem::path& path, int error) {
    throw com::ComError(
        com::err::PathFileAccess,
        fmt::format("Cannot {} the log file {}: {}", what, path.string(), std::strerror(error)),
        "LogService");
}

std::filesystem::path RotatedPath(const std::filesystem::path& file) {
    auto rotated = file;
    rotated += ".1";
    return rotated;
}

// Once the log open as `fd` is full it becomes FILE.1. Writers that find it full at the same time
// take turns on its lock, and only one still finds it under its name: a second rename would put
// the new log over the full one. Records written meanwhile through older descriptors land in
// FILE.1. `path` is the log's real path, in folders only the user and root can change, and a
// rename follows no link. Returns 0, or the error of the rename.
int RotateWhenFull(const std::filesystem::path& path, const com::Descriptor& fd) {
    struct stat opened, named;
    if (::fstat(fd.Get(), &opened) != 0 ||
        static_cast<std::uintmax_t>(opened.st_size) < kLogRotationSize)
        return 0;
    if (::flock(fd.Get(), LOCK_EX) != 0) return errno;  // released when the descriptor is closed
    bool stillNamed = ::lstat(path.c_str(), &named) == 0 && named.st_dev == opened.st_dev &&
                      named.st_ino == opened.st_ino;
    if (stillNamed && ::rename(path.c_str(), RotatedPath(path).c_str()) != 0) return errno;
    return 0;
}

// A log in a place others could change (a planted link, a folder others can write) is not
// written: said once per file, on standard error, and the program goes on without it.
void RefuseLog(const com::NotTrusted& e) {
    static std::mutex lock;
    static std::set<std::string> refused;
    std::lock_guard held(lock);
    if (refused.insert(e.Description()).second)
        std::cerr << program_invocation_short_name << ": " << e.Description()
                  << "; going on without a log file\n"
                  << std::flush;
}

// Appends the line with one write: other writers of the file (threads, other programs) append
// whole lines between ours, never inside them. Then rotates a full log.
void AppendLine(const std::filesystem::path& path, const std::string& line) {
    std::filesystem::path real;
    com::Descriptor fd;
    try {
        fd = com::OpenTrusted(path, O_WRONLY | O_APPEND | O_CREAT, com::Owners::UserOrRoot, &real);
    } catch (const com::NotTrusted& e) {
        return RefuseLog(e);
    }
    if (!fd) FileError("write", path, errno);
    ssize_t written = ::write(fd.Get(), line.data(), line.size());
    int error = written < 0 ? errno : written != static_cast<ssize_t>(line.size()) ? EIO : 0;
    if (error) FileError("write", path, error);
    if (int rotateError = RotateWhenFull(real, fd)) FileError("rotate", path, rotateError);
}

// The text of the log file `path` after `from`; nothing when the file is missing or `from` is in
// another file (a position in no file is the start of any).
std::optional<std::string> ReadAfter(const std::filesystem::path& path, const LogPosition& from) {
    com::Descriptor fd(::open(path.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd) return std::nullopt;
    std::optional<std::string> text;
    struct stat st;
    if (::fstat(fd.Get(), &st) == 0 &&
        (from.inode == 0 || (st.st_dev == from.device && st.st_ino == from.inode))) {
        text.emplace();
        char buffer[65536];
        off_t at = static_cast<off_t>(from.offset);
        for (ssize_t n; (n = ::pread(fd.Get(), buffer, sizeof buffer, at)) > 0; at += n)
            text->append(buffer, static_cast<size_t>(n));
    }
    return text;
}

}  // namespace

std::filesystem::path DefaultLogPath() {
    if (std::filesystem::path set = com::Environment("DRAVEL_LOG"); !set.empty()) return set;
    return com::ProductFolder(com::UserFolder::State) / "dravel.log";
}

LogPosition LogEnd(const std::filesystem::path& file) {
    struct stat st;
    if (::stat(file.c_str(), &st) != 0) return {};
    return {st.st_dev, st.st_ino, static_cast<std::uintmax_t>(st.st_size)};
}

std::vector<nlohmann::json> ReadLogRecords(const std::filesystem::path& file,
                                           const LogPosition& from) {
    auto text = ReadAfter(file, from);
    if (!text && from.inode != 0)  // rotated since: the rest of the older file, then the new one
        text = ReadAfter(RotatedPath(file), from).value_or("") + ReadAfter(file, {}).value_or("");
    std::vector<nlohmann::json> records;
    std::istringstream in(text.value_or(""));
    for (std::string line; std::getline(in, line);) {
        // A line another program broke, or no record at all, is no reason to lose the others.
        auto record = nlohmann::json::parse(line, nullptr, false);
        if (!record.is_discarded() && record.is_object()) records.push_back(std::move(record));
    }
    return records;
}

com::ComPtr<LogService> LogService::Create(std::optional<std::filesystem::path> file) {
    return com::ComPtr<LogService>(new LogService(std::move(file)));
}

void LogService::CaptureError(const com::ComError& error) {
    captured_ = error;
}

com::Variant LogService::ReportError(const com::Variant& code, const std::string& source,
                                     const std::string& procedure) {
    nlohmann::json record = {
        {"time", NowIso8601()},
        {"code", CodeJson(code)},
        {"source", source},
        {"procedure", procedure},
        {"number", captured_.Number()},
        {"description", captured_.Description()},
        {"error_source", captured_.Source()},
    };
    // What the provider said, where it said anything: its code, its message, the statement.
    if (captured_.NativeCode() != 0) record["native"] = captured_.NativeCode();
    if (!captured_.Detail().empty()) record["detail"] = captured_.Detail();
    captured_ = com::ComError();
    // Invalid UTF-8 in a description must not lose the record.
    std::string line = record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
    std::cerr << line << std::flush;

    AppendLine(File(), line);
    return {};
}

void LogFailure(const com::ComError& error, const std::string& source,
                const std::string& procedure) noexcept {
    try {
        auto log = LogService::Create();
        log->CaptureError(error);
        log->ReportError(com::Variant::Null(), source, procedure);
    } catch (...) {
    }
}

int32_t LogService::LogMessageBox(std::string& text, int32_t& flags, const std::string& title,
                                  int32_t, int32_t) {
    return PresentMessage(text, flags, title);
}

}  // namespace framework
