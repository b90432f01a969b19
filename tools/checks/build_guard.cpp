#include "checks/build_guard.h"

#include <cstdio>

#include "common/command_error.h"

namespace vykcn::tool {

CheckedTranslations CheckBeforeBuild(const std::vector<std::string>& paths, const CheckOptions& options) {
  CheckedTranslations checked = CheckTranslations(paths, options);
  PrintFindings(stderr, checked.findings, kBuildWarningLimit);
  const size_t errors = checked.errors();
  if (errors > 0) {
    throw CommandError(std::to_string(errors) + (errors == 1 ? " error" : " errors") +
                       " (listed above); nothing written");
  }
  return checked;
}

}  // namespace vykcn::tool
