#include "app/company_commands.h"

#include <CLI/CLI.hpp>
#include <charconv>
#include <limits>

#include "app/command_line.h"
#include "app/first_company.h"
#include "app/language.h"
#include "app/paths.h"
#include "app/text_table.h"
#include "framework/company_table.h"
#include "framework/host_session.h"
#include "platform/text/text.h"
#include "platform/text/utf8.h"

namespace app {

namespace {

// DITTA_RAGSOC's width, in characters.
constexpr size_t kNameWidth = 80;

// A setting as the host reads it: a 32-bit integer, or "null"; nothing for another text.
std::optional<com::Variant> SettingValue(const std::string& text) {
    if (text == "null") return com::Variant::Null();
    int32_t value = 0;
    const char* end = text.data() + text.size();
    auto [at, ec] = std::from_chars(text.data(), end, value);
    if (text.empty() || ec != std::errc() || at != end) return std::nullopt;
    return com::Variant(value);
}

std::string SettingText(const com::Variant& value) {
    return value.IsNull() ? "null" : value.ToText();
}

// The companies as a table, the name last so that its width does not matter.
void PrintCompanies(const std::vector<framework::CompanyListEntry>& companies, std::ostream& out) {
    if (companies.empty()) {
        out << NoCompanyText() << "\n";
        return;
    }
    std::vector<std::vector<std::string>> rows = {{ProgramText("Ditta"), ProgramText("Tipi conto"),
                                                   ProgramText("Annidamento classi"),
                                                   ProgramText("Ragione sociale")}};
    for (const auto& c : companies)
        rows.push_back({std::to_string(c.code), SettingText(c.accountTypes),
                        SettingText(c.itemClassNesting), txt::Printable(c.name)});
    for (const auto& line : TextTable(rows)) out << line << "\n";
}

}  // namespace

CompanyCommands::CompanyCommands(CLI::App& cli, DatabaseOptions& database, std::string& language) {
    company_ = cli.add_subcommand("company", "list, add or change the host's companies");
    company_->require_subcommand(1);
    list_ = company_->add_subcommand("list", "list the companies and their settings");
    add_ = company_->add_subcommand("add", "add a company");
    set_ = company_->add_subcommand("set", "change a company's name or settings");
    const CLI::Validator setting(
        [](std::string& text) {
            return SettingValue(text) ? std::string() : "a whole number or null, not " + text;
        },
        "N|null");
    for (auto* command : {list_, add_, set_}) {
        AddDatabaseOptions(*command, database, "$DRAVEL_DATABASE, else the demo database");
        AddLanguageOption(*command, language);
    }
    for (auto* command : {add_, set_}) {
        command->add_option("--code", code_, "company code (DITTA_CODICE), from 1")
            ->required()
            ->check(CLI::Range(1, std::numeric_limits<int32_t>::max()));
        command->add_option("--name", name_, "company name (DITTA_RAGSOC), up to 80 characters");
        command
            ->add_option("--account-types", accountTypes_,
                         "DITTA_PARAMTIPICONTO: 1 or 4 offer all seven posting types")
            ->check(setting);
        command
            ->add_option("--item-class-nesting", itemClassNesting_,
                         "DITTA_ANNIDACLASSI: 1 makes the item classes one chain")
            ->check(setting);
    }
    add_->get_option("--name")->required();
}

bool CompanyCommands::Chosen() const {
    return company_->parsed();
}

int CompanyCommands::Run(const std::string& database, const std::string& language,
                         std::ostream& out) {
    CLI::App* command = add_->parsed() ? add_ : set_->parsed() ? set_ : nullptr;
    framework::CompanySettings settings;
    if (command) {
        if (command->count("--name")) {
            if (txt::IsBlank(name_) || txt::CharCount(name_) > kNameWidth)
                throw UsageError(
                    ProgramText("La ragione sociale (--name) deve avere da 1 a %1 caratteri.",
                                {std::to_string(kNameWidth)}));
            settings.name = name_;
        }
        if (command->count("--account-types")) settings.accountTypes = SettingValue(accountTypes_);
        if (command->count("--item-class-nesting"))
            settings.itemClassNesting = SettingValue(itemClassNesting_);
        if (!settings.name && !settings.accountTypes && !settings.itemClassNesting)
            throw UsageError(ProgramText(
                "Indicare che cosa cambiare: --name, --account-types o --item-class-nesting."));
    }
    auto choice = ChooseDatabase(database);
    framework::HostSession session(
        choice.connectionString,
        {.createDatabase = choice.demo, .demoData = true, .language = language});
    if (command == add_) framework::AddCompany(session.Database(), code_, settings);
    if (command == set_) framework::ChangeCompany(session.Database(), code_, settings);
    auto companies = session.Companies();
    if (command) std::erase_if(companies, [&](const auto& c) { return c.code != code_; });
    PrintCompanies(companies, out);
    return 0;
}

}  // namespace app
