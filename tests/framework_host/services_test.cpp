// The host's services: the log (one JSON record per report, in UTC, whole under concurrent
// writers and rotation) and the texts in the user's language.

#include <gmock/gmock.h>

#include <cerrno>

#include <chrono>
#include <fstream>
#include <iomanip>
#include <regex>
#include <sstream>
#include <thread>

#include <nlohmann/json.hpp>

#include "framework/controls/control_model.h"
#include "framework/log_service.h"
#include "framework/text_service.h"
#include "platform/com/user_files.h"
#include "platform/ui/headless.h"
#include "tests/support/error_matchers.h"
#include "tests/support/temp_dir.h"

using testing::HasSubstr;
using testing_support::ScopedEnv;
using testing_support::TempDir;

// The user's state folder unless DRAVEL_LOG names one (README.md's log example finds it under
// HOME).
TEST(LogService, FindsItsFileFromTheEnvironment) {
    ScopedEnv log("DRAVEL_LOG", "/tmp/x/explicit.log");
    ScopedEnv state("XDG_STATE_HOME", "/tmp/state");
    EXPECT_EQ(framework::DefaultLogPath(), "/tmp/x/explicit.log");
    ScopedEnv noLog("DRAVEL_LOG", nullptr);
    EXPECT_EQ(framework::DefaultLogPath(), "/tmp/state/dravel/dravel.log");
}

TEST(LogService, AReportIsOneRecordInUtcEchoedAndTheErrorGoesWithItOnce) {
    TempDir dir;
    auto file = dir / "nested/dir/dravel.log";  // directories are created
    ScopedEnv log("DRAVEL_LOG", file.c_str());
    ScopedEnv zone("TZ", "JST-9");  // nine hours ahead of UTC, all year
    tzset();
    auto service = framework::LogService::Create();
    service->CaptureError(com::ComError(3000, "no such table: MGA0_QUINTAB"));
    const auto before = std::chrono::floor<std::chrono::seconds>(std::chrono::system_clock::now());
    testing::internal::CaptureStderr();
    service->ReportError(com::Variant("0_0_0_0"), "FRM_MGQUINTAB", "Form_Load");
    service->ReportError(com::Variant(7), "FRM_MGQUINTAB", "Form_Activate");
    std::string echoed = testing::internal::GetCapturedStderr();
    const auto after = std::chrono::system_clock::now();
    unsetenv("TZ");
    tzset();

    auto records = framework::ReadLogRecords(file);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(echoed, records[0].dump() + "\n" + records[1].dump() + "\n");
    const std::string time = records[0]["time"];
    EXPECT_TRUE(std::regex_match(time, std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)")));
    std::tm written{};
    std::istringstream(time) >> std::get_time(&written, "%Y-%m-%dT%H:%M:%S");
    const auto at = std::chrono::system_clock::from_time_t(timegm(&written));
    EXPECT_TRUE(at >= before && at <= after) << time;
    // Its fields are README.md's example's. The error was reported once: the next report carries
    // none.
    EXPECT_EQ(records[1]["code"], 7);
    EXPECT_EQ(records[1]["number"], 0);
    EXPECT_EQ(records[1]["description"], "");
}

// The log is rotated once, every record a valid line in it and in the echo; a reader that noted
// where the log ended reads the records written since.
TEST(LogService, ConcurrentReportsStayWholeAcrossARotation) {
    TempDir dir;
    auto file = dir / "dravel.log";
    const std::string older =
        R"({"code":"older","description":")" + std::string(1000, 'x') + "\"}\n";
    size_t olderRecords = 0;
    for (std::ofstream out(file); (olderRecords + 1) * older.size() < framework::kLogRotationSize;
         ++olderRecords)
        out << older;
    auto start = framework::LogEnd(file);
    // Long descriptions with control characters, a line break and bytes that are not UTF-8.
    auto description = [](int writer) {
        return std::string(3000, static_cast<char>('a' + writer)) + "\n\t\x01 \xff\xfe fine";
    };
    testing::internal::CaptureStderr();
    std::vector<std::thread> writers;
    for (int w = 0; w < 4; ++w)
        writers.emplace_back([&, w] {
            auto service = framework::LogService::Create(file);
            for (int i = 0; i < 50; ++i) {
                service->CaptureError(com::ComError(3000 + w, description(w)));
                service->ReportError(com::Variant(i), "FRM_MGQUINTAB", "Form_Load");
            }
        });
    for (auto& t : writers) t.join();
    std::istringstream echoed(testing::internal::GetCapturedStderr());
    auto rotated = framework::ReadLogRecords(dir / "dravel.log.1");
    EXPECT_GE(rotated.size(), olderRecords);
    EXPECT_EQ(rotated.size() + framework::ReadLogRecords(file).size(), olderRecords + 200);
    auto records = framework::ReadLogRecords(file, start);
    ASSERT_EQ(records.size(), 200u);
    for (const auto& r : records) {
        int w = r["number"].get<int>() - 3000;
        ASSERT_TRUE(w >= 0 && w < 4);
        EXPECT_EQ(r["description"].get<std::string>().substr(0, 3002),
                  description(w).substr(0, 3002));
    }
    int echoedRecords = 0;
    for (std::string line; std::getline(echoed, line); ++echoedRecords)
        ASSERT_TRUE(nlohmann::json::parse(line, nullptr, false).is_object()) << line.substr(0, 80);
    EXPECT_EQ(echoedRecords, 200);
}

