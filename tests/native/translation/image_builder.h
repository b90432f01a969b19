#pragma once
// Test-side TranslationImage writer: count, then hash + text + NUL per record.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "translation/subtitle_hash.h"
#include "formats/translation_image.h"

namespace vykcn::test {

inline std::vector<uint8_t> BuildImage(const std::vector<std::pair<uint32_t, std::string>>& records,
                                       int64_t count = -1) {
  std::vector<uint8_t> image(4);
  WriteU32LE(image.data(), count < 0 ? static_cast<uint32_t>(records.size()) : static_cast<uint32_t>(count));
  for (const auto& [hash, text] : records) {
    const size_t at = image.size();
    image.resize(at + 4);
    WriteU32LE(image.data() + at, hash);
    image.insert(image.end(), text.begin(), text.end());
    image.push_back(0);
  }
  return image;
}

// Records keyed by the hash of a host text.
inline std::vector<uint8_t> BuildImageFromTexts(
    const std::vector<std::pair<std::string, std::string>>& pairs) {
  std::vector<std::pair<uint32_t, std::string>> records;
  for (const auto& [host, translation] : pairs) records.emplace_back(SubtitleHash(host.c_str()), translation);
  return BuildImage(records);
}

}  // namespace vykcn::test
