// dravel-host: the desktop host. Opens a database, shows the host shell with the company
// selector and the module's menu entry, and opens the module's window on the first company.

#include <CLI/CLI.hpp>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <memory>

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
#include "gui/host_window.h"
#include "gui/qt_toolkit.h"
#include "gui/ui_text.h"
#include "platform/com/registry.h"

namespace {

struct Options {
    app::DatabaseOptions database;
    int company = 0;
    bool modal = false;
    std::string language;
};

// Started from the desktop's menu there is no terminal to read: a failure before the window
// opens is shown too, with what the log records beside the reason.
void ShowStartupFailure(const com::ComError& e) {
    QMessageBox box(QMessageBox::Critical, "Dravel",
                    gui::Qs(app::ProgramText(e.Text(), e.Values())), QMessageBox::Ok);
    box.setObjectName("startupFailure");
    box.setWindowIcon(gui::ProductIcon());
    box.setDetailedText(gui::Qs(e.Detail()));
    box.exec();
}

int RunDesktop(char* program, const Options& options) {
    // Qt is given the program's name only: no option of Qt's own (-platform vnc) is taken.
    int argc = 1;
    char* argv[] = {program, nullptr};
    QApplication app(argc, argv);
    QApplication::setApplicationName("dravel-host");
    std::unique_ptr<framework::HostSession> session;
    std::unique_ptr<gui::HostWindow> window;
    try {
        framework::RegisterHostClasses();
        auto choice = app::ChooseDatabase(app::ChosenDatabase(options.database));
        session = std::make_unique<framework::HostSession>(
            choice.connectionString, framework::SessionOptions{.createDatabase = choice.demo,
                                                               .demoData = true,
                                                               .language = options.language,
                                                               .program = "dravel-host"});
        app::EnsureModuleRegistered();
        session->ChooseCompany(options.company == 0 ? app::FirstCompany(*session)
                                                    : options.company);
        window = std::make_unique<gui::HostWindow>(*session, gui::HostOptions{options.modal});
    } catch (...) {
        ShowStartupFailure(app::ReportFailure("dravel-host", "main"));
        return 1;
    }

    gui::QtToolkit toolkit(window->Area());
    ui::ScopedToolkit scope(toolkit);
    window->Attach(toolkit);
    window->show();
    // From inside the event loop: a modal window's own loop then runs within it, and the quit
    // asked for over that window ends the program.
    QTimer::singleShot(0, window.get(), &gui::HostWindow::OpenModule);
    int code = QApplication::exec();
    session->EndModule();
    return code;
}

}  // namespace

int main(int argc, char** argv) {
    app::IgnoreFileSizeSignal();
    if (int refused = app::RefuseNonUtf8Arguments("dravel-host", argc, argv, std::cerr))
        return refused;
    CLI::App cli{"dravel-host: the desktop window for criteria maintenance"};
    Options options;
    app::AddDatabaseOptions(cli, options.database, "$DRAVEL_DATABASE, else the demo database");
    cli.add_option("--company", options.company, "company code (default: the first)");
    cli.add_flag("--modal", options.modal, "show the module's window modal");
    options.language = app::LocaleLanguage();
    app::AddLanguageOption(cli, options.language);
    if (auto exit = app::ParseCommandLine(cli, "dravel-host", argc, argv)) return *exit;
    app::HidePasswords(argc, argv);
    app::SetProgramLanguage(options.language);

    try {
        const app::Display display = app::FindDisplay();
        if (!display.unavailable.empty()) {
            std::cout << "dravel-host: " << display.unavailable
                      << "; the window follows as text.\n\n";
            auto choice = app::ChooseDatabase(app::ChosenDatabase(options.database));
            app::ShowWindowAsText(choice.connectionString, choice.demo, options.company,
                                  options.language, std::cout);
            std::cout << "\n" << app::RemoteDisplayHint() << "\n";
            return 0;
        }
        // Qt starts on the platforms found usable, and on no other.
        ::setenv("QT_QPA_PLATFORM", display.platform.c_str(), 1);
        return RunDesktop(argv[0], options);
    } catch (...) {
        app::ReportFailure("dravel-host", "main");
        return 1;
    }
}
