#pragma once
// The criteria window where a session script cannot look: the styling and selection state of its
// controls and the focus (tests/host), failures injected at every step (tests/reliability).
// Tests are written with TEST_P and run on each backend (DRAVEL_ON_EACH_BACKEND), or on SQLite
// alone where the database plays no part.

#include <gmock/gmock.h>

#include <string>

#include "framework/log_service.h"
#include "platform/ui/list_box.h"
#include "platform/ui/tree_view.h"
#include "tests/support/module_session.h"

namespace test {

class WindowTest : public ::testing::TestWithParam<testing_support::Backend> {
  protected:
    // Criteria, each "(id, company, type, priority, 'description', 'structure')". The keys are
    // given, as other programs give them: keys generated later follow the largest.
    void Add(const std::string& rows) {
        db::InsertWithKeys(m_.session->Database(), "MGA0_QUINTAB", "MGA0_ID", [&] {
            m_.Sql(
                "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
                "MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES " +
                rows);
        });
    }

    void Press(const std::string& key) { driver_.Press(m_.Window(), "INTERNAV", key); }
    void PressToolbar(const std::string& name, int16_t index) {
        driver_.PressToolbar(m_.Window(), name, index);
    }
    void SelectLine(int32_t line) { driver_.SelectLine(m_.Window(), "QGRID", line); }
    // As the user adds an attribute: selects its node, double-clicks the tree.
    void AddByDoubleClick(const std::string& key) {
        driver_.SelectNode(m_.Window(), "TVW_FIELDS", key);
        driver_.DoubleClickTree(m_.Window(), "TVW_FIELDS");
    }
    ui::IForm& Open() { return m_.Open(); }
    ui::IForm& Window() { return m_.Window(); }
    com::ComPtr<host::IRecordFrame> Frame() { return m_.Frame(); }
    std::filesystem::path LogFile() const { return m_.LogFile(); }
    // The grid's lines as shown: priority, type label, description.
    std::vector<std::vector<std::string>> GridLines() {
        auto grid = m_.Control<ui::ILineView>("QGRID");
        std::vector<std::vector<std::string>> lines;
        for (int32_t i = 1; i <= grid->LineCount(); ++i) lines.push_back(grid->LineCells(i));
        return lines;
    }
    std::string Text(const std::string& control) {
        return m_.Control<ui::ITextInput>(control)->DisplayText();
    }
    ui::TreeView& Tree() {
        return *static_cast<ui::TreeView*>(m_.Control<ui::ITreeView>("TVW_FIELDS").Get());
    }
    ui::ListBox& List() {
        return *static_cast<ui::ListBox*>(m_.Control<ui::IListBox>("LST_FIELDS").Get());
    }

    testing_support::HeadlessUser user_;
    ui::Driver& driver_ = user_.driver;
    testing_support::ModuleSession m_{GetParam()};
    std::unique_ptr<framework::HostSession>& session_ = m_.session;
};

}  // namespace test
