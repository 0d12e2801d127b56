// Each user action of the criteria window and of the matrix window happens completely or not at
// all, whatever breaks under it. For each action and each way of breaking it, step k fails the k-th
// operation of the action (a file operation on SQLite, a statement on PostgreSQL), for k = 1, 2,
// ... until the action runs through without the fault firing: the database then holds exactly what
// it held before or what a fault-free run leaves, the user was told (a message, or a record in the
// log) and, with the edit still on screen, doing the same again succeeds.

#include <gmock/gmock.h>

#include <array>
#include <chrono>
#include <cstdio>
#include <functional>
#include <limits>

#include <nlohmann/json.hpp>

#include "determination/matrix_import.h"
#include "framework/history_recorder.h"
#include "framework/log_service.h"
#include "tests/support/faulty_vfs.h"
#include "tests/support/module_session.h"
#include "tests/support/postgres_proxy.h"

namespace {

using testing_support::Backend;
using testing_support::FileFault;
using testing_support::FileOp;
using testing_support::PostgresServer;

// One way of breaking an action: a file operation that fails (SQLite), the connection cut at a
// statement, or the server stopped there and started again before the retry (PostgreSQL); and
// how the message the user is told when the action fails begins.
struct Fault {
    const char* name;
    const char* told;
    FileOp op = FileOp::Read;
    FileFault fault = FileFault::IoError;
    bool stopServer = false;
};
const char* const kDiskError = "Errore di lettura o scrittura del database su disco";
const Fault kFileFaults[] = {
    {"read I/O error", kDiskError, FileOp::Read},
    {"write I/O error", kDiskError, FileOp::Write},
    {"disk full", "Spazio su disco esaurito", FileOp::Write, FileFault::DiskFull},
    {"sync I/O error", kDiskError, FileOp::Sync},
    {"lock busy", "Il database è in uso da parte di un altro utente", FileOp::Lock,
     FileFault::Busy},
    {"lock I/O error", kDiskError, FileOp::Lock},
};
const char* const kUnreachable = "Impossibile collegarsi al server del database";
const Fault kCut = {"connection cut", kUnreachable},
            kServerStop = {"server stopped", kUnreachable, {}, {}, true};

// What the user does: `prepare` opens nothing and changes nothing in the database (the window is
// open), `perform` is the action itself, done again to retry; after a failed attempt the frame
// shows the description (in the matrix window, the account) `kept`, still edited when `edited`
// (none to check after a delete). Done, it leaves the history `record` (as History gives it). A
// matrix action works in the matrix window on criterion 2. The normal run breaks it with the
// file faults `fileFaults` (bit f: kFileFaults[f]) on SQLite and `serverFault` on PostgreSQL;
// the soak run every way.
using Step = std::function<void(ui::Driver&, ui::IForm&)>;
struct Action {
    const char* name;
    Step prepare, perform;
    const char* kept;
    bool edited;
    const char* record;
    bool matrix;
    unsigned fileFaults;
    const Fault* serverFault;
};

class ActionFaults : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override {
        if (GetParam() == Backend::Sqlite) testing_support::FaultyVfs::Install();
        direct_ = product_ = m_.session->ConnectionString();
        if (GetParam() == Backend::Postgresql)
            product_ = PostgresServer::Shared().ConnectionString("criteri", Proxy().Directory());
    }

    static testing_support::PostgresProxy& Proxy() {
        static testing_support::PostgresProxy proxy(PostgresServer::Shared().Directory());
        return proxy;
    }

    // The same data as every step before, with these matrix rows.
    void Reset(const char* matrixRows =
                   "INSERT INTO MGA1_MATRCPAR (MGA1_ID, MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_CONTO) "
                   "VALUES (1, 1, 2, '60.01'), (2, 1, 2, '60.02'), (3, 1, 4, '60.03')") {
        auto direct = Direct();
        for (const char* sql :
             {"DELETE FROM MGA1_MATRCPAR", "DELETE FROM MGA0_QUINTAB",
              "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
              "MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES (1, 1, 0, 1, 'Primo', 'CODA'), "
              "(2, 1, 0, 2, 'Secondo', 'INDC'), (3, 1, 0, 3, 'Terzo', 'CODA'), "
              "(4, 1, 1, 1, 'Reso', 'CODA'), (5, 1, 1, 2, 'Reso due', 'INDC')",
              matrixRows, "DELETE FROM HOST_STORICO"})
            direct->Execute(sql);
    }

