#pragma once
// vykcn-tool check-options COMMAND OPTION...: COMMAND's options read exactly as COMMAND reads them
// (the same parser, types and validators), without running it and without asking for the files it
// needs. make checks each of its settings so before it keeps any.
#include <CLI/CLI.hpp>

namespace vykcn::tool {

struct CheckOptionsOptions {
  CLI::App* command = nullptr;  // every word after its name is the other command's
};

void AddCheckOptionsOptions(CLI::App* command, CheckOptionsOptions* options);
int RunCheckOptions(CheckOptionsOptions& options);

}  // namespace vykcn::tool
