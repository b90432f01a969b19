#pragma once
// TranslationImages for tests: well-formed ones from the image writer, and ones whose stored
// record count is set by hand.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "translation/subtitle_hash.h"
#include "formats/translation_image.h"

namespace vykcn::test {

inline std::vector<uint8_t> BuildImage(const std::vector<std::pair<uint32_t, std::string>>& records,
                                       int64_t count = -1) {
  std::vector<ImageRecord> imageRecords;
  for (const auto& [hash, text] : records) imageRecords.push_back({hash, text});
  std::vector<uint8_t> image = WriteTranslationImage(imageRecords);
  if (count >= 0) WriteU32LE(image.data(), static_cast<uint32_t>(count));
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
