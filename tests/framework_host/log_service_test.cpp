#include <gtest/gtest.h>
#include <pwd.h>
#include <unistd.h>

#include <chrono>
#include <ctime>
#include <fstream>
#include <iomanip>
#include <regex>
#include <sstream>
#include <thread>

#include "framework/log_service.h"
#include "platform/ui/headless.h"
#include "tests/support/temp_dir.h"

using testing_support::ScopedEnv;
using testing_support::TempDir;

TEST(LogService, FindsItsFileFromTheEnvironment) {
    ScopedEnv log("DRAVEL_LOG", "/tmp/x/explicit.log");
    ScopedEnv state("XDG_STATE_HOME", "/tmp/state");
    ScopedEnv home("HOME", "/home/someone");
    EXPECT_EQ(framework::DefaultLogPath(), "/tmp/x/explicit.log");
    {
        ScopedEnv noLog("DRAVEL_LOG", nullptr);
        EXPECT_EQ(framework::DefaultLogPath(), "/tmp/state/dravel/dravel.log");
        ScopedEnv noState("XDG_STATE_HOME", "");
        EXPECT_EQ(framework::DefaultLogPath(), "/home/someone/.local/state/dravel/dravel.log");
        ScopedEnv noHome("HOME", nullptr);  // the home folder of the user's passwd entry
        EXPECT_EQ(framework::DefaultLogPath(), std::filesystem::path(getpwuid(geteuid())->pw_dir) /
                                                   ".local/state/dravel/dravel.log");
    }
}

TEST(LogService, ReportWritesOneRecordAndEchoesIt) {
    TempDir dir;
    auto file = dir / "nested/dir/dravel.log";  // directories are created
    ScopedEnv log("DRAVEL_LOG", file.c_str());
    auto service = framework::LogService::Create();

    service->CaptureError(com::ComError(3000, "no such table: MGA0_QUINTAB", "ado.Connection"));
    testing::internal::CaptureStderr();
    service->ReportError(com::Variant("0_0_0_0"), "FRM_MGQUINTAB", "Form_Load");
    std::string echoed = testing::internal::GetCapturedStderr();

    auto records = framework::ReadLogRecords(file);
    ASSERT_EQ(records.size(), 1u);
    const auto& r = records[0];
    EXPECT_EQ(r["code"], "0_0_0_0");
    EXPECT_EQ(r["source"], "FRM_MGQUINTAB");
    EXPECT_EQ(r["procedure"], "Form_Load");
    EXPECT_EQ(r["number"], 3000);
    EXPECT_EQ(r["description"], "no such table: MGA0_QUINTAB");
    EXPECT_EQ(r["error_source"], "ado.Connection");
    EXPECT_TRUE(std::regex_match(r["time"].get<std::string>(),
                                 std::regex(R"(\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d\.\d{3}Z)")))
        << r["time"];
    EXPECT_EQ(echoed, r.dump() + "\n");

    // The error is reported once; a later report without a capture carries none, and appends.
    testing::internal::CaptureStderr();
    service->ReportError(com::Variant(7), "FRM_MGQUINTAB", "Form_Activate");
    testing::internal::GetCapturedStderr();
    records = framework::ReadLogRecords(file);
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1]["code"], 7);
    EXPECT_EQ(records[1]["number"], 0);
    EXPECT_EQ(records[1]["description"], "");
}

TEST(LogService, TheTimeIsUtcWhateverTheLocalZone) {
    TempDir dir;
    ScopedEnv zone("TZ", "JST-9");  // nine hours ahead of UTC, all year
    tzset();
    auto service = framework::LogService::Create(dir / "dravel.log");
    auto before = std::chrono::system_clock::now();
    testing::internal::CaptureStderr();
    service->ReportError(com::Variant("0_0_0_0"), "FRM_MGQUINTAB", "Form_Load");
    testing::internal::GetCapturedStderr();
    auto after = std::chrono::system_clock::now();
    tzset();  // the zone variable is gone again

    auto records = framework::ReadLogRecords(dir / "dravel.log");
    ASSERT_EQ(records.size(), 1u);
    std::tm written{};
    std::istringstream(records[0]["time"].get<std::string>()) >>
        std::get_time(&written, "%Y-%m-%dT%H:%M:%S");
    auto at = std::chrono::system_clock::from_time_t(timegm(&written));
    EXPECT_GE(at, std::chrono::floor<std::chrono::seconds>(before) - std::chrono::seconds(1));
    EXPECT_LE(at, after) << records[0]["time"];
}

