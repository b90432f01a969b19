#pragma once
// vykcn-tool diff: what changed between two builds, record by record as the module sees them (by
// hash), and between two modules also glyph by glyph and in the atlas. Exits as diff does: 0 the
// same, 1 different, 2 trouble.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "checks/translation_checks.h"
#include "commands/layout_options.h"

namespace vykcn::tool {

// Every failure of diff, usage errors included, says 2: 1 says "different".
constexpr int kDiffTrouble = 2;

struct DiffOptions {
  std::string before;
  std::string after;
  std::vector<std::string> sources;
  CheckOptions check;
  LayoutSources layout;
};

void AddDiffOptions(CLI::App* command, DiffOptions* options);
int RunDiff(DiffOptions& options);

}  // namespace vykcn::tool