    // Opens the window on the same data as every step before, the action prepared.
    void StartStep(const Action& action) {
        m_.End();
        m_.session.reset();
        Reset();
        m_.session = std::make_unique<framework::HostSession>(product_);
        driver_.Headless().AnswerQuestions(ui::mb::AnswerYes);
        window_ = &m_.Open();
        if (action.matrix) window_ = &m_.session->OpenMatrix(2);
        action.prepare(driver_, *window_);
    }

    // A connection of its own, past the relay.
    com::ComPtr<ado::Connection> Direct() {
        auto c = ado::Connection::Create();
        c->Open(direct_);
        return c;
    }
    // Both tables and the history as the database holds them; the matrix rows without their keys,
    // which a server gives out once (an insert rolled back leaves a gap before the retry's row).
    std::array<std::string, 3> Snap() {
        auto c = Direct();
        return {
            testing_support::Rows(*c, "SELECT * FROM MGA0_QUINTAB ORDER BY MGA0_ID"),
            testing_support::Rows(*c,
                                  "SELECT MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_VALORE01, "
                                  "MGA1_VALORE02, MGA1_CONTO FROM MGA1_MATRCPAR ORDER BY MGA1_ID"),
            History()};
    }
    // The history's records: action, table, row and criterion, a matrix row still held named by
    // its account (for the same reason as above).
    std::string History() {
        return testing_support::Rows(
            *Direct(),
            "SELECT STORICO_AZIONE, STORICO_TABELLA, COALESCE((SELECT MGA1_CONTO FROM "
            "MGA1_MATRCPAR WHERE MGA1_ID = STORICO_CHIAVE AND STORICO_TABELLA = 'MGA1_MATRCPAR'), "
            "CAST(STORICO_CHIAVE AS VARCHAR(12))), STORICO_CRITERIO FROM HOST_STORICO ORDER BY "
            "STORICO_ID");
    }
    // The grid's lines as shown.
    std::vector<std::vector<std::string>> GridLines(const Action& action) {
        auto grid = window_->Control(action.matrix ? "GRD_RIGHE" : "QGRID").As<ui::ILineView>();
        std::vector<std::vector<std::string>> lines;
        for (int32_t i = 1; i <= grid->LineCount(); ++i) lines.push_back(grid->LineCells(i));
        return lines;
    }
    // The texts of the notices (not questions) shown since the `from`-th message.
    std::vector<std::string> Notices(size_t from) {
        std::vector<std::string> texts;
        for (size_t i = from; i < driver_.Messages().size(); ++i)
            if ((driver_.Messages()[i].flags & 7) == 0) texts.push_back(driver_.Messages()[i].text);
        return texts;
    }

    void Arm(const Fault& fault, int k) {
        if (GetParam() == Backend::Sqlite)
            testing_support::FaultyVfs::Install().Arm(fault.op, k, fault.fault);
        else if (fault.stopServer)
            Proxy().Arm(k, [] { PostgresServer::Shared().Stop(); });
        else
            Proxy().Arm(k);
    }
    // The operations counted since Arm.
    int Seen() {
        return GetParam() == Backend::Sqlite ? testing_support::FaultyVfs::Install().Seen()
                                             : Proxy().Seen();
    }
    // Whether the fault fired; a stopped server is started again.
    bool Disarm(const Fault& fault) {
        if (GetParam() == Backend::Sqlite) return testing_support::FaultyVfs::Install().Disarm();
        const bool fired = Proxy().Disarm();
        if (fired && fault.stopServer) PostgresServer::Shared().Start();
        return fired;
    }