TEST(LogService, ConcurrentReportsStayOneValidRecordPerLine) {
    TempDir dir;
    auto file = dir / "dravel.log";
    constexpr int kWriters = 4, kReports = 50;
    // Long descriptions with control characters, a line break and bytes that are not UTF-8.
    auto description = [](int writer) {
        return std::string(3000, static_cast<char>('a' + writer)) + "\n\t\x01 \xff\xfe fine";
    };
    testing::internal::CaptureStderr();
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&, w] {
            auto service = framework::LogService::Create(file);
            for (int i = 0; i < kReports; ++i) {
                service->CaptureError(com::ComError(3000 + w, description(w), "ado"));
                service->ReportError(com::Variant(i), "FRM_MGQUINTAB", "Form_Load");
            }
        });
    for (auto& t : writers) t.join();
    std::string echoed = testing::internal::GetCapturedStderr();

    auto records = framework::ReadLogRecords(file);
    ASSERT_EQ(records.size(), static_cast<size_t>(kWriters * kReports));
    for (const auto& r : records) {
        int w = r["number"].get<int>() - 3000;
        ASSERT_TRUE(w >= 0 && w < kWriters);
        EXPECT_EQ(r["description"].get<std::string>().substr(0, 3002),
                  std::string(3000, static_cast<char>('a' + w)) + "\n\t");
    }
    // The echo too: one record per line.
    std::istringstream lines(echoed);
    int echoedRecords = 0;
    for (std::string line; std::getline(lines, line); ++echoedRecords)
        ASSERT_TRUE(nlohmann::json::parse(line, nullptr, false).is_object()) << line.substr(0, 80);
    EXPECT_EQ(echoedRecords, kWriters * kReports);
}

TEST(LogService, UnwritableFileIsAnErrorButTheRecordIsEchoed) {
    TempDir dir;
    std::ofstream(dir / "plain") << "a file, not a directory";
    auto service = framework::LogService::Create(dir / "plain/dravel.log");
    service->CaptureError(com::ComError(91));
    testing::internal::CaptureStderr();
    try {
        service->ReportError(com::Variant("0_0_0_0"), "FRM_MGQUINTAB", "Form_Load");
        ADD_FAILURE() << "no error";
    } catch (const com::ComError& e) {
        EXPECT_EQ(e.Number(), 75);
        EXPECT_NE(e.Description().find("plain/dravel.log"), std::string::npos) << e.Description();
    }
    EXPECT_NE(testing::internal::GetCapturedStderr().find("\"procedure\":\"Form_Load\""),
              std::string::npos);
}

TEST(LogService, ReadingSkipsLinesThatAreNoRecord) {
    TempDir dir;
    std::ofstream(dir / "bad.log") << "{\"code\":1}\nnot json\n[2]\n{\"code\":3}\n";
    auto records = framework::ReadLogRecords(dir / "bad.log");
    ASSERT_EQ(records.size(), 2u);
    EXPECT_EQ(records[1]["code"], 3);
    EXPECT_TRUE(framework::ReadLogRecords(dir / "missing.log").empty());
}

// Writers that fill the log at the same time rotate it once; a reader that noted where the log
// ended reads the records written since, across the rotation.
TEST(LogService, AFullLogIsRotatedWithoutLosingARecord) {
    TempDir dir;
    auto file = dir / "dravel.log";
    const std::string older =
        "{\"code\":\"older\",\"description\":\"" + std::string(1000, 'x') + "\"}\n";
    size_t olderRecords = 0;
    {
        std::ofstream out(file);
        for (; (olderRecords + 1) * older.size() < framework::kLogRotationSize; ++olderRecords)
            out << older;
    }
    auto start = framework::LogEnd(file);

    constexpr int kWriters = 4, kReports = 50;
    testing::internal::CaptureStderr();
    std::vector<std::thread> writers;
    for (int w = 0; w < kWriters; ++w)
        writers.emplace_back([&] {
            auto service = framework::LogService::Create(file);
            for (int i = 0; i < kReports; ++i)
                service->ReportError(com::Variant(i), "FRM_MGQUINTAB", "Form_Load");
        });
    for (auto& t : writers) t.join();
    testing::internal::GetCapturedStderr();

    auto rotated = framework::ReadLogRecords(dir / "dravel.log.1");
    auto current = framework::ReadLogRecords(file);
    EXPECT_GE(rotated.size(), olderRecords);
    EXPECT_EQ(rotated.size() + current.size(), olderRecords + kWriters * kReports);
    EXPECT_EQ(framework::ReadLogRecords(file, start).size(),
              static_cast<size_t>(kWriters * kReports));
}

TEST(LogService, LogMessageBoxReturnsThePlatformAnswer) {
    ui::HeadlessToolkit toolkit;
    ui::ScopedToolkit scope(toolkit);
    toolkit.ExpectMessage(ui::mb::AnswerYes, ui::HeadlessToolkit::TextMatch::Exact, "Proseguo ?");
    auto service = framework::LogService::Create();
    std::string text = "Proseguo ?";
    int32_t flags = ui::mb::YesNo;
    EXPECT_EQ(service->LogMessageBox(text, flags, "Titolo", -1, 0), ui::mb::AnswerYes);
    ASSERT_EQ(toolkit.Messages().size(), 1u);
    EXPECT_EQ(toolkit.Messages()[0].title, "Titolo");
}
