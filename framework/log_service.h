#pragma once
// The log service: failures of a window's lifecycle, one JSON record per line in the log file
// and on standard error; messages shown on a window's behalf.

#include <cstdint>
#include <filesystem>
#include <optional>
#include <vector>

#include <nlohmann/json_fwd.hpp>

#include "contracts/models.h"

namespace framework {

// $DRAVEL_LOG, else $XDG_STATE_HOME/dravel/dravel.log, else ~/.local/state/dravel/dravel.log.
std::filesystem::path DefaultLogPath();

// A log file that reaches this size becomes FILE.1, replacing an older one, and a new one starts.
constexpr std::uintmax_t kLogRotationSize = 10 << 20;

// A place in a log: the file, by device and inode, and an offset in it.
struct LogPosition {
    std::uint64_t device = 0;
    std::uint64_t inode = 0;  // 0: no file, so everything in the log comes after
    std::uintmax_t offset = 0;
};

// Where the log ends now.
LogPosition LogEnd(const std::filesystem::path& file);

// The records of a log file written after `from` (by default all), oldest first: the rest of
// FILE.1 when the log was rotated since, then FILE. Lines that are not a JSON object are skipped.
std::vector<nlohmann::json> ReadLogRecords(const std::filesystem::path& file,
                                           const LogPosition& from = {});

// Writes a record of a failure to the default log, for those who look after the program (with
// what the user does not read: the provider's code and message, the statement). Never throws: a
// log that cannot be written must not keep the failure from being shown or reported otherwise
// (the record is echoed on standard error all the same).
void LogFailure(const com::ComError& error, const std::string& source,
                const std::string& procedure) noexcept;

class LogService : public com::ComObject<LogService, host::ILogService> {
  public:
    // Writes to `file`, or to DefaultLogPath() as it is when each report is written.
    static com::ComPtr<LogService> Create(std::optional<std::filesystem::path> file = {});

    // Keeps the error for the next report.
    void CaptureError(const com::ComError& error) override;
    // Writes one record: time (ISO 8601, UTC), code, source, procedure, and the captured
    // error's number, description, source and native code and detail (when it has them); then
    // forgets the error. The record goes to
    // standard error even when the file cannot be written, which is then error 75. A log file
    // that others could change (see com::TrustedPath; no link is followed to it) is not written
    // and no error: standard error says so once, and the program goes on without it.
    com::Variant ReportError(const com::Variant& code, const std::string& source,
                             const std::string& procedure) override;
    int32_t LogMessageBox(std::string& text, int32_t& flags, const std::string& title, int32_t a,
                          int32_t b) override;

    std::filesystem::path File() const { return file_ ? *file_ : DefaultLogPath(); }

  private:
    explicit LogService(std::optional<std::filesystem::path> file) : file_(std::move(file)) {}

    std::optional<std::filesystem::path> file_;
    com::ComError captured_;
};

}  // namespace framework
