// dravel-host: the desktop host. Opens a database, shows the host shell with the company
// selector and the module's menu entry, and opens the module's window on the first company.

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QMessageBox>
#include <iostream>

#include "app/command_line.h"
#include "app/database_option.h"
#include "app/display.h"
#include "app/file_size_signal.h"
#include "app/first_company.h"
#include "app/language.h"
#include "app/paths.h"
#include "app/utf8_arguments.h"
#include "app/window_text.h"
#include "framework/host_classes.h"
#include "framework/host_session.h"
#include "framework/log_service.h"
#include "gui/host_window.h"
#include "gui/qt_toolkit.h"
#include "gui/ui_text.h"
#include "platform/com/registry.h"

namespace {

struct Options {
    std::string database;
    int company = 0;
    bool modal = false;
    std::string language;
};

int RunDesktop(int argc, char** argv, const Options& options) {
    QApplication app(argc, argv);
    QApplication::setApplicationName("dravel-host");
    framework::RegisterHostClasses();
    auto choice = app::ChooseDatabase(options.database);
    framework::HostSession session(
        choice.connectionString,
        {.createDatabase = choice.demo, .demoData = true, .language = options.language});
    app::EnsureModuleRegistered();
    session.ChooseCompany(options.company == 0 ? app::FirstCompany(session) : options.company);

    gui::HostWindow window(session, {.modal = options.modal});
    gui::QtToolkit toolkit(window.Area());
    ui::ScopedToolkit scope(toolkit);
    toolkit.OnFormUnloaded([&](ui::IForm&) { window.WindowClosed(); });
    window.show();
    window.OpenModule();
    int code = QApplication::exec();
    session.EndModule();
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    app::IgnoreFileSizeSignal();
    if (int refused = app::RefuseNonUtf8Arguments("dravel-host", argc, argv, std::cerr))
        return refused;
    CLI::App cli{"dravel-host: the desktop window for criteria maintenance"};
    Options options;
    app::DatabaseOptions database;
    app::AddDatabaseOptions(cli, database, "$DRAVEL_DATABASE, else the demo database");
    cli.add_option("--company", options.company, "company code (default: the first)");
    cli.add_flag("--modal", options.modal, "show the module's window modal");
    options.language = app::LocaleLanguage();
    app::AddLanguageOption(cli, options.language);
    if (auto exit = app::ParseCommandLine(cli, "dravel-host", argc, argv)) return *exit;
    app::HidePasswords(argc, argv);
    app::SetProgramLanguage(options.language);

    try {
        options.database = app::ChosenDatabase(database);
        if (std::string why = app::DisplayUnavailable(); !why.empty()) {
            std::cout << "dravel-host: " << why << "; the window follows as text.\n\n";
            auto choice = app::ChooseDatabase(options.database);
            app::ShowWindowAsText(choice.connectionString, choice.demo, options.company,
                                  options.language, std::cout);
            std::cout << "\n" << app::RemoteDisplayHint() << "\n";
            return 0;
        }
        return RunDesktop(argc, argv, options);
    } catch (...) {
        auto e = com::CurrentError();
        if (!e.Detail().empty()) framework::LogFailure(e, "dravel-host", "main");
        std::cerr << "dravel-host: " << app::ProgramText(e.Description()) << " (error "
                  << e.Number() << ")\n";
        return 1;
    }
}
