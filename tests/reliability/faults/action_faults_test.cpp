// Each user action of the criteria window happens completely or not at all, whatever breaks
// under it. For each action and each way of breaking it, step k fails the k-th operation of the
// action (a file operation on SQLite, a statement on PostgreSQL), for k = 1, 2, ... until the
// action runs through without the fault firing: the database then holds exactly what it held
// before or what a fault-free run leaves, the user was told (a message, or a record in the log)
// and, with the edit still on screen, doing the same again succeeds.

#include <array>
#include <chrono>
#include <cstdio>
#include <functional>

#include <nlohmann/json.hpp>

#include "tests/support/faulty_vfs.h"
#include "tests/support/postgres_proxy.h"
#include "tests/support/window_fixture.h"

namespace {

using testing_support::Backend;
using testing_support::FileFault;
using testing_support::FileOp;

constexpr int kMostSteps = 400;  // an action that never stops firing the fault is a failure

// Both tables' rows in key order, each value as text: the criteria, then the matrix.
using Snapshot = std::array<std::string, 2>;

// One way of breaking an action: a file operation that fails (SQLite), the connection cut at a
// statement, or the server stopped there and started again before the retry (PostgreSQL); and
// what the user is told when the action fails.
struct Fault {
    const char* name;
    const char* told;
    FileOp op = FileOp::Read;
    FileFault fault = FileFault::IoError;
    bool stopServer = false;
};

constexpr const char* kDiskError =
    "Errore di lettura o scrittura del database su disco: l'operazione non è stata eseguita.";
constexpr const char* kDiskFull = "Spazio su disco esaurito: l'operazione non è stata eseguita.";
constexpr const char* kBusy =
    "Il database è in uso da parte di un altro utente: riprovare tra qualche istante.";
constexpr const char* kUnreachable =
    "Impossibile collegarsi al server del database: verificare che sia raggiungibile e riprovare.";

const std::vector<Fault> kFileFaults = {
    {"read I/O error", kDiskError, FileOp::Read, FileFault::IoError},
    {"write I/O error", kDiskError, FileOp::Write, FileFault::IoError},
    {"disk full", kDiskFull, FileOp::Write, FileFault::DiskFull},
    {"sync I/O error", kDiskError, FileOp::Sync, FileFault::IoError},
    {"lock busy", kBusy, FileOp::Lock, FileFault::Busy},
    {"lock I/O error", kDiskError, FileOp::Lock, FileFault::IoError},
};
const Fault kCut = {"connection cut", kUnreachable};
const Fault kServerStop = {"server stopped", kUnreachable, {}, {}, true};

class ActionFaults : public test::WindowTest {
  protected:
    // What the user does: `prepare` opens nothing and changes nothing in the database (the
    // window is open), `perform` is the action itself, done again to retry.
    struct Action {
        const char* name;
        std::function<void(ActionFaults&)> prepare, perform;
        // Whether the user's edit is still on screen after a failed attempt.
        std::function<bool(ActionFaults&)> editKept;
    };

    void SetUp() override {
        if (GetParam() == Backend::Sqlite) testing_support::FaultyVfs::Install();
        WindowTest::SetUp();
        direct_ = session_->ConnectionString();
        product_ = direct_;
        if (GetParam() == Backend::Postgresql)
            product_ = Server().ConnectionString("criteri", Proxy().Directory());
    }

    static testing_support::PostgresServer& Server() {
        return testing_support::PostgresServer::Shared();
    }
    static testing_support::PostgresProxy& Proxy() {
        static testing_support::PostgresProxy proxy(Server().Directory());
        return proxy;
    }

    // Opens the window on the same data as every step before, the action prepared.
    void StartStep(const Action& action) {
        if (session_ && session_->Module()) session_->EndModule();
        session_.reset();
        observer_.Reset();
        Observer().Execute("DELETE FROM MGA1_MATRCPAR");
        Observer().Execute("DELETE FROM MGA0_QUINTAB");
        Observer().Execute(
            "INSERT INTO MGA0_QUINTAB (MGA0_ID, MGA0_DITTA_CG18, MGA0_FLGRESO, MGA0_INDPRIOR, "
            "MGA0_DESCR, MGA0_STRUTTURACAMPI) VALUES (1, 1, 0, 1, 'Primo', 'CODA'), "
            "(2, 1, 0, 2, 'Secondo', 'INDC'), (3, 1, 0, 3, 'Terzo', 'CODA'), "
            "(4, 1, 1, 1, 'Reso', 'CODA'), (5, 1, 1, 2, 'Reso due', 'INDC')");
        Observer().Execute(
            "INSERT INTO MGA1_MATRCPAR (MGA1_ID, MGA1_DITTA_CG18, MGA1_ID_MGA0, MGA1_CONTO) "
            "VALUES (1, 1, 2, '60.01'), (2, 1, 2, '60.02'), (3, 1, 4, '60.03')");
        session_ = std::make_unique<framework::HostSession>(product_);
        driver_.Headless().AnswerQuestions(ui::mb::AnswerYes);
        Open();
        action.prepare(*this);
    }

    // Both tables as the database holds them, read on a connection of their own.
    Snapshot Snap() {
        return {testing_support::Rows(Observer(), "SELECT * FROM MGA0_QUINTAB ORDER BY MGA0_ID"),
                testing_support::Rows(Observer(), "SELECT * FROM MGA1_MATRCPAR ORDER BY MGA1_ID")};
    }

    ado::Connection& Observer() {
        if (!observer_) {
            observer_ = ado::Connection::Create();
            observer_->Open(direct_);
        }
        return *observer_;
    }

