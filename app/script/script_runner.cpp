#include "app/script/script_runner.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <deque>
#include <functional>
#include <map>
#include <optional>

#include "app/script/script_parser.h"
#include "contracts/cinterface_access.h"
#include "contracts/record_frame.h"
#include "framework/host_classes.h"
#include "framework/host_session.h"
#include "framework/log_service.h"
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

int32_t Number(const std::string& word) {
    if (auto v = ParseNumber(word)) return *v;
    throw Failure{"expected a number, got " + Quoted(word)};
}

// `key=value` options after the positional words.
std::map<std::string, std::string> Options(const std::vector<std::string>& words, size_t from) {
    std::map<std::string, std::string> out;
    for (size_t i = from; i < words.size(); ++i) {
        auto eq = words[i].find('=');
        if (eq == std::string::npos) throw Failure{"expected key=value, got " + Quoted(words[i])};
        out[words[i].substr(0, eq)] = words[i].substr(eq + 1);
    }
    return out;
}

class Runner {
  public:
    Runner(const RunOptions& options) : options_(options), driver_(toolkit_) {
        framework::RegisterHostClasses();
        std::string cs = options.connectionString;
        if (cs.empty()) {
            // A new folder of our own, never one another user could have put there first.
            std::string pattern = (fs::temp_directory_path() / "dravel-script-XXXXXX").string();
            if (!::mkdtemp(pattern.data()))
                throw com::ComError(com::err::Automation, "Cannot create a folder " + pattern +
                                                              ": " + std::strerror(errno));
            tempDir_ = pattern;
            cs = "Provider=SQLite;Data Source=" + (tempDir_ / "script.db").string();
        }
        session_ = std::make_unique<framework::HostSession>(
            cs, framework::SessionOptions{.createDatabase = !tempDir_.empty()});
        logFile_ = framework::DefaultLogPath();
        logStart_ = framework::LogEnd(logFile_);
    }
    ~Runner() {
        // As a host that shuts down: every window still open is closed, then the session ends.
        for (auto& form : toolkit_.OpenForms()) com::Step([&] { form->UserClose(); });
        com::Step([&] { session_.reset(); });
        if (!tempDir_.empty()) fs::remove_all(tempDir_);
    }

    void Run(const Command& c) {
        RunCommand(c);
        CheckMessageBoxes();
    }

    struct QueuedAnswer {
        int32_t answer;
        int line;  // the `answer` command's line
    };
    // The oldest answer queued and never asked for, if any.
    std::optional<QueuedAnswer> UnusedAnswer() const {
        if (answers_.empty()) return std::nullopt;
        return answers_.front();
    }

  private:
    void RunCommand(const Command& c) {
        const auto& w = c.words;
        const std::string& name = w[0];
        if (name == "sql") return Sql(w[1]);
        if (name == "company") return Company(w);
        if (name == "open") return Open(Number(w[1]));
        if (name == "language") return session_->Global().Texts().SetLanguage(w[1]);
        if (name == "activate") return driver_.Activate(Window());
        if (name == "press") return driver_.Press(Window(), "INTERNAV", w[1]);
        if (name == "type") return driver_.Type(Window(), w[1], w[2]);
        if (name == "choose") return driver_.Choose(Window(), w[1], com::Variant(Number(w[2])));
        if (name == "grid") return driver_.SelectLine(Window(), "QGRID", Number(w[1]));
        if (name == "node") return driver_.SelectNode(Window(), "TVW_FIELDS", w[1]);
        if (name == "double-click") return driver_.DoubleClickTree(Window(), "TVW_FIELDS");
        if (name == "list") return driver_.SelectListEntry(Window(), "LST_FIELDS", Number(w[1]));
        if (name == "toolbar")
            return driver_.PressToolbar(Window(), w[1],
                                        static_cast<int16_t>(w.size() > 2 ? Number(w[2]) : 0));
        if (name == "answer") {
            answers_.push_back({Number(w[1]), c.line});
            return driver_.ExpectQuestion(answers_.back().answer);
        }
        if (name == "navigator") return Navigator(w);
        if (name == "close") return driver_.Close(Window());
        if (name == "closeform") return session_->CloseForm();
        if (name == "end") return session_->EndModule();
        if (name == "expect") return ExpectCommand(w);
        throw Failure{"unknown command " + Quoted(name)};
    }

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

