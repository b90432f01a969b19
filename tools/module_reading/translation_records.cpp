#include "module_reading/translation_records.h"

#include "common/command_error.h"
#include "formats/translation_image.h"

namespace vykcn::tool {

std::vector<TranslationRecord> ReadTranslationRecords(const std::vector<uint8_t>& image, const std::string& what) {
  std::vector<TranslationRecord> records;
  const ImageCheck check = WalkTranslationImage(image.data(), image.size(), [&records](const ImageRecord& record) {
    records.push_back({record.hash, std::string(record.text)});
  });
  if (!check.hasCount) throw CommandError(what + ": image shorter than its record count");
  if (!check.wellFormed) {
    throw CommandError(what + ": record " + std::to_string(check.badRecord) + " of " +
                       std::to_string(check.recordCount) + " runs past the image end");
  }
  return records;
}

}  // namespace vykcn::tool
