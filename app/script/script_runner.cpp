#include "app/script/script_runner.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <optional>

#include <nlohmann/json.hpp>

#include "app/script/script_parser.h"
#include "contracts/cinterface_access.h"
#include "contracts/record_frame.h"
#include "db/demo_data.h"
#include "framework/company_table.h"
#include "framework/host_classes.h"
#include "framework/host_session.h"
#include "framework/log_service.h"
#include "platform/ado/connection_string.h"
#include "platform/ado/watcher.h"
#include "platform/com/failure.h"
#include "platform/com/registry.h"
#include "platform/com/user_files.h"
#include "platform/ui/headless.h"
#include "platform/ui/list_box.h"

namespace script {

namespace fs = std::filesystem;

namespace {

// A failed expectation or step; the message is what follows "FILE:LINE: ".
struct Failure {
    std::string message;
};

std::string Join(const std::vector<std::string>& items, const std::string& sep) {
    std::string s;
    for (size_t i = 0; i < items.size(); ++i) s += (i ? sep : "") + items[i];
    return s;
}

std::string Quoted(const std::string& s) {
    return "\"" + s + "\"";
}

void Expect(bool holds, const std::string& expected, const std::string& got) {
    if (!holds) throw Failure{"expected " + expected + ", got " + got};
}

void ExpectWords(const std::vector<std::string>& got, const std::vector<std::string>& want,
                 const std::string& sep) {
    Expect(got == want, "[" + Join(want, sep) + "]", "[" + Join(got, sep) + "]");
}

// The parser has checked that the word is a number.
int32_t Number(const std::string& word) {
    return ParseNumber(word).value();
}

}  // namespace

// The host and the user of one script: each step is one command of the table below.
class Runner {
  public:
    explicit Runner(const RunOptions& options) : options_(options), driver_(toolkit_) {
        framework::RegisterHostClasses();
        std::string cs = options.connectionString;
        if (cs.empty()) {
            // A new folder of our own, never one another user could have put there first.
            std::string pattern = (fs::temp_directory_path() / "dravel-script-XXXXXX").string();
            if (!::mkdtemp(pattern.data()))
                throw com::ComError(com::err::Automation, "Cannot create a folder " + pattern +
                                                              ": " + std::strerror(errno));
            tempDir_ = pattern;
            cs = ado::SqliteConnectionString(tempDir_ / "script.db");
        }
        session_ = std::make_unique<framework::HostSession>(
            cs, framework::SessionOptions{.createDatabase = !tempDir_.empty(),
                                          .program = options.program});
        logFile_ = framework::DefaultLogPath();
        logStart_ = framework::LogEnd(logFile_);
    }
    ~Runner() {
        // As a host that shuts down: every window still open is closed, then the session ends.
        for (auto& form : toolkit_.OpenForms()) com::Step([&] { form->UserClose(); });
        session_.reset();
        std::error_code ignored;  // a folder that cannot be removed is no reason to stop
        if (!tempDir_.empty()) fs::remove_all(tempDir_, ignored);
    }

    void Run(const Command& c);

    struct QueuedAnswer {
        int32_t answer;
        int line;  // the `answer` command's line
    };
    // The oldest answer queued and never asked for, if any.
    std::optional<QueuedAnswer> UnusedAnswer() const {
        if (answers_.empty()) return std::nullopt;
        return answers_.front();
    }

    // The host's and the user's steps.
    // Raw SQL, as another program would run it: the history does not see it.
    void Sql(const Command& c) {
        ado::Unwatched raw(session_->Database());
        session_->Database().Execute(c.args[0]);
    }
    void Company(const Command& c);
    void Open(const Command& c);
    void Language(const Command& c) { session_->Global().Texts().SetLanguage(c.args[0]); }
    void Matrix(const Command& c);
    void Activate(const Command& c) {
        onMatrix_ = !c.args.empty();
        driver_.Activate(Window());
    }
    void Press(const Command& c) { driver_.Press(Window(), "INTERNAV", c.args[0]); }
    void Type(const Command& c) { driver_.Type(Window(), c.args[0], c.args[1]); }
    void Choose(const Command& c) {
        driver_.Choose(Window(), c.args[0], com::Variant(Number(c.args[1])));
    }
    void Grid(const Command& c) { driver_.SelectLine(Window(), GridName(), Number(c.args[0])); }
    void Node(const Command& c) { driver_.SelectNode(Window(), "TVW_FIELDS", c.args[0]); }
    void DoubleClick(const Command&) { driver_.DoubleClickTree(Window(), "TVW_FIELDS"); }
    void List(const Command& c) {
        driver_.SelectListEntry(Window(), "LST_FIELDS", Number(c.args[0]));
    }
    void Toolbar(const Command& c) {
        auto index = c.args.size() > 1 ? Number(c.args[1]) : 0;
        driver_.PressToolbar(Window(), c.args[0], static_cast<int16_t>(index));
    }
    void Answer(const Command& c) {
        answers_.push_back({Number(c.args[0]), c.line});
        driver_.ExpectQuestion(answers_.back().answer);
    }
    void CompanyChange(const Command& c) {
        if (c.args.empty())
            session_->Navigator().RaiseBeforeChangeDitta();
        else
            session_->ChangeCompany(Number(c.args[0]));
    }
    void NavigatorButton(const Command& c) { session_->PressNavigatorButton(Number(c.args[0])); }
    void Export(const Command&) { session_->PrepareExportToOffice(); }
    void Layout(const Command&) { session_->InitializeLayoutModel(); }
    void ScriptModel(const Command&) { session_->InitializeScriptModel(); }
    void Close(const Command&) { driver_.Close(Window()); }
    void CloseForm(const Command&) { session_->CloseForm(); }
    void End(const Command&) { session_->EndModule(); }

