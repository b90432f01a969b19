#pragma once
// vykcn-tool watch: a folder of translators' files kept in the test build's reach. Each change is
// checked as pack-text checks it and, when the set has no error, stored into the game folder's
// vykcn-live/translations.bin, which the test build reloads within a second. Runs until stopped.
#include <CLI/CLI.hpp>

#include <string>

#include "checks/translation_checks.h"
#include "commands/layout_options.h"

namespace vykcn::tool {

struct WatchOptions {
  std::string folder;
  std::string gameFolder;
  int exitAfter = -1;  // changes after the first look; -1: until stopped
  CheckOptions check;
  LayoutSources layout;
};

void AddWatchOptions(CLI::App* command, WatchOptions* options);
int RunWatch(WatchOptions& options);

}  // namespace vykcn::tool