    // The loop for one action and one fault; prints its figures.
    void Loop(const Action& action, const Fault& fault) {
        SCOPED_TRACE(std::string(action.name) + ", " + fault.name);
        const auto started = std::chrono::steady_clock::now();
        StartStep(action);
        const auto before = Snap();
        const size_t start = driver_.Messages().size();
        ASSERT_NO_THROW(action.perform(driver_, *window_));
        ASSERT_THAT(Notices(start), ::testing::IsEmpty());
        const auto after = Snap();
        const auto afterGrid = GridLines(action);
        ASSERT_EQ(after[2], action.record);

        int steps = 0, fired = 0, messages = 0, records = 0, through = 0;
        for (int k = 1; k <= kMostSteps; ++k, ++steps) {
            SCOPED_TRACE("step " + std::to_string(k));
            StartStep(action);
            ASSERT_EQ(Snap(), before);
            const size_t shown = driver_.Messages().size();
            const auto logEnd = framework::LogEnd(m_.LogFile());
            Arm(fault, k);
            ASSERT_NO_THROW(action.perform(driver_, *window_));
            if (!Disarm(fault)) {
                EXPECT_EQ(Snap(), after);
                EXPECT_THAT(Notices(shown), ::testing::IsEmpty());
                break;
            }
            ++fired;
            const auto now = Snap();
            const bool message = !Notices(shown).empty();
            const bool logged = !framework::ReadLogRecords(m_.LogFile(), logEnd).empty();
            messages += message;
            records += logged;
            if (now == after) {  // the action went through all the same (a busy lock waited)
                ++through;
                // Shown as stored, or not at all when the list could not be read again.
                if (!GridLines(action).empty()) {
                    EXPECT_EQ(GridLines(action), afterGrid);
                }
                continue;
            }
            ASSERT_EQ(now, before);
            EXPECT_TRUE(message || logged) << "nobody was told";
            if (message) {
                EXPECT_THAT(Notices(shown),
                            ::testing::ElementsAre(::testing::StartsWith(fault.told)));
            }
            if (action.kept) {
                const char* field = action.matrix ? "TXT_CONTO" : "TXT_DESCR";
                EXPECT_EQ(window_->Control(field).As<ui::ITextInput>()->DisplayText(), action.kept);
                auto frame = action.matrix ? m_.session->Matrix()->Frame() : m_.Frame();
                EXPECT_EQ(frame->Modified() || frame->Status() == host::frame_status::New,
                          action.edited);
            }
            const size_t retryShown = driver_.Messages().size();
            ASSERT_NO_THROW(action.perform(driver_, *window_));
            EXPECT_EQ(Snap(), after);
            EXPECT_THAT(Notices(retryShown), ::testing::IsEmpty());
            EXPECT_EQ(GridLines(action), afterGrid);
            if (HasFailure()) return;
        }
        EXPECT_LT(steps, kMostSteps);
        std::printf(
            "[faults] %s, %s, %s: %d steps, %d faults fired, %d with a message, %d with a log "
            "record, %d went through, %.1f s\n",
            ::testing::PrintToString(GetParam()).c_str(), action.name, fault.name, steps + 1, fired,
            messages, records, through,
            std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count());
    }

    static constexpr int kMostSteps = 400;  // an action that never stops firing the fault fails

    testing_support::HeadlessUser user_;
    ui::Driver& driver_ = user_.driver;
    testing_support::ModuleSession m_{GetParam()};
    std::string direct_, product_;
    ui::IForm* window_ = nullptr;  // the window the action works in
};

Step Press(const char* key) {
    return [=](ui::Driver& d, ui::IForm& w) { d.Press(w, "INTERNAV", key); };
}
Step SelectLine(const char* grid, int32_t line) {
    return [=](ui::Driver& d, ui::IForm& w) { d.SelectLine(w, grid, line); };
}

// A save of a criterion of type 0 made type 1 with a new description: it goes to the end of type 1,
// and type 0 is numbered again. The delete of the criterion with two counter-account rows, after
// the user agreed (no edit to keep: the retry shows whether the right row is still current). The
// move of the first criterion one place down. A new matrix row saved, and a matrix row deleted.
// The read error goes to the delete: the save and the move read only pages already cached, and it
// never fires under them; the server is stopped under the delete, whose window then has no list
// to show.
const Action kActions[] = {
    {"save",
     [](ui::Driver& d, ui::IForm& w) {
         d.SelectLine(w, "QGRID", 1);
         d.Choose(w, "CBO_TIPO", com::Variant(1));
         d.Type(w, "TXT_DESCR", "Primo rivisto");
     },
     Press("Conferma"), "Primo rivisto", true, "modifica|MGA0_QUINTAB|1|1", false, 0b100100, &kCut},
    {"delete", SelectLine("QGRID", 2), Press("Elimina"), nullptr, false, "elimina|MGA0_QUINTAB|2|2",
     false, 0b1001, &kServerStop},
    {"move", SelectLine("QGRID", 1),
     [](ui::Driver& d, ui::IForm& w) { d.PressToolbar(w, "TBAR_PRIORITY", 1); }, "Primo", false,
     "sposta|MGA0_QUINTAB|1|1", false, 0b10010, &kCut},
    {"matrix save",
     [](ui::Driver& d, ui::IForm& w) {
         d.Press(w, "INTERNAV", "Nuovo");
         d.Type(w, "TXT_VALORE01", "C01");
         d.Type(w, "TXT_CONTO", "70.01");
     },
     Press("Conferma"), "70.01", true, "nuovo|MGA1_MATRCPAR|70.01|2", true, 0b10, &kCut},
    {"matrix delete", SelectLine("GRD_RIGHE", 2), Press("Elimina"), nullptr, false,
     "elimina|MGA1_MATRCPAR|2|2", true, 0b100, &kCut},
};

