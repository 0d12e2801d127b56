#pragma once
// A walk and a check as the user reads them (texts in Italian, passed through `translate` for
// the user's language) and as one JSON document. The texts and values the database or the user
// gave are quoted printable: control characters escaped, bytes that are not UTF-8 replaced.

#include <functional>
#include <memory>
#include <nlohmann/json_fwd.hpp>
#include <ostream>
#include <string>
#include <vector>

#include "determination/check.h"
#include "determination/resolve.h"

namespace determination {

// "Ditta 1, tipo 0 (Documenti Vendite / Acquisti), valori: CODA=X INDC=Y".
std::string WalkHeading(const Walk& walk, const Translate& translate);
// "INDC=C00012 CODA=?": the values a step looked for, "?" where none was given.
std::string LookedForText(const Step& step);
// Why the step's criterion answered or not.
std::string OutcomeText(const Step& step, const Translate& translate);
// One line per criterion tried: its priority, description, the values looked for and why it
// answered or not.
std::string StepText(const Step& step, const Translate& translate);
// The account and the criterion that gave it, or that there is none.
std::string WalkResult(const Walk& walk, const Translate& translate);
// All of the above, a line each.
std::string WalkText(const Walk& walk, const Translate& translate);
nlohmann::json WalkJson(const Walk& walk);

// "Documenti Resi, 2. Cliente": the posting type, the priority and the description.
std::string CriterionLabel(const Criterion& c, const Translate& translate);
// The label of a posting type ("Documenti Resi"), or its code when it is none of the seven.
std::string TypeLabel(int32_t type, const Translate& translate);
// The priority, "-" for none.
std::string PriorityText(const Criterion& c);
// The attributes the criteria use, in the order they first appear.
std::vector<std::string> AttributesUsed(const std::vector<Criterion>& criteria);
// What is wrong, without the criterion it concerns.
std::string FindingText(const Finding& finding, const Translate& translate);

// Writes the findings of a check as they are found, so that neither they nor the report are
// held whole: a line per finding (the criterion's label, then what is wrong) or that none was
// found; or the JSON document {"company": N, "findings": [...]}, indented by two.
class FindingsWriter {
  public:
    virtual ~FindingsWriter() = default;
    virtual void Add(const Finding& finding) = 0;
    // After the last finding.
    virtual void End() = 0;
};
std::unique_ptr<FindingsWriter> FindingsTextWriter(std::ostream& out, Translate translate);
std::unique_ptr<FindingsWriter> FindingsJsonWriter(std::ostream& out, int32_t company);

}  // namespace determination
