#include "bench/window_session.h"

#include <cstdlib>
#include <stdexcept>

#include <nlohmann/json.hpp>

#include "bench/criteria_database.h"
#include "framework/host_classes.h"
#include "framework/log_service.h"
#include "platform/ui/control.h"

namespace bench {

namespace {

std::filesystem::path LogFile() {
    return TemporaryFolder() / "dravel.log";
}

// The registry and the log live in the run's folder; the classes and the module are registered
// once per process, as a host program does at start.
void PrepareProcess() {
    static bool done = [] {
        ::setenv("DRAVEL_REGISTRY", (TemporaryFolder() / "registry.json").c_str(), 1);
        ::setenv("DRAVEL_LOG", LogFile().c_str(), 1);
        framework::RegisterHostClasses();
        framework::HostSession::RegisterModule(DRAVEL_MODULE_PATH);
        return true;
    }();
    (void)done;
}

template <class I>
com::ComPtr<I> Control(ui::IForm& window, const std::string& name) {
    auto control = window.Control(name);
    auto typed = control ? control.template As<I>() : nullptr;
    if (!typed) throw std::runtime_error("No control " + name + " of the kind asked for");
    return typed;
}

}  // namespace

WindowSession::WindowSession(const std::string& connectionString) {
    scoped_ = std::make_unique<ui::ScopedToolkit>(toolkit_);
    PrepareProcess();
    logRecords_ = framework::ReadLogRecords(LogFile()).size();
    session_ = std::make_unique<framework::HostSession>(connectionString);
}

// Only a benchmark that stopped half-way leaves the window open; its own failure is the one
// worth seeing, not a second one from closing.
WindowSession::~WindowSession() {
    try {
        if (session_->Module()) {
            if (session_->Window()) session_->CloseForm();
            session_->EndModule();
        }
    } catch (...) {
    }
}

void WindowSession::ShowIn(std::unique_ptr<ui::Toolkit> toolkit) {
    scoped_.reset();
    shownIn_ = std::move(toolkit);
    scoped_ = std::make_unique<ui::ScopedToolkit>(*shownIn_);
}

void WindowSession::Open() {
    session_->ChooseCompany(kCompany);
    session_->CreateModule();
    session_->ShowForm();
    auto* shown = ui::Toolkit::Current().ActiveForm();
    if (!shown || !shown->Loaded())
        throw std::runtime_error("The window did not open: " + Trouble());
}

void WindowSession::Close() {
    session_->CloseForm();
    session_->EndModule();
}

void WindowSession::OpenOnLine(int32_t line) {
    Open();
    driver_.SelectLine(Window(), "QGRID", line);
}

ui::IForm& WindowSession::OpenMatrix(int32_t criterion) {
    session_->ChooseCompany(kCompany);
    return session_->OpenMatrix(criterion);
}

void WindowSession::CloseMatrix() {
    if (auto matrix = session_->Matrix()) matrix->Unload();
}

ui::IForm& WindowSession::Window() {
    auto* shown = ui::Toolkit::Current().ActiveForm();
    if (!shown) throw std::runtime_error("The window is not open");
    return *shown;
}

int32_t WindowSession::GridLineCount() {
    return LineCount(Window(), "QGRID");
}

std::vector<std::string> WindowSession::GridCells(int32_t line) {
    return LineCells(Window(), "QGRID", line);
}

int32_t WindowSession::LineCount(ui::IForm& window, const std::string& grid) {
    return Control<ui::ILineView>(window, grid)->LineCount();
}

std::vector<std::string> WindowSession::LineCells(ui::IForm& window, const std::string& grid,
                                                  int32_t line) {
    return Control<ui::ILineView>(window, grid)->LineCells(line);
}

int32_t WindowSession::CurrentGridLine() {
    return Control<ui::ILineView>(Window(), "QGRID")->CurrentLine();
}

std::string WindowSession::Text(const std::string& control) {
    return Control<ui::ITextInput>(Window(), control)->DisplayText();
}

std::string WindowSession::Trouble() {
    std::string trouble;
    for (const auto& m : toolkit_.Messages()) trouble += "message \"" + m.text + "\"; ";
    if (toolkit_.Beeps() > 0) trouble += std::to_string(toolkit_.Beeps()) + " beeps; ";
    auto records = framework::ReadLogRecords(LogFile());
    for (size_t i = logRecords_; i < records.size(); ++i) trouble += records[i].dump() + "; ";
    return trouble;
}

void WindowSession::FailOnTrouble(benchmark::State& state) {
    if (auto trouble = Trouble(); !trouble.empty()) state.SkipWithError(trouble.c_str());
}

}  // namespace bench