TEST(LogService, AnUnwritableFileIsAnErrorButTheRecordIsEchoedAndBadLinesAreSkipped) {
    TempDir dir;
    std::ofstream(dir / "plain") << "a file, not a directory";
    auto service = framework::LogService::Create(dir / "plain/dravel.log");
    testing::internal::CaptureStderr();
    EXPECT_THAT(
        [&] { service->ReportError(com::Variant("0_0_0_0"), "FRM_MGQUINTAB", "Form_Load"); },
        testing_support::FailsWith(com::err::PathFileAccess, HasSubstr("plain/dravel.log")));
    EXPECT_THAT(testing::internal::GetCapturedStderr(), HasSubstr("\"procedure\":\"Form_Load\""));

    std::ofstream(dir / "bad.log") << "{\"code\":1}\nnot json\n[2]\n{\"code\":3}\n";
    auto records = framework::ReadLogRecords(dir / "bad.log");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1]["code"], 3);
    EXPECT_TRUE(framework::ReadLogRecords(dir / "missing.log").empty());
}

// A log in a folder others can write, where a link was planted in its place, is not written:
// standard error says so once, the records are still echoed there, and reporting goes on without
// an error. (The other ways a file is not trusted are the registry's tests'.)
TEST(LogService, ALogOthersCouldChangeIsRefusedOnceAndTheProgramGoesOn) {
    namespace fs = std::filesystem;
    TempDir dir;
    const fs::path victim = dir / "victim", log = dir / "state/dravel/dravel.log";
    std::ofstream(victim) << "keep\n";
    fs::create_directories(log.parent_path());
    fs::create_symlink(victim, log);
    fs::permissions(dir / "state", fs::perms::all);
    auto service = framework::LogService::Create(log);
    testing::internal::CaptureStderr();
    for (int report = 0; report < 2; ++report)
        service->ReportError(com::Variant("0_0_0_0"), "FRM_MGQUINTAB", "Form_Load");
    const std::string echoed = testing::internal::GetCapturedStderr();
    const std::string refusal = std::string(program_invocation_short_name) + ": " + log.string() +
                                " is not trusted: " + (dir / "state").string() +
                                " is writable by others; going on without a log file\n";
    const size_t said = echoed.find(refusal);
    EXPECT_NE(said, std::string::npos) << echoed;
    EXPECT_EQ(echoed.find(refusal, said + 1), std::string::npos);  // once
    EXPECT_THAT(echoed, HasSubstr("\"procedure\":\"Form_Load\""));
    EXPECT_EQ(com::ReadFile(victim), "keep\n");
}

// The program runs in the C locale (it never calls setlocale), as on a machine where no locale
// has been generated: the English catalogue needs none.
TEST(TextService, ShowsSourceTextsUnlessEnglishIsChosen) {
    auto texts = framework::TextService::Create();
    std::string priority = "Priorità", unknown = "Testo senza traduzione";
    EXPECT_EQ(texts->Language(), "it");
    EXPECT_EQ(texts->TranslateText(priority), "Priorità");

    texts->SetLanguage("en");
    EXPECT_EQ(texts->TranslateText(priority), "Priority");
    EXPECT_EQ(texts->TranslateText(unknown), unknown);
    EXPECT_EQ(priority, "Priorità");  // the caller's text is not changed

    EXPECT_THROW(texts->SetLanguage("de"), com::ComError);
    EXPECT_EQ(texts->Language(), "en");
    texts->SetLanguage("it");
    EXPECT_EQ(texts->TranslateText(priority), "Priorità");
}

// A failure whose description names something (a table) is shown in the user's language all the
// same: its catalogue text is translated, then filled in.
TEST(TextService, AnErrorThatNamesATableIsShownTranslated) {
    TempDir dir;
    ScopedEnv log("DRAVEL_LOG", (dir / "dravel.log").c_str());
    ui::HeadlessToolkit toolkit;
    ui::ScopedToolkit scope(toolkit);
    auto texts = framework::TextService::Create();
    texts->SetLanguage("en");
    texts->MakeCurrent();
    testing::internal::CaptureStderr();
    framework::ShowError(
        com::ComError(3000, "Nel database manca la tabella %1: l'operazione non è stata eseguita.")
            .SetValues({"MGA1_MATRCPAR"}),
        "Criteri");
    testing::internal::GetCapturedStderr();
    ASSERT_EQ(toolkit.Messages().size(), 1u);
    EXPECT_EQ(toolkit.Messages()[0].text,
              "The database has no table MGA1_MATRCPAR: nothing was done.");
}
