#include "gui/host_window.h"

#include <QAction>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QLabel>
#include <QLibraryInfo>
#include <QMdiArea>
#include <QMenuBar>
#include <QMessageBox>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <fstream>

#include "contracts/cinterface_access.h"
#include "contracts/controls.h"
#include "contracts/navigator.h"
#include "contracts/record_frame.h"
#include "framework/export_to_office.h"
#include "gui/check_dialog.h"
#include "gui/guarded.h"
#include "gui/history_dialog.h"
#include "gui/qt_toolkit.h"
#include "gui/trial_dialog.h"
#include "gui/ui_text.h"
#include "platform/ado/connection_string.h"
#include "platform/ui/control.h"
#include "platform/ui/toolkit.h"
#include "window/posting_types.h"

namespace gui {

QIcon ProductIcon() {
    return QIcon(":/dravel/dravel.svg");
}

namespace {

constexpr const char* kShellTitle = "Dravel";

}  // namespace

HostWindow::HostWindow(framework::HostSession& session, HostOptions options)
    : session_(session), options_(options) {
    setObjectName("hostWindow");
    setWindowTitle(kShellTitle);
    setWindowIcon(ProductIcon());  // the windows inside and the boxes over it show it too
    // Without the catalogue (Qt's translations not installed) Qt's texts stay English.
    if (qtTexts_.load(QLocale(Qs(session_.Global().Texts().Language())), "qtbase", "_",
                      QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QCoreApplication::installTranslator(&qtTexts_);
    area_ = new QMdiArea(this);
    area_->setObjectName("mdiArea");
    setCentralWidget(area_);
    BuildMenus();
    BuildToolbar();
    status_ = new QLabel(this);
    status_->setObjectName("status");
    statusBar()->addWidget(status_, 1);
    transfer_ = new QLabel(this);
    transfer_->setObjectName("transfer");
    statusBar()->addPermanentWidget(transfer_);
    session_.OnDataTransfer([this](const com::Variant& data) { ShowTransfer(data); });
    ShowCompany();
    UpdateActions();
    resize(900, 700);
}

HostWindow::~HostWindow() {
    session_.OnDataTransfer(nullptr);
}

void HostWindow::Attach(QtToolkit& toolkit) {
    // The session tells the module's window from the matrix window: the module ends only when
    // its own window has gone.
    toolkit.OnFormUnloaded([this](ui::IForm&) { WindowClosed(); });
    toolkit.OnCloseRequested([this](ui::IForm& form) { return EditSettled(&form); });
    toolkit.OnBusy([this](bool busy) { ShowBusy(busy); });
    toolkit.CarryIntoModalWindows({quit_});
}

void HostWindow::BuildMenus() {
    auto* file = menuBar()->addMenu(Tr("&File"));
    quit_ = file->addAction(Tr("&Esci"), this, &QWidget::close);
    quit_->setObjectName("quit");
    quit_->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));
    auto* modules = menuBar()->addMenu(Tr("&Moduli"));
    auto* entry = modules->addAction(Tr(framework::kModuleCaption), this, &HostWindow::OpenModule);
    entry->setObjectName("openModule");
    entry->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_M));
    auto* tools = menuBar()->addMenu(Tr("&Strumenti"));
    matrix_ = tools->addAction(Tr("&Matrice contropartite"), this, &HostWindow::OpenMatrix);
    matrix_->setObjectName("matrix");
    matrix_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_C));
    tools->addAction(Tr("&Verifica"), this, &HostWindow::OpenCheck);
    tools->addAction(Tr("&Prova"), this, &HostWindow::OpenTrial);
    history_ = tools->addAction(Tr("&Storico"), this, &HostWindow::OpenHistory);
    history_->setObjectName("history");
    history_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_S));
    auto* window = menuBar()->addMenu(Tr("F&inestre"));
    window->addAction(Tr("&Affianca"), area_, &QMdiArea::tileSubWindows);
    window->addAction(Tr("&Sovrapponi"), area_, &QMdiArea::cascadeSubWindows);
}

void HostWindow::BuildToolbar() {
    auto* bar = addToolBar(Tr("Navigatore"));
    bar->setObjectName("navigator");
    bar->setMovable(false);
    auto* label = new QLabel(Tr("Ditta") + ": ", bar);
    companies_ = new QComboBox(bar);
    companies_->setObjectName("companies");
    label->setBuddy(companies_);
    companies_->setAccessibleName(Tr("Ditta"));
    for (const auto& c : session_.Companies())
        companies_->addItem(QStringLiteral("%1 - %2").arg(c.code).arg(Qs(c.name)), c.code);
    connect(companies_, &QComboBox::activated, this,
            [this](int index) { ChangeCompany(companies_->itemData(index).toInt()); });
    bar->addWidget(label);
    bar->addWidget(companies_);
    bar->addSeparator();
    mediaLink_ = bar->addAction(Tr("Collegamento multimediale"), this, &HostWindow::OpenMediaLink);
    mediaLink_->setObjectName("mediaLink");
    mediaLink_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_M));
    export_ = bar->addAction(Tr("Esporta in Office"), this, &HostWindow::Export);
    export_->setObjectName("exportToOffice");
    export_->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    bar->addSeparator();
    bar->addAction(matrix_);  // the menu's own, its shortcut shown in both
    auto* check = bar->addAction(Tr("Verifica"), this, &HostWindow::OpenCheck);
    check->setObjectName("check");
    check->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_V));
    auto* trial = bar->addAction(Tr("Prova"), this, &HostWindow::OpenTrial);
    trial->setObjectName("trial");
    trial->setShortcut(QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_P));
    bar->addAction(history_);
    for (auto* a : {mediaLink_, export_, matrix_, check, trial, history_})
        a->setToolTip(QStringLiteral("%1 (%2)").arg(
            a->iconText(), a->shortcut().toString(QKeySequence::NativeText)));
}

