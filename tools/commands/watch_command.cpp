#include "commands/watch_command.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>

#include "commands/layout_options.h"
#include "commands/set_options.h"
#include "common/command_error.h"
#include "common/path_checks.h"
#include "live_translations/watch_session.h"
#include "system/files.h"
#include "system/program.h"
#include "text_sources/translators_files.h"

namespace vykcn::tool {
namespace {

constexpr auto kLookInterval = std::chrono::milliseconds(200);
constexpr auto kStopCheckInterval = std::chrono::milliseconds(20);

// Waits one interval between looks, or less when a stop is asked for.
void WaitForNextLook() {
  const auto until = std::chrono::steady_clock::now() + kLookInterval;
  while (!system::StopRequested() && std::chrono::steady_clock::now() < until) {
    std::this_thread::sleep_for(kStopCheckInterval);
  }
}

}  // namespace

int RunWatch(WatchOptions& options) {
  if (system::LookAt(options.folder).kind != system::FileKind::kDirectory) {
    throw CommandError(options.folder + ": not a folder (watch takes the folder of the translators' files)");
  }
  if (system::LookAt(options.gameFolder).kind != system::FileKind::kDirectory) {
    throw CommandError(options.gameFolder + ": not a folder (--into takes the folder of the game's executable)");
  }
  CommandPaths paths;
  paths.inputs = options.check.hostTextFiles;
  paths.inputs.insert(paths.inputs.end(), {options.check.fontPath, options.layout.glyphs, options.layout.dll});
  paths.inputs.insert(paths.inputs.end(), options.check.fallbackFonts.begin(), options.check.fallbackFonts.end());
  CheckCommandPaths(paths);
  CheckOptions check = options.check;
  ResolveLayoutSources(options.layout, &check);

  system::CatchStopRequests();
  WatchSession session(options.folder, options.gameFolder, check, stdout, stderr);
  session.Look();
  int changes = 0;
  while (!system::StopRequested()) {
    if (options.exitAfter >= 0 && changes >= options.exitAfter && !session.WritePending()) break;
    WaitForNextLook();
    if (!system::StopRequested() && session.Look()) ++changes;
  }
  return kExitDone;
}

void AddWatchOptions(CLI::App* command, WatchOptions* options) {
  command->add_option("DIR", options->folder, "the translators' files: a folder, its .po and .csv files and its subfolders'")
      ->required();
  command->add_option("--into", options->gameFolder,
                      "the game's folder (beside its executable): each good set goes to vykcn-live/translations.bin there")
      ->required();
  // For tests and scripts: ends after N changes once the first look is done (0: after the first look).
  command->add_option("--exit-after", options->exitAfter, "end after N changes (0: after the first look)")
      ->check(CLI::NonNegativeNumber)
      ->group("");
  AddSetOptions(command, &options->check);
  AddFontOptions(command, &options->check);
  AddLayoutOptions(command, &options->check, &options->layout, true);
}

}  // namespace vykcn::tool
