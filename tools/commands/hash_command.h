#pragma once
// vykcn-tool hash: the SubtitleHash under which a host text's translation is stored.
#include <CLI/CLI.hpp>

#include <string>

namespace vykcn::tool {

struct HashOptions {
  std::string text;
  std::string file;
  const CLI::Option* textGiven = nullptr;  // an empty text is a text, and an empty path a path
  const CLI::Option* fileGiven = nullptr;
};

void AddHashOptions(CLI::App* command, HashOptions* options);
int RunHash(HashOptions& options);

}  // namespace vykcn::tool
