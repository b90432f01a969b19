// vykcn-tool: builds, inspects and previews what the vykcn module carries.
#include <cstdio>

#include "commands/command_registry.h"

int main(int argc, char** argv) {
  CLI::App app{"vykcn-tool: build, inspect and preview the vykcn module's resources"};
  app.require_subcommand(1);
  vykcn::tool::AddRegisteredCommands(app);
  try {
    app.parse(argc, argv);
  } catch (const CLI::ParseError& e) {
    return app.exit(e);
  } catch (const vykcn::tool::CommandError& e) {
    std::fprintf(stderr, "vykcn-tool: %s\n", e.what());
    return 1;
  }
  return 0;
}
