#include "app/matrix_commands.h"

#include <CLI/CLI.hpp>
#include <limits>
#include <sstream>

#include <nlohmann/json.hpp>

#include "app/company_session.h"
#include "app/language.h"
#include "app/text_table.h"
#include "determination/matrix_import.h"
#include "determination/report.h"
#include "framework/csv_reader.h"
#include "framework/csv_writer.h"
#include "platform/com/user_files.h"
#include "platform/text/text.h"
#include "platform/text/utf8.h"
#include "resources/attribute_catalogue.h"

namespace app {

namespace {

using determination::Criterion;
using determination::Translate;

void PrintCriteria(const std::vector<determination::CriterionRows>& criteria,
                   const Translate& translate, std::ostream& out) {
    std::vector<std::vector<std::string>> table = {{translate("Criterio"), translate("Tipo"),
                                                    translate("Priorità"), translate("Struttura"),
                                                    translate("Righe"), translate("Descrizione")}};
    for (const auto& [c, rows] : criteria)
        table.push_back({std::to_string(c.id), determination::TypeLabel(c.type, translate),
                         determination::PriorityText(c), txt::Join(c.structure, ";"),
                         std::to_string(rows), txt::Printable(c.description)});
    for (const auto& line : TextTable(table)) out << line << "\n";
}

nlohmann::json CriteriaJson(int32_t company,
                            const std::vector<determination::CriterionRows>& criteria) {
    nlohmann::json list = nlohmann::json::array();
    for (const auto& [c, rows] : criteria)
        list.push_back({{"id", c.id},
                        {"type", c.type},
                        {"priority", c.priority ? nlohmann::json(*c.priority) : nlohmann::json()},
                        {"description", txt::ValidUtf8(c.description)},
                        {"structure", c.structure},
                        {"rows", rows}});
    return {{"company", company}, {"criteria", list}};
}

void PrintRows(const Criterion& criterion, const std::vector<determination::MatrixRow>& rows,
               const Translate& translate, std::ostream& out) {
    std::vector<std::vector<std::string>> table(1, {translate("Riga")});
    for (const auto& code : criterion.structure)
        table[0].push_back(determination::AttributeLabel(code, translate));
    table[0].push_back(translate("Conto"));
    for (const auto& row : rows) {
        auto& line = table.emplace_back(1, std::to_string(row.id));
        for (const auto& v : row.values) line.push_back(txt::Printable(v));
        line.push_back(txt::Printable(row.account));
    }
    for (const auto& line : TextTable(table)) out << line << "\n";
}

nlohmann::json RowsJson(const Criterion& criterion,
                        const std::vector<determination::MatrixRow>& rows,
                        const Translate& translate) {
    nlohmann::json attributes = nlohmann::json::array(), list = nlohmann::json::array();
    for (const auto& code : criterion.structure)
        attributes.push_back(
            {{"code", code}, {"caption", determination::AttributeLabel(code, translate)}});
    for (const auto& row : rows) {
        nlohmann::json values = nlohmann::json::array();
        for (const auto& v : row.values) values.push_back(txt::ValidUtf8(v));
        list.push_back(
            {{"id", row.id}, {"values", values}, {"account", txt::ValidUtf8(row.account)}});
    }
    return {{"company", criterion.company},
            {"criterion", criterion.id},
            {"attributes", attributes},
            {"rows", list}};
}

}  // namespace

MatrixCommands::MatrixCommands(CLI::App& cli, DatabaseOptions& database, std::string& language) {
    matrix_ = cli.add_subcommand("matrix", "list, export or import counter-account matrix rows");
    matrix_->require_subcommand(1);
    list_ = matrix_->add_subcommand(
        "list", "list the company's criteria with their rows' count, or one criterion's rows");
    export_ = matrix_->add_subcommand("export", "write a criterion's rows as CSV");
    import_ = matrix_->add_subcommand("import", "read a criterion's rows from a CSV file");
    const auto positive = CLI::Range(1, std::numeric_limits<int32_t>::max());
    for (auto* command : {list_, export_, import_}) {
        AddDatabaseOptions(*command, database, "$DRAVEL_DATABASE, else the demo database");
        AddLanguageOption(*command, language);
        command->add_option("--company", company_, "company code")->required();
        auto* criterion =
            command->add_option("--criterion", criterion_, "the criterion's key (MGA0_ID)")
                ->check(positive);
        if (command != list_) criterion->required();
    }
    list_->add_flag("--json", json_, "print one JSON document");
    export_->add_option("--output", output_, "the file to write (default: standard output)");
    import_->add_option("FILE", file_, "the CSV file: the criterion's codes, then CONTO")
        ->required();
    import_->add_flag("--replace", replace_,
                      "the criterion's rows become exactly the file's (default: add and change)");
}

bool MatrixCommands::Chosen() const {
    return matrix_->parsed();
}

int MatrixCommands::Run(const std::string& database, const std::string& language, std::ostream& out,
                        std::ostream& err) {
    if (list_->parsed()) return List(database, language, out);
    if (export_->parsed()) return Export(database, language, out);
    return Import(database, language, out, err);
}

int MatrixCommands::List(const std::string& database, const std::string& language,
                         std::ostream& out) {
    auto session = OpenCompanySession(database, company_, language);
    const auto translate = TranslatorOf(*session);
    if (!list_->count("--criterion")) {
        const auto criteria = determination::CriteriaWithRowCounts(session->Database(), company_);
        if (json_)
            out << CriteriaJson(company_, criteria).dump(2) << "\n";
        else
            PrintCriteria(criteria, translate, out);
        return 0;
    }
    const auto criterion =
        determination::CriterionOf(session->Database(), company_, criterion_, translate);
    const auto rows = determination::LoadRows(session->Database(), criterion);
    if (json_)
        out << RowsJson(criterion, rows, translate).dump(2) << "\n";
    else
        PrintRows(criterion, rows, translate, out);
    return 0;
}

// The file is written whole or not at all, as the registry is.
int MatrixCommands::Export(const std::string& database, const std::string& language,
                           std::ostream& out) {
    auto session = OpenCompanySession(database, company_, language);
    const auto criterion = determination::CriterionOf(session->Database(), company_, criterion_,
                                                      TranslatorOf(*session));
    const auto rows = determination::LoadRows(session->Database(), criterion);
    std::ostringstream csv;
    framework::WriteCsvRecord(determination::FileHeader(criterion), csv);
    for (const auto& row : rows) {
        std::vector<std::string> fields = row.values;
        fields.push_back(row.account);
        framework::WriteCsvRecord(fields, csv);
    }
    if (output_.empty()) {
        out << csv.str();
    } else {
        com::ReplaceFile(output_, csv.str());
        out << ProgramText("Righe esportate in %1: %2", {output_, std::to_string(rows.size())})
            << "\n";
    }
    return 0;
}

int MatrixCommands::Import(const std::string& database, const std::string& language,
                           std::ostream& out, std::ostream& err) {
    std::istringstream content(com::ReadFile(file_));
    std::vector<determination::FileRecord> records;
    const auto quoteError = framework::ReadCsv(content, [&](size_t line, auto& cells) {
        records.push_back({line, std::move(cells)});
    });
    auto session = OpenCompanySession(database, company_, language);
    const auto outcome = determination::ImportRows(
        session->Database(), company_, criterion_, records,
        {.replace = replace_, .readWhole = !quoteError}, TranslatorOf(*session));
    const std::string file = txt::Printable(file_);
    for (const auto& fault : outcome.faults)
        err << file << ":" << fault.line << ": " << fault.reason << "\n";
    if (quoteError)
        err << file << ":" << quoteError->line << ": "
            << ProgramText(quoteError->unclosed
                               ? "Virgolette aperte e mai chiuse: la lettura si ferma qui"
                               : "Virgolette fuori posto: la lettura si ferma qui")
            << "\n";
    if (quoteError || !outcome.faults.empty()) {
        err << "dravel: "
            << ProgramText("Nulla è stato importato da %1: correggere le righe indicate.", {file})
            << "\n";
        return 1;
    }
    out << ProgramText("Righe aggiunte: %1, con un conto nuovo: %2, tolte: %3.",
                       {std::to_string(outcome.added), std::to_string(outcome.changed),
                        std::to_string(outcome.removed)})
        << "\n";
    return 0;
}

}  // namespace app
