#pragma once
// vykcn-tool's commands, in one table (command_table.cpp), as git's commands[]: each entry names
// the command, says in one line what it does, and names the function that adds its options and
// the Run… function that does its work. main reads the table; nothing registers itself.
//
// A command's options are read into its own Options struct; its Run… function returns the exit
// status (0: done as asked) and reports failure by throwing CommandError, which main turns into
// "vykcn-tool: MESSAGE" on stderr and the command's failure status.
#include <CLI/CLI.hpp>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "common/command_error.h"

namespace vykcn::tool {

// A command's Run… function bound to the options its words are read into.
using CommandRun = std::function<int()>;

struct Command {
  const char* name;
  const char* summary;
  // Adds the command's options to its subcommand and binds them to its Run… function
  // (CommandOf<AddOptions, Run>).
  CommandRun (*add)(CLI::App& command);
  // The exit status of any failure, usage errors and write errors on standard output included.
  // diff's answer is itself a status (0 the same, 1 different), so its failures say 2.
  int failureStatus = kExitFailure;
};

// The entry named `name`, or nullptr.
const Command* FindCommand(const std::string& name);

// Adds every command of the table to `app` as a subcommand; returns their Run… functions, in the
// table's order. They own what the options are read into: keep them while `app` parses.
[[nodiscard]] std::vector<CommandRun> AddCommands(CLI::App& app);

namespace command_binding {
template <typename Run>
struct OptionsOf;
template <typename Options>
struct OptionsOf<int (*)(Options&)> {
  using type = Options;
};
}  // namespace command_binding

// The options' builder and the Run… function of one command, bound: its options live as long as
// the returned function.
template <auto AddOptions, auto Run>
CommandRun CommandOf(CLI::App& command) {
  using Options = typename command_binding::OptionsOf<decltype(Run)>::type;
  auto options = std::make_shared<Options>();
  AddOptions(&command, options.get());
  return [options] { return Run(*options); };
}

}  // namespace vykcn::tool
