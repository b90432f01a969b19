#pragma once
// vykcn-tool's subcommands. Each adds itself to the application and sets its own callback;
// a callback that fails throws CommandError, which main turns into a message and exit code 1.
#include <CLI/CLI.hpp>

#include <stdexcept>
#include <string>

namespace vykcn::tool {

struct CommandError : std::runtime_error {
  using std::runtime_error::runtime_error;
};

void AddHashCommand(CLI::App& app);

}  // namespace vykcn::tool
