#pragma once
// vykcn-tool find: where a line seen in the game comes from. The test build shows each line's hash
// on a key (the hash of the host text whose record it shows, which the fallback may have shortened);
// find names the entries that make that record, or those of a text as the game shows it. Exits as
// grep does: 0 found, 1 not found, 2 trouble.
#include <CLI/CLI.hpp>

#include <string>
#include <vector>

namespace vykcn::tool {

constexpr int kFindTrouble = 2;

struct FindOptions {
  std::vector<std::string> files;
  std::string hash;  // as given, 0xHASH
  std::string text;
  bool byHash = false;  // --hash was given (else --text)
  const CLI::Option* hashGiven = nullptr;
  const CLI::Option* textGiven = nullptr;
};

void AddFindOptions(CLI::App* command, FindOptions* options);
int RunFind(FindOptions& options);

}  // namespace vykcn::tool
