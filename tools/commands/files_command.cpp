#include "commands/files_command.h"

#include <cstdint>
#include <cstdio>

#include "checks/finding.h"
#include "common/command_error.h"
#include "common/path_checks.h"
#include "text_sources/translators_files.h"

namespace vykcn::tool {

void AddFilesOptions(CLI::App* command, FilesOptions* options) {
  command->add_option("PATH", options->arguments, "a folder (its .po and .csv files and its subfolders', in path order), or a file")
      ->required();
}

int RunFiles(FilesOptions& options) {
  CommandPaths paths;
  paths.inputs = TranslatorsFiles(options.arguments, &paths.problems);
  CheckCommandPaths(paths);
  for (const std::string& file : paths.inputs) {
    if (file.find('\n') != std::string::npos) {
      throw CommandError("cannot list a file whose name holds a line feed: " + QuotedText(file, SIZE_MAX));
    }
  }
  for (const std::string& file : paths.inputs) std::printf("%s\n", file.c_str());
  return kExitDone;
}

}  // namespace vykcn::tool