    void Arm(const Fault& fault, int k) {
        if (GetParam() == Backend::Sqlite)
            testing_support::FaultyVfs::Install().Arm(fault.op, k, fault.fault);
        else if (fault.stopServer)
            Proxy().Arm(k, [] { Server().Stop(); });
        else
            Proxy().Arm(k);
    }
    // Whether the fault fired; a stopped server is started again.
    bool Disarm(const Fault& fault) {
        if (GetParam() == Backend::Sqlite) return testing_support::FaultyVfs::Install().Disarm();
        const bool fired = Proxy().Disarm();
        if (fired && fault.stopServer) {
            observer_.Reset();
            Server().Start();
        }
        return fired;
    }

    // The loop for one action and one fault; prints its figures.
    void Loop(const Action& action, const Fault& fault) {
        SCOPED_TRACE(std::string(action.name) + ", " + fault.name);
        const auto started = std::chrono::steady_clock::now();
        StartStep(action);
        const Snapshot before = Snap();
        const size_t start = driver_.Messages().size();
        ASSERT_NO_THROW(action.perform(*this));
        ASSERT_EQ(Notices(start), std::vector<std::string>{});
        const Snapshot after = Snap();
        const auto afterGrid = GridLines();
        ASSERT_NE(before, after);

        int steps = 0, fired = 0, messages = 0, records = 0, through = 0;
        for (int k = 1; k <= kMostSteps; ++k, ++steps) {
            SCOPED_TRACE("step " + std::to_string(k));
            StartStep(action);
            ASSERT_EQ(Snap(), before);
            const size_t shown = driver_.Messages().size();

            const auto logEnd = framework::LogEnd(LogFile());
            Arm(fault, k);
            ASSERT_NO_THROW(action.perform(*this));
            if (!Disarm(fault)) {
                EXPECT_EQ(Snap(), after);
                EXPECT_EQ(Notices(shown), std::vector<std::string>{});
                break;
            }
            ++fired;
            const Snapshot now = Snap();
            const bool message = !Notices(shown).empty();
            const bool logged = !framework::ReadLogRecords(LogFile(), logEnd).empty();
            messages += message;
            records += logged;
            if (now == after) {  // the action went through all the same (a busy lock waited)
                ++through;
                // Shown as stored, or not at all when the list could not be read again.
                if (!GridLines().empty()) {
                    EXPECT_EQ(GridLines(), afterGrid);
                }
                continue;
            }
            ASSERT_EQ(now, before);
            EXPECT_TRUE(message || logged) << "nobody was told";
            if (message) {
                EXPECT_EQ(Notices(shown).front(), fault.told);
            }
            EXPECT_TRUE(action.editKept(*this));
            const size_t retryShown = driver_.Messages().size();
            ASSERT_NO_THROW(action.perform(*this));
            EXPECT_EQ(Snap(), after);
            EXPECT_EQ(Notices(retryShown), std::vector<std::string>{});
            EXPECT_EQ(GridLines(), afterGrid);
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

    // The texts of the notices (not questions) shown since the `from`-th message.
    std::vector<std::string> Notices(size_t from) {
        std::vector<std::string> texts;
        const auto& shown = driver_.Messages();
        for (size_t i = from; i < shown.size(); ++i)
            if ((shown[i].flags & 7) == 0) texts.push_back(shown[i].text);
        return texts;
    }

    static const Action kSave, kDelete, kMove;

  private:
    std::string direct_, product_;
    com::ComPtr<ado::Connection> observer_;
};

// A criterion of type 0 becomes type 1 with a new description: it goes to the end of type 1,
// and type 0 is numbered again.
const ActionFaults::Action ActionFaults::kSave = {
    "save",
    [](ActionFaults& t) {
        t.SelectLine(1);
        t.driver_.Choose(t.Window(), "CBO_TIPO", com::Variant(1));
        t.driver_.Type(t.Window(), "TXT_DESCR", "Primo rivisto");
    },
    [](ActionFaults& t) { t.Press("Conferma"); },
    [](ActionFaults& t) {
        return t.Frame()->Modified() && t.Text("TXT_DESCR") == "Primo rivisto";
    }};

// The criterion with two counter-account rows, after the user agreed to delete them (no edit to
// keep: the retry shows whether the right row is still current).
const ActionFaults::Action ActionFaults::kDelete = {
    "delete", [](ActionFaults& t) { t.SelectLine(2); }, [](ActionFaults& t) { t.Press("Elimina"); },
    [](ActionFaults&) { return true; }};

// The first criterion one place down.
const ActionFaults::Action ActionFaults::kMove = {
    "move", [](ActionFaults& t) { t.SelectLine(1); },
    [](ActionFaults& t) { t.PressToolbar("TBAR_PRIORITY", 1); },
    [](ActionFaults& t) { return t.Text("TXT_DESCR") == "Primo"; }};

// The normal run breaks each action one way on each backend; the soak run every way.
TEST_P(ActionFaults, EachActionHappensCompletelyOrNotAtAll) {
    const std::vector<Action> actions = {kSave, kDelete, kMove};
    if (GetParam() == Backend::Sqlite) {
        for (size_t i = 0; i < actions.size(); ++i)
            for (size_t f = 0; f < kFileFaults.size(); ++f)
                if (testing_support::Soak() || f % actions.size() == i)
                    Loop(actions[i], kFileFaults[f]);
        return;
    }
    for (const auto& action : actions) {
        const bool save = action.name == kSave.name;
        if (testing_support::Soak() || !save) Loop(action, kCut);
        if (testing_support::Soak() || save) Loop(action, kServerStop);
    }
}

DRAVEL_ON_EACH_BACKEND(ActionFaults);

}  // namespace
