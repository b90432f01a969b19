#pragma once
// Reading a TranslationImage back into its records, with every bound checked.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::tool {

struct TranslationRecord {
  uint32_t hash;
  std::string text;
};

// Throws CommandError naming `what` when the image is shorter than its count or a record runs
// past its end.
std::vector<TranslationRecord> ReadTranslationRecords(const std::vector<uint8_t>& image, const std::string& what);

}  // namespace vykcn::tool
