#pragma once
// vykcn-tool pack-text: translators' .po/.csv files in, the translation resource out.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "checks/translation_checks.h"
#include "commands/layout_options.h"

namespace vykcn::tool {

struct PackTextOptions {
  std::vector<std::string> files;
  std::string output;
  std::string stamp;
  bool best = false;
  bool store = false;  // stored LZX blocks: fastest, for the test build's reloads
  CheckOptions check;
  LayoutSources layout;
};

void AddPackTextOptions(CLI::App* command, PackTextOptions* options);
int RunPackText(PackTextOptions& options);

}  // namespace vykcn::tool
