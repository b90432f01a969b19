#pragma once
// vykcn-tool check: every problem of a set of translators' files in one run, then what the set
// holds. Exit 1 when there is an error, as pack-text and pack-font would then refuse the set. What
// is not given is taken as make takes it: its fonts, glyph height, atlas size and set options.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "checks/translation_checks.h"
#include "checks/work_reports.h"
#include "commands/layout_options.h"

namespace vykcn::tool {

struct CheckCommandOptions {
  std::vector<std::string> files;
  CheckOptions check;
  LayoutSources layout;
  WorkList list = WorkList::kNone;
  bool statistics = false;
};

void AddCheckOptions(CLI::App* command, CheckCommandOptions* options);
int RunCheck(CheckCommandOptions& options);

}  // namespace vykcn::tool