    // The expectations.
    void ExpectMessage(const Command& c);
    void ExpectNoMessage(const Command&) {
        std::string got = driver_.UntakenMessages() ? Quoted(driver_.TakeMessage().text) : "none";
        Expect(got == "none", "no message", got);
    }
    void ExpectBeep(const Command& c) {
        int want = c.args.empty() ? 1 : Number(c.args[0]);
        int got = driver_.Beeps() - beepsSeen_;
        beepsSeen_ = driver_.Beeps();
        Expect(got == want, std::to_string(want) + " beeps", std::to_string(got));
    }
    void ExpectField(const Command& c) {
        std::string got = FieldText(c.args[0]);
        Expect(got == c.args[1], Quoted(c.args[1]), Quoted(got));
    }
    void ExpectList(const Command& c) {
        auto* list = static_cast<ui::ListBox*>(ControlAs<ui::IListBox>("LST_FIELDS").Get());
        std::vector<std::string> got;
        for (int i = 0; i < list->ListCount(); ++i) got.push_back(list->List(i));
        // `expect list none` (or no words at all) is the empty list.
        auto want =
            c.args == std::vector<std::string>{"none"} ? std::vector<std::string>{} : c.args;
        ExpectWords(got, want, ", ");
    }
    void ExpectEntries(const Command& c) {
        auto got = ControlAs<ui::IChoiceInput>(c.args[0])->Labels();
        ExpectWords(got, {c.args.begin() + 1, c.args.end()}, ", ");
    }
    void ExpectCaption(const Command& c) {
        std::string got = ControlAs<ui::ICaptioned>(c.args[0])->DisplayCaption();
        Expect(got == c.args[1], Quoted(c.args[1]), Quoted(got));
    }
    void ExpectColumns(const Command& c) {
        ExpectWords(ControlAs<ui::ILineView>(GridName())->ColumnCaptions(), c.args, ", ");
    }
    void ExpectGrid(const Command& c) {
        auto grid = ControlAs<ui::ILineView>(GridName());
        std::vector<std::string> got;
        for (int i = 1; i <= grid->LineCount(); ++i) got.push_back(Join(grid->LineCells(i), "|"));
        ExpectWords(got, c.args, "; ");
    }
    void ExpectCurrent(const Command& c) {
        int got = Frame()->CurrentRow();
        Expect(got == Number(c.args[0]), "current row " + c.args[0], std::to_string(got));
    }
    void ExpectStatus(const Command& c) {
        int got = Frame()->Status();
        Expect(got == Number(c.args[0]), "status " + c.args[0], std::to_string(got));
    }
    void ExpectModified(const Command& c) {
        bool got = Frame()->Modified();
        bool want = c.args[0] == "true" || c.args[0] == "True";
        Expect(got == want, "modified " + c.args[0], got ? "true" : "false");
    }
    void ExpectQuery(const Command& c) {
        std::string got = QueryText(c.args[0]);
        Expect(got == c.args[1], Quoted(c.args[1]), Quoted(got));
    }
    void ExpectTransfer(const Command& c);
    void ExpectWindow(const Command& c) {
        const bool matrix = c.args.size() == 2;
        const bool open =
            matrix ? static_cast<bool>(session_->Matrix()) : static_cast<bool>(session_->Window());
        const std::string which = matrix ? "matrix window " : "window ";
        Expect((c.args.back() == "open") == open, which + c.args.back(),
               which + (open ? "open" : "closed"));
    }
    void ExpectLog(const Command& c);

