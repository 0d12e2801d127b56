#pragma once
// The criteria window of company 1 driven as a user does: the host framework's classes, a host
// session on a database, the module created by program identifier from libdravel.so, and
// the headless toolkit with its driver (or another toolkit that shows the window).

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "framework/host_session.h"
#include "platform/ui/headless.h"

namespace bench {

class WindowSession {
  public:
    static constexpr int32_t kCompany = 1;

    // Opens the host's session on the database of `connectionString`; the window is not open
    // yet.
    explicit WindowSession(const std::string& connectionString);
    ~WindowSession();
    WindowSession(const WindowSession&) = delete;
    WindowSession& operator=(const WindowSession&) = delete;

    // Windows are shown in `toolkit` from now on. The headless toolkit still keeps the record
    // of messages and beeps that Trouble() reads, if `toolkit` hands them on to it.
    void ShowIn(std::unique_ptr<ui::Toolkit> toolkit);

    // What the host does when the user opens the window from the menu, and then closes it.
    void Open();
    void Close();
    // Opens the window and selects a line of its grid, as before an action on one criterion.
    void OpenOnLine(int32_t line);
    // What the host does when the user opens the matrix window on a criterion of company 1, and
    // then closes it.
    ui::IForm& OpenMatrix(int32_t criterion);
    void CloseMatrix();

    ui::IForm& Window();
    ui::Driver& Driver() { return driver_; }
    int32_t GridLineCount();
    // The cells of a grid line as shown: reading them draws the grid's lines, as a user's look
    // at the window does.
    std::vector<std::string> GridCells(int32_t line);
    // The same for the grid `grid` of `window`.
    static int32_t LineCount(ui::IForm& window, const std::string& grid);
    static std::vector<std::string> LineCells(ui::IForm& window, const std::string& grid,
                                              int32_t line);
    int32_t CurrentGridLine();
    std::string Text(const std::string& control);

    // What went wrong out of sight since the session began (messages shown, beeps, records
    // added to the log); empty when nothing did.
    std::string Trouble();
    // Marks the benchmark failed with that trouble, if any.
    void FailOnTrouble(benchmark::State& state);

  private:
    ui::HeadlessToolkit toolkit_;
    ui::Driver driver_{toolkit_};
    std::unique_ptr<ui::Toolkit> shownIn_;
    std::unique_ptr<ui::ScopedToolkit> scoped_;
    std::unique_ptr<framework::HostSession> session_;
    size_t logRecords_ = 0;
};

}  // namespace bench
