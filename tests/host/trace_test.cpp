// A failure the module lets pass, as a maintainer who sets DRAVEL_TRACE=1 finds it: a line that
// names the module's procedure, its place and the error.

#include <gmock/gmock.h>

#include "tests/support/child_process.h"
#include "tests/support/module_session.h"

namespace {

using testing::AllOf;
using testing::EndsWith;
using testing::StartsWith;

// The trace's lines, without what else went to standard error.
std::vector<std::string> TraceLines(const std::string& written) {
    std::vector<std::string> lines;
    std::istringstream in(written);
    for (std::string line; std::getline(in, line);)
        if (line.starts_with("dravel trace: ")) lines.push_back(line);
    return lines;
}

// A line of the module class's file.
testing::Matcher<const std::string&> Traced(const std::string& procedure,
                                            const std::string& error) {
    return AllOf(StartsWith("dravel trace: " + procedure + " (clsmg_quintab.cpp:"),
                 EndsWith("): " + error));
}

// A window state beyond 16 bits is dropped, and a module whose window was never shown has none
// to close: the trace names the property and the operation, not the helpers that ran them.
TEST(ModuleTrace, NamesTheProcedureOfEachStepThatFailed) {
    const auto noWindow =
        Traced("CloseForm", "error 91: Object variable or With block variable not set");
    testing_support::ExpectStandardErrorWithTrace(
        "1",
        testing::ResultOf(TraceLines,
                          testing::ElementsAre(Traced("put_WindowState", "error 6: Overflow"),
                                               noWindow, noWindow)),
        [] {
            testing_support::TestFolder folder;
            framework::HostSession::RegisterModule(testing_support::ModuleLibraryPath());
            auto module = com::CreateObjectAs<host::Cinterface>(framework::kModuleProgId);
            module->put_WindowState(70000);
            com::Variant closed;
            module->CloseForm(&closed);
            testing_support::Require(closed == com::Variant(true), "CloseForm answers True");
        });
}

}  // namespace