  private:
    // The module swallows a message box that fails (a question nobody answered, an answer that
    // is not one of its buttons), so the script looks at each message box the command raised.
    // Each one took the oldest queued answer, as the toolkit does.
    void CheckMessageBoxes() {
        const auto& all = driver_.Messages();
        for (; messagesSeen_ < all.size(); ++messagesSeen_) {
            const auto& m = all[messagesSeen_];
            std::optional<QueuedAnswer> taken;
            if (!answers_.empty()) {
                taken = answers_.front();
                answers_.pop_front();
            }
            if (m.answer != 0) continue;
            if (taken)
                throw Failure{"expected a message box that answer " +
                              std::to_string(taken->answer) + " fits, got " + Quoted(m.text) +
                              " with flags " + std::to_string(m.flags)};
            throw Failure{"expected an answer for the question " + Quoted(m.text) +
                          ", got none (queue one with answer N before the command)"};
        }
    }

    // The window the commands act on: the criteria window, or the matrix window after `matrix`
    // or `activate matrix`.
    ui::IForm& Window() {
        auto w = onMatrix_ ? com::ComPtr<ui::IForm>(session_->Matrix()) : session_->Window();
        if (!w)
            throw Failure{onMatrix_ ? "expected an open matrix window, got none"
                                    : "expected an open window, got none"};
        window_ = w;
        return *window_;
    }
    const char* GridName() const { return onMatrix_ ? "GRD_RIGHE" : "QGRID"; }

    com::ComPtr<host::IRecordFrame> Frame() {
        if (onMatrix_) {
            auto matrix = session_->Matrix();
            if (!matrix) throw Failure{"expected an open matrix window, got none"};
            if (auto frame = matrix->Frame()) return frame;
            throw Failure{"expected a criterion in the matrix window, got none"};
        }
        auto* module = session_->Module();
        if (!module) throw Failure{"expected a module, got none"};
        auto frame =
            host::GetRef(module, &host::Cinterface::get_ActiveFrame).As<host::IRecordFrame>();
        if (!frame) throw Failure{"expected an active record frame, got none"};
        return frame;
    }

    template <class I>
    com::ComPtr<I> ControlAs(const std::string& name) {
        auto c = Window().Control(name);
        if (!c) throw Failure{"expected a control " + name + ", got none"};
        auto typed = c.template As<I>();
        if (!typed) throw Failure{"expected " + name + " to be another kind of control"};
        return typed;
    }

    std::string FieldText(const std::string& control) {
        auto c = Window().Control(control);
        if (!c) throw Failure{"expected a control " + control + ", got none"};
        if (auto choice = c.As<ui::IChoiceInput>()) {
            int i = choice->SelectedIndex();
            auto labels = choice->Labels();
            return i >= 0 && i < static_cast<int>(labels.size()) ? labels[i] : "";
        }
        if (auto text = c.As<ui::ITextInput>()) return text->DisplayText();
        throw Failure{"expected " + control + " to be a field"};
    }

    std::string QueryText(const std::string& sql) {
        auto rs = session_->Database().Execute(sql);
        std::vector<std::string> rows;
        if (rs->State() == ado::adStateOpen) {
            for (; !rs->Eof(); rs->MoveNext()) {
                std::vector<std::string> cells;
                for (int i = 0; i < rs->FieldCount(); ++i) {
                    auto v = rs->Fields(i).Value();
                    cells.push_back(v.IsNull() ? "NULL" : v.ToText());
                }
                rows.push_back(Join(cells, "|"));
            }
        }
        return Join(rows, ";");
    }

