// dravel-editor CONNECTION COMPANY EDITOR SEED ACTIONS (ACTIONS 0: until it is killed): one user
// at the criteria window, played from a seed, on the module loaded as a host loads it (libdravel.so
// by program identifier, the headless toolkit and its driver; DRAVEL_REGISTRY and DRAVEL_LOG name
// its own registry and log). Random actions: add, edit the description, change the type, type a
// priority, move with the priority toolbar, delete; each reported on standard output as a JSON
// line as it starts and again with its outcome.

#include <iostream>
#include <random>

#include "contracts/cinterface_access.h"
#include "contracts/record_frame.h"
#include "framework/host_classes.h"
#include "framework/host_session.h"
#include "platform/ado/recordset.h"
#include "platform/com/registry.h"
#include "platform/ui/headless.h"
#include "tests/reliability/editors/action_record.h"
#include "tests/support/module_library.h"

namespace {

using editors::ActionRecord;

// The posting types company 1 is offered; attributes of the item and the warehouse, which every
// type accepts, and others, which the closing-inventory types 4 and 5 refuse.
constexpr int32_t kTypes[] = {0, 1, 4, 5, 6, 7, 8};
constexpr const char* kAttributes[] = {"CODA", "FAMI", "DEPO", "INDC", "DOCU"};
constexpr size_t kItemAttributes = 3;

void Print(const ActionRecord& record) {
    std::cout << nlohmann::json(record).dump() << '\n' << std::flush;
}

class Editor {
  public:
    Editor(const std::string& connection, int32_t company, int32_t number, uint32_t seed)
        : session_(connection, {.program = editors::EditorProgram(number)}),
          company_(company),
          number_(number),
          random_(seed) {
        Open();
    }

    void RunAction(int32_t seq) {
        ActionRecord r{.editor = number_,
                       .seq = seq,
                       .description = "e" + std::to_string(number_) + "-" + std::to_string(seq)};
        const int32_t lines = Grid()->LineCount();
        const int pick = lines == 0 ? 0 : Pick(100);
        r.action = pick < 25   ? "add"
                   : pick < 45 ? "edit"
                   : pick < 55 ? "type"
                   : pick < 65 ? "priority"
                   : pick < 75 ? "up"
                   : pick < 85 ? "down"
                               : "delete";
        if (r.action != "add") {
            driver_.SelectLine(*window_, "QGRID", 1 + Pick(lines));
            r.id = Field("MGA0_ID").ToLong();
            r.from = Field("MGA0_DESCR").IsNull() ? "" : Field("MGA0_DESCR").ToText();
        }
        if (r.action == "add") {
            r.type = kTypes[Pick(std::size(kTypes))];
            const bool closingInventory = r.type == 4 || r.type == 5;
            r.attribute =
                kAttributes[Pick(closingInventory ? kItemAttributes : std::size(kAttributes))];
        } else if (r.action == "type") {
            do r.type = kTypes[Pick(std::size(kTypes))];
            while (r.type == Field("MGA0_FLGRESO").ToLong());
        } else if (r.action == "priority") {
            r.priority = Pick(8);
        } else if (r.action == "up" || r.action == "down" || r.action == "delete") {
            r.description.clear();
        }
        if (r.action == "delete") {
            auto rows = session_.Database().Execute(
                "SELECT COUNT(*) FROM MGA1_MATRCPAR WHERE MGA1_DITTA_CG18 = " +
                std::to_string(company_) + " AND MGA1_ID_MGA0 = " + std::to_string(r.id));
            r.answer = rows->Fields(0).Value().ToLong() == 0 ? "none" : Pick(4) ? "yes" : "no";
        }
        Print(r);
        Perform(r);
        Print(r);
    }

  private:
    void Open() {
        session_.ChooseCompany(company_);
        session_.CreateModule();
        session_.ShowForm();
        window_ = session_.Window();
        if (!window_) throw std::runtime_error("The criteria window did not open");
    }

