#pragma once
// vykcn-tool's subcommands. Each lives in a *_command.cpp file of its own and registers itself with
// VYKCN_TOOL_COMMAND; its callback reports failure by throwing CommandError, which main turns into
// "vykcn-tool: MESSAGE" on stderr and the run's failure status (1, unless the command set another).
#include <CLI/CLI.hpp>

#include <string>

#include "common/command_error.h"

namespace vykcn::tool {

using CommandAdder = void (*)(CLI::App& app);

// Adds every registered subcommand to `app`, in name order.
void AddRegisteredCommands(CLI::App& app);

struct CommandRegistration {
  CommandRegistration(const char* name, CommandAdder adder);
};

}  // namespace vykcn::tool

#define VYKCN_TOOL_COMMAND(name, adder) \
  static const ::vykcn::tool::CommandRegistration kRegistration_##adder(name, adder)
