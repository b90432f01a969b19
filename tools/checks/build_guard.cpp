#include "checks/build_guard.h"

#include <cstdio>

#include "common/command_error.h"

namespace vykcn::tool {

CheckedTranslations CheckBeforeBuild(const std::vector<std::string>& paths, const CheckOptions& options,
                                     BuildFindings shown) {
  CheckedTranslations checked = CheckTranslations(paths, options);
  std::vector<Problem> own;
  for (const Problem& finding : checked.findings) {
    if (shown == BuildFindings::kAll || finding.aboutGlyphs) own.push_back(finding);
  }
  PrintFindings(stderr, own, kBuildWarningLimit);
  const size_t errors = CountFindings(own, Severity::kError);
  if (errors > 0) {
    throw CommandError(std::to_string(errors) + (errors == 1 ? " error" : " errors") +
                       " (listed above); nothing written");
  }
  return checked;
}

}  // namespace vykcn::tool
