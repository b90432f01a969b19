#pragma once
// vykcn-tool inspect: lists a built module's resources and checks that they work together; with
// --summary, says only what the module carries, in one line.
#include <CLI/CLI.hpp>

#include <string>

namespace vykcn::tool {

struct InspectOptions {
  std::string dll;
  bool summary = false;
};

void AddInspectOptions(CLI::App* command, InspectOptions* options);
int RunInspect(InspectOptions& options);

}  // namespace vykcn::tool
