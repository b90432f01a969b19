#include "checks/precedence_checks.h"

#include "checks/finding.h"

namespace vykcn::tool {

void CheckPrecedence(const TranslationSet& set, std::vector<Problem>* findings) {
  for (const PrecedenceDecision& decision : set.decisions) {
    const TextEntry& entry = *decision.later.entry;
    const TextEntry& earlier = *decision.earlier;
    if (decision.overrides) {
      findings->push_back({decision.later.fileIndex, entry.file, entry.line, Severity::kNote,
                           "overrides " + Place(earlier), note_class::kOverride});
      continue;
    }
    findings->push_back({decision.later.fileIndex, entry.file, entry.line, Severity::kError,
                         "host text " + QuotedText(entry.host) + " has another translation at " + Place(earlier) +
                             ": " + QuotedText(earlier.translation) + " there, " + QuotedText(entry.translation) +
                             " here"});
  }
}

}  // namespace vykcn::tool
