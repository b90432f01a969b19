// vykcn-tool files PATH...: the translators' files that check, the packers and diff take from these
// arguments, one a line, in the order they take them. make's build takes its TRANSLATIONS folder's
// files from it, so the build and the tool walk a folder alike.
#include <cstdint>
#include <cstdio>
#include <memory>

#include "checks/finding.h"
#include "commands/command_registry.h"
#include "common/path_checks.h"
#include "text_sources/translators_files.h"

namespace vykcn::tool {
namespace {

void AddFilesCommand(CLI::App& app) {
  auto arguments = std::make_shared<std::vector<std::string>>();
  CLI::App* command = app.add_subcommand(
      "files", "List the translators' files that check and the packers take from folders and files, one a line");
  command->add_option("PATH", *arguments, "a folder (its .po and .csv files and its subfolders', in path order), or a file")
      ->required();
  command->callback([arguments] {
    CommandPaths paths;
    paths.inputs = TranslatorsFiles(*arguments, &paths.problems);
    CheckCommandPaths(paths);
    for (const std::string& file : paths.inputs) {
      if (file.find('\n') != std::string::npos) {
        throw CommandError("cannot list a file whose name holds a line feed: " + QuotedText(file, SIZE_MAX));
      }
    }
    for (const std::string& file : paths.inputs) std::printf("%s\n", file.c_str());
  });
}

}  // namespace

VYKCN_TOOL_COMMAND("files", AddFilesCommand);

}  // namespace vykcn::tool
