#pragma once
// vykcn-tool files PATH...: the translators' files that check, the packers and diff take from these
// arguments, one a line, in the order they take them. make's build takes its TRANSLATIONS folder's
// files from it, so the build and the tool walk a folder alike.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace vykcn::tool {

struct FilesOptions {
  std::vector<std::string> arguments;
};

void AddFilesOptions(CLI::App* command, FilesOptions* options);
int RunFiles(FilesOptions& options);

}  // namespace vykcn::tool
