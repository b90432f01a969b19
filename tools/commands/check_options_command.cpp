// vykcn-tool check-options COMMAND OPTION...: COMMAND's options read exactly as COMMAND reads them
// (the same parser, types and validators), without running it and without asking for the files it
// needs. make checks each of its settings so before it keeps any.
#include <memory>
#include <string>
#include <vector>

#include "commands/command_registry.h"

namespace vykcn::tool {
namespace {

void CheckOptionsOf(const std::vector<std::string>& words) {
  if (words.empty()) throw CommandError("check-options needs a COMMAND and the options to check");
  CLI::App app;
  AddRegisteredCommands(app);
  CLI::App* command = nullptr;
  try {
    command = app.get_subcommand(words.front());
  } catch (const CLI::OptionNotFound&) {
    throw CommandError("check-options: unknown command '" + words.front() + "'");
  }
  // Only the options are checked: what the command must be given is not asked, and once every
  // option is read (before the command would run) its work is dropped. Not sooner: the work holds
  // what the options are read into.
  for (CLI::Option* option : command->get_options()) option->required(false);
  app.parse_complete_callback([command] { command->callback(std::function<void()>()); });
  std::vector<std::string> reversed(words.rbegin(), words.rend());  // CLI11 takes the words last first
  try {
    app.parse(reversed);
  } catch (const CLI::CallForHelp&) {
    throw CommandError("check-options checks options; vykcn-tool " + words.front() + " --help lists them");
  } catch (const CLI::ParseError& e) {
    throw CommandError(e.what());
  }
}

void AddCheckOptionsCommand(CLI::App& app) {
  CLI::App* command = app.add_subcommand(
      "check-options",
      "Check a command's options as it reads them, without running it: vykcn-tool check-options pack-text --wrap "
      "600 (exit 0 when they are valid)");
  command->prefix_command();  // every word after the command's name is the other command's
  command->callback([command] { CheckOptionsOf(command->remaining()); });
}

}  // namespace

VYKCN_TOOL_COMMAND("check-options", AddCheckOptionsCommand);

}  // namespace vykcn::tool