int32_t HostWindow::ActiveCompanyCode() const {
    auto company = session_.Global().ActiveCompany();
    return company ? company->CompanyCode().ToLong() : 0;
}

void HostWindow::ShowCompany() {
    int index = companies_->findData(ActiveCompanyCode());
    companies_->setCurrentIndex(index);
    status_->setText(QStringLiteral("Database: %1    %2: %3")
                         .arg(Qs(ado::DatabaseLabel(session_.ConnectionString())), Tr("Ditta"),
                              index >= 0 ? companies_->itemText(index) : QString()));
}

void HostWindow::UpdateActions() {
    const bool open = session_.Window() != nullptr;
    mediaLink_->setEnabled(open);
    export_->setEnabled(open);
}

void HostWindow::OpenModule() {
    Guarded(framework::kModuleCaption, [&] {
        if (auto window = session_.Window()) {
            // The module's ShowForm makes a new window each time: the one open comes forward.
            ui::Toolkit::Current().ShowForm(*window, false);
            return;
        }
        framework::ModuleSettings settings;
        settings.modal = options_.modal;
        session_.CreateModule(settings);
        UpdateActions();
        session_.ShowForm();
    });
    UpdateActions();
}

void HostWindow::OpenMatrix() {
    Guarded(framework::kMatrixCaption, [&] { session_.OpenMatrix(); });
}

void HostWindow::ChangeCompany(int32_t code) {
    Guarded(kShellTitle, [&] {
        auto company = session_.Global().ActiveCompany();
        if (company && company->CompanyCode().ToLong() == code) return;
        if (EditSettled() && session_.ChangeCompany(code))
            CloseDialogs();  // they were about the other one
    });
    ShowCompany();  // the selector shows the company that is active, changed or not
}

void HostWindow::WindowClosed() {
    // The module is done with once its window has gone; it is ended outside the window's own
    // unloading.
    QTimer::singleShot(0, this, [this] {
        if (!session_.Window()) Guarded(kShellTitle, [&] { session_.EndModule(); });
        UpdateActions();
    });
}

void HostWindow::OpenMediaLink() {
    Guarded(kShellTitle, [&] { session_.PressNavigatorButton(host::navigator_button::MediaLink); });
}

// Exports the lines of the module's grid as the navigator does: the module titles the export,
// the user picks the file; the lines go out as CSV (semicolons, as spreadsheets here read them).
void HostWindow::Export() {
    Guarded(kShellTitle, [&] {
        auto window = session_.Window();
        if (!window) return;
        auto exporter = session_.PrepareExportToOffice();
        std::string title = exporter->TitoloMaster().IsEmpty() ? std::string("export")
                                                               : exporter->TitoloMaster().ToText();
        QString folder = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
        QString file = QFileDialog::getSaveFileName(
            this, Tr("Esporta in Office"), folder + "/" + Qs(title) + ".csv", "CSV (*.csv)");
        if (file.isEmpty()) return;
        std::ofstream out(file.toStdString(), std::ios::binary);
        framework::WriteLinesAsCsv(*window, out);
        out.close();
        if (!out)
            throw com::ComError(com::err::PathFileAccess, "Cannot write " + file.toStdString());
    });
}

namespace {

// Shows a dialog made now or earlier on top; nothing when it could not be made.
void BringForward(QDialog* dialog) {
    if (!dialog) return;
    dialog->show();
    dialog->raise();
    dialog->activateWindow();
}

}  // namespace

void HostWindow::OpenCheck() {
    if (!check_)
        Guarded(kShellTitle, [&] {
            check_ = new CheckDialog(session_.Database(), ActiveCompanyCode(), this);
            check_->setAttribute(Qt::WA_DeleteOnClose);
        });
    BringForward(check_);
}

void HostWindow::OpenTrial() {
    if (!trial_)
        Guarded(kShellTitle, [&] {
            const bool allTypes = dravel::KeepsAccountTypes(
                session_.Global().ActiveCompany()->AccountTypesParameter());
            trial_ = new TrialDialog(session_.Database(), ActiveCompanyCode(), allTypes, this);
            trial_->setAttribute(Qt::WA_DeleteOnClose);
        });
    BringForward(trial_);
}

