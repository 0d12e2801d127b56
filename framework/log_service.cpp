#include "framework/log_service.h"

#include "framework/text_service.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iostream>

#include <fmt/chrono.h>
#include <fmt/format.h>

#include "platform/com/user_files.h"
#include "platform/ui/toolkit.h"

namespace framework {

namespace {

constexpr int32_t kPathFileAccessError = 75;

std::filesystem::path FromEnv(const char* name) {
    const char* v = std::getenv(name);
    return v && *v ? std::filesystem::path(v) : std::filesystem::path();
}

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

// Appends the line with one write: other writers of the file (threads, other programs) append
// whole lines between ours, never inside them. False with errno set when it fails.
bool AppendLine(const std::filesystem::path& path, const std::string& line) {
    int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    ssize_t written = ::write(fd, line.data(), line.size());
    int error = errno;
    ::close(fd);
    if (written == static_cast<ssize_t>(line.size())) return true;
    errno = written < 0 ? error : EIO;
    return false;
}

}  // namespace

std::filesystem::path DefaultLogPath() {
    if (auto p = FromEnv("DRAVEL_LOG"); !p.empty()) return p;
    if (auto p = FromEnv("XDG_STATE_HOME"); !p.empty()) return p / "dravel" / "dravel.log";
    return com::UserHome() / ".local" / "state" / "dravel" / "dravel.log";
}

std::vector<nlohmann::json> ReadLogRecords(const std::filesystem::path& file) {
    std::vector<nlohmann::json> records;
    std::ifstream in(file);
    if (!in) return records;
    std::string line;
    for (int n = 1; std::getline(in, line); ++n) {
        if (line.empty()) continue;
        auto record = nlohmann::json::parse(line, nullptr, false);
        if (record.is_discarded() || !record.is_object())
            throw com::ComError(com::err::InvalidCall,
                                fmt::format("{}:{}: not a log record", file.string(), n),
                                "LogService");
        records.push_back(std::move(record));
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
    captured_ = com::ComError();
    // Invalid UTF-8 in a description must not lose the record.
    std::string line = record.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) + '\n';
    std::cerr << line << std::flush;

    auto path = File();
    std::error_code ec;
    if (path.has_parent_path()) std::filesystem::create_directories(path.parent_path(), ec);
    if (!AppendLine(path, line))
        throw com::ComError(
            kPathFileAccessError,
            fmt::format("Cannot write the log file {}: {}", path.string(), std::strerror(errno)),
            "LogService");
    return {};
}

int32_t LogService::LogMessageBox(std::string& text, int32_t& flags, const std::string& title,
                                  int32_t, int32_t) {
    return PresentMessage(text, flags, title);
}

}  // namespace framework
