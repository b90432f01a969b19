#include "commands/check_options_command.h"

#include <string>
#include <vector>

#include "commands/command_table.h"
#include "common/command_error.h"

namespace vykcn::tool {

void AddCheckOptionsOptions(CLI::App* command, CheckOptionsOptions* options) {
  command->prefix_command();  // every word after the command's name is the other command's
  options->command = command;
}

int RunCheckOptions(CheckOptionsOptions& options) {
  const std::vector<std::string> words = options.command->remaining();
  if (words.empty()) throw CommandError("check-options needs a COMMAND and the options to check");
  CLI::App app;
  // The commands' Run… functions are never called, but they hold what the options are read into:
  // they live until the words are read.
  const std::vector<CommandRun> runs = AddCommands(app);
  CLI::App* command = nullptr;
  try {
    command = app.get_subcommand(words.front());
  } catch (const CLI::OptionNotFound&) {
    throw CommandError("check-options: unknown command '" + words.front() + "'");
  }
  // Only the options are checked: what the command must be given is not asked.
  for (CLI::Option* option : command->get_options()) option->required(false);
  std::vector<std::string> reversed(words.rbegin(), words.rend());  // CLI11 takes the words last first
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    throw CommandError("check-options checks options; vykcn-tool " + words.front() + " --help lists them");
  } catch (const CLI::ParseError& e) {
    throw CommandError(e.what());
  }
  return kExitDone;
}

}  // namespace vykcn::tool