    void Perform(ActionRecord& r) {
        const size_t before = driver_.Messages().size();
        try {
            Act(r);
        } catch (const com::ComError& e) {
            r.outcome = editors::outcome::Error;
            r.message = "the driver failed: " + e.Description();
            return;
        }
        for (size_t i = before; i < driver_.Messages().size() && r.outcome.empty(); ++i) {
            const auto& shown = driver_.Messages()[i];
            if (shown.title == "Elimina riga") continue;  // the question the editor answered
            r.message = shown.text;
            r.outcome = shown.text.starts_with("Un altro utente ha modificato")
                            ? editors::outcome::Conflict
                        : shown.text.starts_with("Il database è in uso") ? editors::outcome::Busy
                                                                         : editors::outcome::Error;
        }
        if (r.outcome.empty()) {
            r.outcome = editors::outcome::Done;
            if (r.action == "add") r.id = Field("MGA0_ID").ToLong();
            return;
        }
        // A refused save keeps the user's edit on screen, to try again.
        if (!r.description.empty() && r.outcome != editors::outcome::Error &&
            window_->Control("TXT_DESCR").As<ui::ITextInput>()->DisplayText() != r.description) {
            r.outcome = editors::outcome::Error;
            r.message += " (the edit is no longer on screen)";
        }
        // The user drops the refused edit and opens the window again to see the others' work.
        if (Frame()->Modified() || Frame()->Status() == host::frame_status::New)
            driver_.Press(*window_, "INTERNAV", "Annulla");
        session_.CloseForm();
        Open();
    }

    void Act(const ActionRecord& r) {
        auto& w = *window_;
        if (r.action == "add") {
            driver_.Press(w, "INTERNAV", "Nuovo");
            driver_.Choose(w, "CBO_TIPO", com::Variant(r.type));
            driver_.SelectNode(w, "TVW_FIELDS", r.attribute);
            driver_.DoubleClickTree(w, "TVW_FIELDS");
        } else if (r.action == "type") {
            driver_.Choose(w, "CBO_TIPO", com::Variant(r.type));
        } else if (r.action == "priority") {
            driver_.Type(w, "TXT_PRIORITA", std::to_string(r.priority));
        } else if (r.action == "up" || r.action == "down") {
            return driver_.PressToolbar(w, "TBAR_PRIORITY", r.action == "up" ? 0 : 1);
        } else if (r.action == "delete") {
            if (r.answer != "none")
                driver_.ExpectQuestion(r.answer == "yes" ? ui::mb::AnswerYes : ui::mb::AnswerNo);
            return driver_.Press(w, "INTERNAV", "Elimina");
        }
        driver_.Type(w, "TXT_DESCR", r.description);
        driver_.Press(w, "INTERNAV", "Conferma");
    }

    int32_t Pick(size_t n) {
        return static_cast<int32_t>(std::uniform_int_distribution<size_t>(0, n - 1)(random_));
    }
    com::Variant Field(const char* column) { return Frame()->Recordset()->Fields(column).Value(); }
    com::ComPtr<ui::ILineView> Grid() { return window_->Control("QGRID").As<ui::ILineView>(); }
    com::ComPtr<host::IRecordFrame> Frame() {
        return host::GetRef(session_.Module(), &host::Cinterface::get_ActiveFrame)
            .As<host::IRecordFrame>();
    }

    ui::HeadlessToolkit toolkit_;
    ui::ScopedToolkit scoped_{toolkit_};
    ui::Driver driver_{toolkit_};
    framework::HostSession session_;
    com::ComPtr<ui::IForm> window_;
    int32_t company_, number_;
    std::mt19937 random_;
};

}  // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::cerr << "usage: dravel-editor CONNECTION COMPANY EDITOR SEED ACTIONS\n";
        return 2;
    }
    try {
        framework::RegisterHostClasses();
        framework::HostSession::RegisterModule(testing_support::ModuleLibraryPath());
        const int32_t actions = std::stoi(argv[5]);
        {
            Editor editor(argv[1], std::stoi(argv[2]), std::stoi(argv[3]),
                          static_cast<uint32_t>(std::stoul(argv[4])));
            std::cout << "{\"ready\":true}" << std::endl;
            for (int32_t seq = 1; actions == 0 || seq <= actions; ++seq) editor.RunAction(seq);
        }
        com::FreeUnusedLibraries();
        return 0;
    } catch (const com::ComError& e) {
        std::cerr << "dravel-editor: " << e.Description() << "\n" << e.Detail() << "\n";
    } catch (const std::exception& e) {
        std::cerr << "dravel-editor: " << e.what() << "\n";
    }
    return 1;
}
