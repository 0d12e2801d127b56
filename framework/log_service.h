#pragma once
// The log service: failures of a window's lifecycle, one JSON record per line in the log file
// and on standard error; messages shown on a window's behalf.

#include <filesystem>
#include <optional>
#include <vector>

#include <nlohmann/json.hpp>

#include "contracts/models.h"

namespace framework {

// $DRAVEL_LOG, else $XDG_STATE_HOME/dravel/dravel.log, else ~/.local/state/dravel/dravel.log.
std::filesystem::path DefaultLogPath();

// The records of a log file, oldest first (none when the file does not exist). A line that is
// not a JSON object is error 5 naming the file and line.
std::vector<nlohmann::json> ReadLogRecords(const std::filesystem::path& file);

class LogService : public com::ComObject<LogService, host::ILogService> {
  public:
    // Writes to `file`, or to DefaultLogPath() as it is when each report is written.
    static com::ComPtr<LogService> Create(std::optional<std::filesystem::path> file = {});

    // Keeps the error for the next report.
    void CaptureError(const com::ComError& error) override;
    // Writes one record: time (ISO 8601, UTC), code, source, procedure, and the captured
    // error's number, description and source; then forgets the error. The record goes to
    // standard error even when the file cannot be written, which is then error 75.
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