    ui::IForm& Window() {
        auto w = session_->Window();
        if (!w) throw Failure{"expected an open window, got none"};
        window_ = w;
        return *window_;
    }

    com::ComPtr<host::IRecordFrame> Frame() {
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

    void Sql(const std::string& statement) { session_->Database().Execute(statement); }

    void Company(const std::vector<std::string>& w) {
        int32_t code = Number(w[1]);
        auto opts = Options(w, 2);
        auto value = [](const std::string& v) {
            return v == "null" ? com::Variant::Null() : com::Variant(Number(v));
        };
        auto& db = session_->Database();
        auto rs =
            db.ExecuteWith("SELECT 1 FROM HOST_DITTE WHERE DITTA_CODICE = ?", {com::Variant(code)});
        if (rs->Eof()) {
            db.ExecuteWith("INSERT INTO HOST_DITTE (DITTA_CODICE, DITTA_RAGSOC) VALUES (?, ?)",
                           {com::Variant(code), com::Variant("Ditta " + std::to_string(code))});
        }
        for (const auto& [key, v] : opts) {
            // The parser lets through only these two keys.
            std::string column =
                key == "account-types" ? "DITTA_PARAMTIPICONTO" : "DITTA_ANNIDACLASSI";
            db.ExecuteWith("UPDATE HOST_DITTE SET " + column + " = ? WHERE DITTA_CODICE = ?",
                           {value(v), com::Variant(code)});
        }
    }

    void Open(int32_t company) {
        if (!com::Registry().Find(framework::kModuleProgId)) {
            if (options_.moduleLibrary.empty())
                throw Failure{"expected the module to be registered"};
            framework::HostSession::RegisterModule(options_.moduleLibrary);
        }
        session_->ChooseCompany(company);
        session_->CreateModule();
        session_->ShowForm();
    }

    void Navigator(const std::vector<std::string>& w) {
        const std::string& e = w[1];
        if (e == "company-change") {
            if (w.size() > 2)
                session_->ChangeCompany(Number(w[2]));
            else
                session_->Navigator().RaiseBeforeChangeDitta();
        } else if (e == "button") {
            session_->PressNavigatorButton(Number(w[2]));
        } else if (e == "export") {
            lastExport_ = session_->PrepareExportToOffice();
        } else if (e == "layout") {
            session_->InitializeLayoutModel();
        } else {
            session_->InitializeScriptModel();
        }
    }

    void ExpectCommand(const std::vector<std::string>& w) {
        const std::string& what = w[1];
        if (what == "message") {
            ExpectMessage(w);
        } else if (what == "no-message") {
            std::string got =
                driver_.UntakenMessages() ? Quoted(driver_.TakeMessage().text) : "none";
            Expect(got == "none", "no message", got);
        } else if (what == "beep") {
            int want = w.size() > 2 ? Number(w[2]) : 1;
            int got = driver_.Beeps() - beepsSeen_;
            beepsSeen_ = driver_.Beeps();
            Expect(got == want, std::to_string(want) + " beeps", std::to_string(got));
        } else if (what == "field") {
            std::string got = FieldText(w[2]);
            Expect(got == w[3], Quoted(w[3]), Quoted(got));
        } else if (what == "list") {
            auto list = ControlAs<ui::IListBox>("LST_FIELDS");
            auto* lb = static_cast<ui::ListBox*>(list.Get());
            std::vector<std::string> got;
            for (int i = 0; i < lb->ListCount(); ++i) got.push_back(lb->List(i));
            // `expect list none` (or no words at all) is the empty list.
            std::vector<std::string> want(w.begin() + 2, w.end());
            if (want == std::vector<std::string>{"none"}) want.clear();
            Expect(got == want, "[" + Join(want, ", ") + "]", "[" + Join(got, ", ") + "]");
        } else if (what == "entries") {
            auto got = ControlAs<ui::IChoiceInput>(w[2])->Labels();
            std::vector<std::string> want(w.begin() + 3, w.end());
            Expect(got == want, "[" + Join(want, ", ") + "]", "[" + Join(got, ", ") + "]");
        } else if (what == "grid") {
            auto grid = ControlAs<ui::ILineView>("QGRID");
            std::vector<std::string> got;
            for (int i = 1; i <= grid->LineCount(); ++i)
                got.push_back(Join(grid->LineCells(i), "|"));
            std::vector<std::string> want(w.begin() + 2, w.end());
            Expect(got == want, "[" + Join(want, "; ") + "]", "[" + Join(got, "; ") + "]");
        } else if (what == "current") {
            int got = Frame()->CurrentRow();
            Expect(got == Number(w[2]), "current row " + w[2], std::to_string(got));
        } else if (what == "status") {
            int got = Frame()->Status();
            Expect(got == Number(w[2]), "status " + w[2], std::to_string(got));
        } else if (what == "modified") {
            bool got = Frame()->Modified();
            bool want = w[2] == "true" || w[2] == "True";
            Expect(got == want, "modified " + w[2], got ? "true" : "false");
        } else if (what == "query") {
            std::string got = QueryText(w[2]);
            Expect(got == w[3], Quoted(w[3]), Quoted(got));
        } else if (what == "transfer") {
            ExpectTransfer(w[2]);
        } else if (what == "window") {
            bool open = static_cast<bool>(session_->Window());
            Expect((w[2] == "open") == open, "window " + w[2],
                   open ? "window open" : "window closed");
        } else if (what == "log") {
            ExpectLog(w[2]);
        } else {
            throw Failure{"expected a known expectation, got " + Quoted(what)};
        }
    }

    void ExpectMessage(const std::vector<std::string>& w) {
        std::string want = w[2];
        auto opts = Options(w, 3);
        if (!driver_.UntakenMessages())
            throw Failure{"expected message " + Quoted(want) + ", got none"};
        const auto& m = driver_.TakeMessage();
        bool textHolds = want.starts_with("~") ? m.text.find(want.substr(1)) != std::string::npos
                                               : m.text == want;
        Expect(textHolds, "message " + Quoted(want), Quoted(m.text));
        if (opts.count("flags"))
            Expect(m.flags == Number(opts["flags"]), "flags " + opts["flags"],
                   std::to_string(m.flags));
        if (opts.count("title"))
            Expect(m.title == opts["title"], "title " + Quoted(opts["title"]), Quoted(m.title));
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

    void ExpectTransfer(const std::string& want) {
        const auto& all = session_->Transfers();
        if (transfersSeen_ >= all.size())
            throw Failure{"expected transfer " + Quoted(want) + ", got none"};
        const auto& v = all[transfersSeen_++];
        std::string got = v.Debug();
        bool holds = v.IsArray() && v.ToArray().size() == 1 && v.ToArray()[0].IsText() &&
                     v.ToArray()[0].ToText() == want;
        Expect(holds, "transfer [" + Quoted(want) + "]", got);
    }

    void ExpectLog(const std::string& procedure) {
        auto records = framework::ReadLogRecords(logFile_, logStart_);
        for (const auto& r : records)
            if (auto p = r.find("procedure"); p != r.end() && *p == procedure) return;
        throw Failure{"expected a log record naming " + Quoted(procedure) + ", got " +
                      std::to_string(records.size()) + " other records"};
    }

    RunOptions options_;
    ui::HeadlessToolkit toolkit_;
    ui::ScopedToolkit scope_{toolkit_};
    ui::Driver driver_;
    fs::path tempDir_;
    std::unique_ptr<framework::HostSession> session_;
    com::ComPtr<ui::IForm> window_;
    com::ComPtr<framework::ExportToOffice> lastExport_;
    fs::path logFile_;
    framework::LogPosition logStart_;  // the log's records before the script are not its own
    int beepsSeen_ = 0;
    size_t transfersSeen_ = 0;
    std::deque<QueuedAnswer> answers_;  // queued by `answer`, not yet taken by a message box
    size_t messagesSeen_ = 0;
};

}  // namespace

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

Outcome RunFile(const fs::path& file, const RunOptions& options) {
    std::string text;
    try {
        text = com::ReadFile(file);
    } catch (const com::ComError& e) {
        return {2, e.Description()};  // a script that cannot run, as one that does not parse
    }
    return RunText(file.string(), text, options);
}

}  // namespace script
