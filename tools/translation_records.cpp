#include "translation_records.h"

#include "commands.h"
#include "translation/translation_image.h"

namespace vykcn::tool {

std::vector<TranslationRecord> ReadTranslationRecords(const std::vector<uint8_t>& image, const std::string& what) {
  if (image.size() < kImageCountSize) throw CommandError(what + ": image shorter than its record count");
  const uint32_t count = ReadU32LE(image.data());
  std::vector<TranslationRecord> records;
  size_t cursor = kImageCountSize;
  for (uint32_t i = 0; i < count; ++i) {
    if (image.size() - cursor < kRecordHashSize) {
      throw CommandError(what + ": record " + std::to_string(i) + " of " + std::to_string(count) + " runs past the image end");
    }
    const uint32_t hash = ReadU32LE(image.data() + cursor);
    cursor += kRecordHashSize;
    size_t end = cursor;
    while (end < image.size() && image[end] != 0) ++end;
    if (end == image.size()) {
      throw CommandError(what + ": record " + std::to_string(i) + " of " + std::to_string(count) + " runs past the image end");
    }
    records.push_back({hash, std::string(image.begin() + static_cast<std::ptrdiff_t>(cursor),
                                         image.begin() + static_cast<std::ptrdiff_t>(end))});
    cursor = end + 1;
  }
  return records;
}

}  // namespace vykcn::tool
