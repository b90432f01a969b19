#include "commands/command_registry.h"

#include <map>

namespace vykcn::tool {
namespace {

std::map<std::string, CommandAdder>& Registry() {
  static std::map<std::string, CommandAdder> registry;
  return registry;
}

}  // namespace

CommandRegistration::CommandRegistration(const char* name, CommandAdder adder) { Registry()[name] = adder; }

void AddRegisteredCommands(CLI::App& app) {
  for (const auto& [name, adder] : Registry()) adder(app);
}

}  // namespace vykcn::tool
