#include "app/history_command.h"

#include <CLI/CLI.hpp>
#include <limits>

#include <nlohmann/json.hpp>

#include "app/command_line.h"
#include "app/company_session.h"
#include "app/language.h"
#include "db/history.h"
#include "framework/history_text.h"
#include "platform/text/utf8.h"

namespace app {

namespace {

using Json = nlohmann::ordered_json;

Json Optional(const std::optional<int32_t>& value) {
    return value ? Json(*value) : Json();
}

// The record as an object, its detail as the object it holds (as a text when it holds none).
Json RecordJson(const db::HistoryRecord& r) {
    Json detail = Json::parse(r.detail, nullptr, false);
    if (detail.is_discarded()) detail = txt::ValidUtf8(r.detail);
    return {{"id", r.id},
            {"when", r.when},
            {"user", txt::ValidUtf8(r.user)},
            {"program", txt::ValidUtf8(r.program)},
            {"company", r.company},
            {"action", r.action},
            {"table", r.table},
            {"key", Optional(r.key)},
            {"criterion", Optional(r.criterion)},
            {"detail", detail}};
}

}  // namespace

HistoryCommand::HistoryCommand(CLI::App& cli, DatabaseOptions& database, std::string& language) {
    history_ = cli.add_subcommand(
        "history", "list the changes to a company's criteria and matrix rows, newest first");
    AddDatabaseOptions(*history_, database, "$DRAVEL_DATABASE, else the demo database");
    AddLanguageOption(*history_, language);
    history_->add_option("--company", company_, "company code")->required();
    history_
        ->add_option("--criterion", criterion_,
                     "only the criterion's records and its matrix rows' (MGA0_ID)")
        ->check(CLI::Range(1, std::numeric_limits<int32_t>::max()));
    history_->add_option("--since", since_, "only the records of that day (UTC) and after");
    history_->add_option("--limit", limit_, "at most that many records")
        ->check(CLI::NonNegativeNumber);
    history_->add_flag("--json", json_, "print one JSON document");
}

bool HistoryCommand::Chosen() const {
    return history_->parsed();
}

int HistoryCommand::Run(const std::string& database, const std::string& language,
                        std::ostream& out) {
    db::HistoryFilter filter{.company = company_};
    if (history_->count("--criterion")) filter.criterion = criterion_;
    if (history_->count("--limit")) filter.limit = limit_;
    if (history_->count("--since")) {
        if (!db::IsHistoryDay(since_))
            throw UsageError(ProgramText("Data non valida per --since: %1 (AAAA-MM-GG)", {since_}));
        filter.since = since_;
    }
    auto session = OpenCompanySession(database, company_, language);
    bool first = true;
    if (json_) out << "[";
    db::ReadHistory(session->Database(), filter, [&](const db::HistoryRecord& record) {
        if (json_) {
            out << (first ? "\n" : ",\n")
                << RecordJson(record).dump(-1, ' ', false, Json::error_handler_t::replace);
        } else {
            out << framework::HistoryHeadline(record) << "\n";
            for (const auto& line : framework::HistoryDetailLines(record.detail))
                out << "    " << line << "\n";
        }
        first = false;
    });
    if (json_) out << (first ? "]\n" : "\n]\n");
    return 0;
}

}  // namespace app
