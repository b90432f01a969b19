#pragma once
// vykcn-tool unpack-text: the records of a translation resource as TSV (hash, translation), and
// with --source the host texts joined back in, plus the host texts that have no record. RESOURCE
// may also be a built module, whose resource 102 is read. With -o, the records are written as a
// .po or .csv file that pack-text reads back into the same image.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace vykcn::tool {

struct UnpackTextOptions {
  std::string resource;
  std::vector<std::string> sources;
  std::string output;
  bool force = false;
};

void AddUnpackTextOptions(CLI::App* command, UnpackTextOptions* options);
int RunUnpackText(UnpackTextOptions& options);

}  // namespace vykcn::tool