TEST_P(ActionFaults, EachActionHappensCompletelyOrNotAtAll) {
    const bool soak = testing_support::Soak();
    for (const auto& action : kActions) {
        if (GetParam() == Backend::Sqlite) {
            for (size_t f = 0; f < std::size(kFileFaults); ++f)
                if (soak || (action.fileFaults >> f) & 1) Loop(action, kFileFaults[f]);
        } else {
            for (const Fault* fault : {&kCut, &kServerStop})
                if (soak || fault == action.serverFault) Loop(action, *fault);
        }
    }
}

// An import replacing criterion 2's rows by a file's, from a connection of its own: step k fails
// the k-th write (SQLite) or statement (PostgreSQL). The rows, keys aside (the servers' keys are
// never given back), are then those before or those after; a failure is reported, and the import
// done again goes through; the history holds the import's record exactly when the rows are those
// after. Every step of a 10-line file; of a 1,000-line one the first, the last
// and a few between.
TEST_P(ActionFaults, AnImportIsWrittenWholeOrNotAtAll) {
    const Fault& fault = GetParam() == Backend::Sqlite ? kFileFaults[1] : kCut;
    // Matrix rows with keys the database gives, as the import's will be.
    const char* const givenKeys =
        "INSERT INTO MGA1_MATRCPAR (MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_CONTO) VALUES (1, 2, "
        "'60.01'), (1, 4, '60.03')";
    auto rows = [&] {
        return testing_support::Rows(*Direct(),
                                     "SELECT MGA1_ID_MGA0, MGA1_VALORE01, MGA1_CONTO FROM "
                                     "MGA1_MATRCPAR ORDER BY 1, 2, 3") +
               "/" + History();
    };
    for (size_t lines : {10, 1000}) {
        std::vector<determination::FileRecord> records{{1, {"INDC", "CONTO"}}};
        for (size_t i = 1; i <= lines; ++i)
            records.push_back({i + 1, {"C" + std::to_string(i), "61." + std::to_string(i)}});
        auto import = [&] {  // whether it failed
            auto c = ado::Connection::Create();
            c->SetWatcher(std::make_shared<framework::HistoryRecorder>("dravel"));
            try {
                c->Open(product_);
                determination::ImportRows(*c, 1, 2, records, {.replace = true},
                                          [](const std::string& text) { return text; });
            } catch (const com::ComError&) {
                return true;
            }
            return false;
        };
        Reset(givenKeys);
        const std::string before = rows();
        Arm(fault, std::numeric_limits<int>::max());
        ASSERT_FALSE(import());
        Disarm(fault);
        const int steps = Seen();
        const std::string after = rows();
        ASSERT_THAT(after, ::testing::EndsWith("/importa|MGA1_MATRCPAR|NULL|2"));
        for (int k = 1; k <= steps; ++k) {
            if (lines > 10 && k > 2 && k < steps - 1 && k % (steps / 6 + 1) != 0) continue;
            SCOPED_TRACE(std::to_string(lines) + " lines, step " + std::to_string(k));
            Reset(givenKeys);
            Arm(fault, k);
            const bool failed = import();
            ASSERT_TRUE(Disarm(fault));
            if (rows() == after) continue;
            ASSERT_EQ(rows(), before);
            EXPECT_TRUE(failed);
            ASSERT_FALSE(import());
            EXPECT_EQ(rows(), after);
        }
    }
}

DRAVEL_ON_EACH_BACKEND(ActionFaults);

}  // namespace