void HostWindow::OpenHistory() {
    Guarded(kShellTitle, [&] {
        std::optional<int32_t> criterion;
        auto* active = ui::Toolkit::Current().ActiveForm();
        if (auto matrix = session_.Matrix(); matrix && active == matrix.Get())
            criterion = matrix->Criterion();
        else if (auto window = session_.Window(); window && active == window.Get())
            criterion = session_.CurrentCriterion();
        if (!historyDialog_) {
            historyDialog_ =
                new HistoryDialog(session_.Database(), ActiveCompanyCode(), criterion, this);
            historyDialog_->setAttribute(Qt::WA_DeleteOnClose);
        } else if (criterion) {
            historyDialog_->ShowCriterion(criterion);
        }
    });
    BringForward(historyDialog_);
}

void HostWindow::CloseDialogs() {
    for (QDialog* d : {check_.data(), trial_.data(), static_cast<QDialog*>(historyDialog_.data())})
        if (d) d->close();
}

void HostWindow::closeEvent(QCloseEvent* e) {
    if (!EditSettled()) return e->ignore();
    Guarded(kShellTitle, [&] { session_.EndModule(); });
    e->accept();
}

namespace {

bool Pending(host::IRecordFrame* frame) {
    return frame && (frame->Modified() || frame->Status() == host::frame_status::New);
}

// The record frame of the module's window (a host module without a frame has none).
com::ComPtr<host::IRecordFrame> ModuleFrame(host::IGlobal& global) {
    auto module = global.ActiveModule();
    if (!module) return nullptr;
    return host::GetRef(module.Get(), &host::Cinterface::get_ActiveFrame).As<host::IRecordFrame>();
}

}  // namespace

bool HostWindow::EditSettled(ui::IForm* window) {
    // The windows holding an edit not saved (a row changed, or a new row), each with its frame.
    std::vector<std::pair<com::ComPtr<ui::IForm>, com::ComPtr<host::IRecordFrame>>> edits;
    Guarded(kShellTitle, [&] {
        if (auto module = session_.Window(); !window || window == module.Get())
            if (auto frame = ModuleFrame(session_.Global()); Pending(frame.Get()))
                edits.emplace_back(module, frame);
        if (auto matrix = session_.Matrix(); !window || window == matrix.Get())
            if (auto frame = matrix ? matrix->Frame() : nullptr; Pending(frame.Get()))
                edits.emplace_back(matrix, frame);
    });
    for (auto& [form, frame] : edits)
        if (!Settled(form.Get(), *frame)) return false;
    return true;
}

// Asks about one window's edit, with that window in front when there are two.
bool HostWindow::Settled(ui::IForm* window, host::IRecordFrame& frame) {
    if (window && ui::Toolkit::Current().ActiveForm() != window)
        Guarded(kShellTitle, [&] { ui::Toolkit::Current().ShowForm(*window, false); });
    QMessageBox box(QMessageBox::Question, kShellTitle, Tr("Salvare le modifiche?"),
                    QMessageBox::NoButton, this);
    box.setObjectName("pendingEdit");
    // Each button says what it does: Qt's "Annulla" would read as the navigation bar's
    // "Annulla", which drops the edit. Esc and the title bar's close go back to the window.
    box.addButton(QMessageBox::Save)->setText(Tr("Salva"));
    box.addButton(QMessageBox::Discard)->setText(Tr("Non salvare"));
    box.addButton(QMessageBox::Cancel)->setText(Tr("Torna alla finestra"));
    box.setDefaultButton(QMessageBox::Save);
    box.exec();
    bool settled = false;
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Discard:
            // The matrix window stays with the host and would save its row on the next move:
            // the edit is undone as "Annulla" does. The module's window is ended, or asks itself.
            Guarded(kShellTitle, [&] {
                if (dynamic_cast<framework::MatrixWindow*>(window))
                    window->Control("INTERNAV")
                        .As<ui::IButtonBar>()
                        ->UserPress(host::nav_key::Undo);
                settled = true;
            });
            return settled;
        case QMessageBox::Save:
            // A save refused or failed has shown why and keeps the edit on screen.
            Guarded(kShellTitle, [&] {
                frame.Update();
                settled = !Pending(&frame);
            });
            return settled;
        default:
            return false;
    }
}

void HostWindow::ShowBusy(bool busy) {
    if (busy)
        statusBar()->showMessage(Tr("in attesa del database…"));
    else
        statusBar()->clearMessage();
    // Drawn and sent to the display now, the cursor's change before it: while the program waits
    // for the database the event loop does not run, and a later repaint would come too late.
    statusBar()->repaint();
}

// What the module handed back ("Esporta": the field structure), for the user to see that it came.
void HostWindow::ShowTransfer(const com::Variant& data) {
    QStringList values;
    for (const auto& v : data.IsArray() ? data.ToArray() : com::VariantArray{data})
        values << Qs(v.ToText());
    transfer_->setText(Tr("Struttura ricevuta: %1").arg(values.join(", ")));
}

}  // namespace gui