    RunOptions options_;
    ui::HeadlessToolkit toolkit_;
    ui::ScopedToolkit scope_{toolkit_};
    ui::Driver driver_;
    fs::path tempDir_;
    std::unique_ptr<framework::HostSession> session_;
    com::ComPtr<ui::IForm> window_;
    bool onMatrix_ = false;  // the commands act on the matrix window
    fs::path logFile_;
    framework::LogPosition logStart_;  // the log's records before the script are not its own
    int beepsSeen_ = 0;
    size_t transfersSeen_ = 0;
    std::deque<QueuedAnswer> answers_;  // queued by `answer`, not yet taken by a message box
    size_t messagesSeen_ = 0;
};

void Runner::Company(const Command& c) {
    const int32_t code = Number(c.args[0]);
    framework::CompanySettings settings;
    for (const auto& [key, v] : c.options)
        // The parser lets through only these two keys.
        (key == "account-types" ? settings.accountTypes : settings.itemClassNesting) =
            v == "null" ? com::Variant::Null() : com::Variant(Number(v));
    auto& db = session_->Database();
    if (framework::CompanyExists(db, code)) return framework::ChangeCompany(db, code, settings);
    settings.name = "Ditta " + c.args[0];
    framework::AddCompany(db, code, settings);
}

void Runner::Open(const Command& c) {
    if (!com::Registry().Find(framework::kModuleProgId)) {
        if (options_.moduleLibrary.empty()) throw Failure{"expected the module to be registered"};
        framework::HostSession::RegisterModule(options_.moduleLibrary);
    }
    session_->ChooseCompany(Number(c.args[0]));
    onMatrix_ = false;
    auto& module = session_->CreateModule();
    if (auto caption = c.options.find("caption"); caption != c.options.end())
        host::Put(&module, &host::Cinterface::put_Caption,
                  caption->second == "null" ? com::Variant::Null() : com::Variant(caption->second));
    session_->ShowForm();
}

void Runner::Matrix(const Command& c) {
    std::optional<int32_t> company;
    if (auto n = c.options.find("company"); n != c.options.end()) company = Number(n->second);
    session_->OpenMatrix(Number(c.args[0]), company);
    onMatrix_ = true;
}

void Runner::ExpectMessage(const Command& c) {
    const std::string& want = c.args[0];
    if (!driver_.UntakenMessages())
        throw Failure{"expected message " + Quoted(want) + ", got none"};
    const auto& m = driver_.TakeMessage();
    bool textHolds =
        want.starts_with("~") ? m.text.find(want.substr(1)) != std::string::npos : m.text == want;
    Expect(textHolds, "message " + Quoted(want), Quoted(m.text));
    if (auto flags = c.options.find("flags"); flags != c.options.end())
        Expect(m.flags == Number(flags->second), "flags " + flags->second, std::to_string(m.flags));
    if (auto title = c.options.find("title"); title != c.options.end())
        Expect(m.title == title->second, "title " + Quoted(title->second), Quoted(m.title));
}

void Runner::ExpectTransfer(const Command& c) {
    const std::string& want = c.args[0];
    const auto& all = session_->Transfers();
    if (transfersSeen_ >= all.size())
        throw Failure{"expected transfer " + Quoted(want) + ", got none"};
    const auto& v = all[transfersSeen_++];
    bool holds = v.IsArray() && v.ToArray().size() == 1 && v.ToArray()[0].IsText() &&
                 v.ToArray()[0].ToText() == want;
    Expect(holds, "transfer [" + Quoted(want) + "]", v.Debug());
}

void Runner::ExpectLog(const Command& c) {
    auto records = framework::ReadLogRecords(logFile_, logStart_);
    for (const auto& r : records)
        if (auto p = r.find("procedure"); p != r.end() && *p == c.args[0]) return;
    throw Failure{"expected a log record naming " + Quoted(c.args[0]) + ", got " +
                  std::to_string(records.size()) + " other records"};
}

// The runner's step for each command of the table, in the table's order.
using Step = void (Runner::*)(const Command&);
#define DRAVEL_SCRIPT_STEP(name, syntax, description, step) &Runner::step,
constexpr Step kSteps[] = {DRAVEL_SCRIPT_COMMANDS(DRAVEL_SCRIPT_STEP)};
#undef DRAVEL_SCRIPT_STEP

void Runner::Run(const Command& c) {
    (this->*kSteps[c.Index()])(c);
    CheckMessageBoxes();
}

Outcome RunText(const std::string& name, const std::string& text, const RunOptions& options) {
    std::vector<Command> commands;
    try {
        commands = Parse(text);
    } catch (const ParseError& e) {
        return {2, name + ":" + std::to_string(e.Line()) + ": " + e.what()};
    }
    Runner runner(options);
    for (const auto& c : commands) {
        auto at = name + ":" + std::to_string(c.line) + ": ";
        try {
            runner.Run(c);
        } catch (const Failure& f) {
            return {1, at + f.message};
        } catch (...) {
            auto e = com::CurrentError();
            return {1, at + "expected " + Quoted(Join(c.words, " ")) + " to succeed, got error " +
                           std::to_string(e.Number()) + ": " + e.Description()};
        }
    }
    // A script that queues an answer expects a question: one that never came fails it.
    if (auto unused = runner.UnusedAnswer())
        return {1, name + ":" + std::to_string(unused->line) + ": expected a question for answer " +
                       std::to_string(unused->answer) + ", got none"};
    return {0, ""};
}

namespace {

// A script is a text a person wrote: what is longer is not one (/dev/zero would fill the memory).
constexpr size_t kMaxScriptBytes = 16 << 20;

std::string ReadScript(const fs::path& file) {
    com::Descriptor fd(::open(file.c_str(), O_RDONLY | O_CLOEXEC));
    if (!fd)
        throw com::ComError(com::err::PathFileAccess,
                            "Cannot read " + file.string() + ": " + std::strerror(errno));
    return com::ReadToEnd(fd, file, kMaxScriptBytes, "a script holds at most 16 MiB");
}

}  // namespace

Outcome RunFile(const fs::path& file, const RunOptions& options) {
    std::string text;
    try {
        text = ReadScript(file);
    } catch (const com::ComError& e) {
        return {2, e.Description()};  // a script that cannot run, as one that does not parse
    }
    return RunText(file.string(), text, options);
}

}  // namespace script
