#include "app/window_text.h"

#include "app/first_company.h"
#include "app/paths.h"
#include "app/text_table.h"
#include "framework/host_classes.h"
#include "framework/host_session.h"
#include "framework/log_service.h"
#include "framework/text_service.h"
#include "platform/com/registry.h"
#include "platform/text/utf8.h"
#include "platform/ui/headless.h"
#include "platform/ui/list_box.h"

namespace app {

namespace {

template <class I>
com::ComPtr<I> Find(ui::IForm& window, const char* name) {
    auto c = window.Control(name);
    return c ? c.template As<I>() : nullptr;
}

std::string Label(ui::IForm& window, const char* name) {
    auto c = Find<ui::ICaptioned>(window, name);
    return c ? c->DisplayCaption() : name;
}

// Every text the window shows as the terminal prints it: what the database holds may carry
// control characters and bytes that are not UTF-8.
std::vector<std::string> Printable(std::vector<std::string> texts) {
    for (auto& t : texts) t = txt::Printable(t);
    return texts;
}

std::string Pad(const std::string& s, size_t width) {
    return s + std::string(width > txt::CharCount(s) ? width - txt::CharCount(s) : 0, ' ');
}

}  // namespace

void PrintWindow(ui::IForm& window, std::ostream& out) {
    out << "== " << txt::Printable(framework::Translated(window.Caption())) << " ==\n\n";
    if (auto grid = Find<ui::ILineView>(window, "QGRID")) {
        std::vector<std::vector<std::string>> rows = {Printable(grid->ColumnCaptions())};
        for (int i = 1; i <= grid->LineCount(); ++i) rows.push_back(Printable(grid->LineCells(i)));
        const auto lines = TextTable(rows);
        // The captions first, then the lines, the current one marked.
        for (size_t i = 0; i < lines.size(); ++i)
            out << (i > 0 && static_cast<int>(i) == grid->CurrentLine() ? "> " : "  ") << lines[i]
                << "\n";
        out << "\n";
    }
    auto field = [&](const char* label, const char* control) {
        auto c = window.Control(control);
        std::string text;
        if (auto choice = c ? c.As<ui::IChoiceInput>() : nullptr) {
            auto labels = choice->Labels();
            int i = choice->SelectedIndex();
            text = i >= 0 && i < static_cast<int>(labels.size()) ? labels[i] : "";
        } else if (auto input = c ? c.As<ui::ITextInput>() : nullptr) {
            text = input->DisplayText();
        }
        out << "  " << Pad(txt::Printable(Label(window, label)), 16) << txt::Printable(text)
            << "\n";
    };
    field("LBL_TIPO", "CBO_TIPO");
    field("LBL_PRIORITA", "TXT_PRIORITA");
    field("LBL_DESC", "TXT_DESCR");
    field("LBL_STRUT", "TXT_STRUT");
    if (auto list = window.Control("LST_FIELDS")) {
        auto* lb = static_cast<ui::ListBox*>(list.As<ui::IListBox>().Get());
        out << "\n  " << txt::Printable(Label(window, "LBL_SELEZIONATI")) << ":\n";
        for (int i = 0; i < lb->ListCount(); ++i)
            out << "    " << i + 1 << ". " << txt::Printable(lb->List(i)) << "\n";
    }
}

void ShowWindowAsText(const std::string& connectionString, bool createDemo, int company,
                      const std::string& language, std::ostream& out) {
    framework::RegisterHostClasses();
    ui::HeadlessToolkit toolkit;
    ui::ScopedToolkit scope(toolkit);
    framework::HostSession session(
        connectionString, {.createDatabase = createDemo, .demoData = true, .language = language});
    EnsureModuleRegistered();
    session.ChooseCompany(company == 0 ? FirstCompany(session) : company);
    session.CreateModule();
    session.ShowForm();
    auto window = session.Window();
    if (!window)
        throw com::ComError(com::err::Automation,
                            "La finestra non si è aperta: il motivo è nel log %1.")
            .SetValues({framework::DefaultLogPath().string()});
    PrintWindow(*window, out);
    for (const auto& m : toolkit.Messages())
        out << "\n[" << txt::Printable(m.title) << "] " << txt::Printable(m.text) << "\n";
    session.CloseForm();
    session.EndModule();
}

}  // namespace app
