// The texts of the findings: the values they quote stay as they are.

#include <gtest/gtest.h>

#include "determination/report.h"

namespace {

TEST(DeterminationReport, AQuotedDescriptionIsNeverTakenForAPlaceholder) {
    determination::Criterion earlier;
    earlier.priority = 1;
    earlier.description = "Sconto %1 e %2";
    determination::Finding f{determination::Finding::Kind::UnreachableRow, {}, earlier, 6, 0, 0};
    auto same = [](const std::string& text) { return text; };
    EXPECT_EQ(determination::FindingText(f, same),
              "la riga 6 della matrice non è mai raggiunta: risponde prima 1. Sconto %1 e %2");
}

}  // namespace
