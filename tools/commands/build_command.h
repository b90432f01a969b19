#pragma once
// vykcn-tool build: a module for a set of translators' files, made from a built module without a
// compiler: the set's glyph table, translations and atlas, built as pack-font and pack-text build
// them, take the place of the module's own. The same inputs give the same bytes on every platform.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

#include "checks/translation_checks.h"
#include "commands/layout_options.h"

namespace vykcn::tool {

struct BuildOptions {
  std::vector<std::string> sources;  // folders and files
  std::string module;
  std::string output;
  std::string stamp;  // --stamp FILE: what each part was made of
  bool best = false;
  CheckOptions check;
  LayoutSources layout;
};

void AddBuildOptions(CLI::App* command, BuildOptions* options);
int RunBuild(BuildOptions& options);

}  // namespace vykcn::tool
