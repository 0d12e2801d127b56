// README.md's examples, run as a newcomer would run them. In its indented code blocks a line
// "$ COMMAND" is run by the shell (with the built programs first on PATH, a home folder of the
// test's own holding the user's files, no display, the C.UTF-8 locale), and the lines after it,
// up to the next "$ " or the end of the block, are what it prints on its standard output and
// error; a line "..." stands for any number of lines, and "..." within a line for any text. A block
// whose first line is "# NAME: ..." is a file the later commands use, written into their folder
// under NAME.

#include <gmock/gmock.h>

#include <fstream>
#include <sstream>

#include "platform/text/text.h"
#include "tests/support/process.h"
#include "tests/support/temp_dir.h"

namespace {

namespace fs = std::filesystem;

struct Example {
    int line = 0;  // in README.md
    std::string command;
    std::vector<std::string> output;
};

struct Readme {
    std::vector<Example> examples;
    std::vector<std::pair<std::string, std::string>> files;  // name, text
};

// The examples and files of README.md's indented code blocks: runs of lines indented by four
// blanks, with the blank lines between them, after a blank line.
Readme ReadReadme() {
    const char* source = std::getenv("DRAVEL_SOURCE_DIR");
    if (!source) throw std::runtime_error("DRAVEL_SOURCE_DIR names the repository (CTest sets it)");
    std::ifstream in(fs::path(source) / "README.md");
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    auto indented = [&](size_t i) { return i < lines.size() && lines[i].starts_with("    "); };
    Readme readme;
    bool afterBlank = true;
    for (size_t i = 0; i < lines.size(); ++i) {
        if (!afterBlank || !indented(i)) {
            afterBlank = txt::IsBlank(lines[i]);
            continue;
        }
        const int first = static_cast<int>(i) + 1;
        std::string text;
        for (; indented(i) || (i < lines.size() && txt::IsBlank(lines[i]) && indented(i + 1));
             ++i) {
            const std::string line = indented(i) ? lines[i].substr(4) : "";
            text += line + "\n";
            if (line.starts_with("$ "))
                readme.examples.push_back({static_cast<int>(i) + 1, line.substr(2), {}});
            else if (!readme.examples.empty() && readme.examples.back().line >= first)
                readme.examples.back().output.push_back(line);
        }
        if (text.starts_with("# ") && text.find(": ") < text.find('\n'))
            readme.files.emplace_back(text.substr(2, text.find(": ") - 2), text);
        afterBlank = true;
    }
    return readme;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) lines.emplace_back(txt::TrimEnd(line));
    while (!lines.empty() && lines.back().empty()) lines.pop_back();
    return lines;
}

// Whether a line is as shown, where "..." in the shown line stands for any text.
bool LineMatches(std::string_view shown, std::string_view line) {
    size_t cut = shown.find("...");
    if (cut == std::string_view::npos) return shown == line;
    if (!line.starts_with(shown.substr(0, cut))) return false;
    line.remove_prefix(cut);
    shown.remove_prefix(cut + 3);
    for (size_t at = 0; at <= line.size(); ++at)
        if (LineMatches(shown, line.substr(at))) return true;
    return false;
}

// Whether `actual` is `expected`, where a line "..." in `expected` stands for any lines.
bool Matches(const std::vector<std::string>& expected, size_t e,
             const std::vector<std::string>& actual, size_t a) {
    if (e == expected.size()) return a == actual.size();
    if (expected[e] == "...") {
        for (size_t skip = a; skip <= actual.size(); ++skip)
            if (Matches(expected, e + 1, actual, skip)) return true;
        return false;
    }
    return a < actual.size() && LineMatches(expected[e], actual[a]) &&
           Matches(expected, e + 1, actual, a + 1);
}

std::string Joined(const std::vector<std::string>& lines) {
    std::string text;
    for (const auto& l : lines) text += "    " + l + "\n";
    return text;
}

TEST(Readme, EveryExampleCommandPrintsWhatTheReadmeShows) {
    const Readme readme = ReadReadme();
    ASSERT_GE(readme.examples.size(), 5u) << "README.md has lost its examples";
    testing_support::TempDir folder("dravel-readme");
    for (const auto& [name, text] : readme.files) std::ofstream(folder / name) << text;
    const fs::path bin = fs::path(DRAVEL_CLI_PATH).parent_path();
    std::vector<std::string> env = testing_support::CurrentEnvironment(
        {"HOME=" + folder.Path().string(), "XDG_DATA_HOME=", "XDG_CONFIG_HOME=", "XDG_STATE_HOME=",
         "XDG_CONFIG_DIRS=" + (folder / "xdg").string(), "DRAVEL_REGISTRY=", "DRAVEL_LOG=",
         "DRAVEL_DATABASE=", "PATH=" + bin.string() + ":/usr/bin:/bin", "LC_ALL=C.UTF-8",
         "LANGUAGE=", "DISPLAY=", "WAYLAND_DISPLAY="});
    for (const auto& example : readme.examples) {
        SCOPED_TRACE("README.md:" + std::to_string(example.line) + ": $ " + example.command);
        std::string command = example.command;
        for (size_t at; (at = command.find("build/default/bin/")) != std::string::npos;)
            command.replace(at, 18, bin.string() + "/");
        testing_support::Process run({"/bin/sh", "-c", "cd \"$0\" && " + command, folder.Path()},
                                     env, folder / "output");
        run.WaitFor(std::chrono::seconds(60));
        const auto actual = Lines(run.Output());
        std::vector<std::string> expected = example.output;
        while (!expected.empty() && expected.back().empty()) expected.pop_back();
        EXPECT_TRUE(Matches(expected, 0, actual, 0)) << "README shows:\n"
                                                     << Joined(expected) << "the program printed:\n"
                                                     << Joined(actual);
    }
}

}  // namespace
