#pragma once
// Reads resource 102 the way the module does (its size header, LZX stream, translation image) and hands
// back its records, or what the module would have reported.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::tool {

struct ModuleTranslations {
  bool loaded = false;
  std::string problem;  // when not loaded: the module's message ("data corrupted", ...)
  uint32_t imageSize = 0;
  std::vector<std::pair<uint32_t, std::string>> records;  // hash and text, in image order
  size_t tableSize = 0;                                    // distinct hashes in the filled table
};

ModuleTranslations DecodeModuleTranslations(const std::vector<uint8_t>& resource);

}  // namespace vykcn::tool
