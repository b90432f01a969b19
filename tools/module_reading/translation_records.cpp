#include "module_reading/translation_records.h"

#include <string_view>
#include <unordered_map>

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

RecordChanges CompareRecords(const std::vector<TranslationRecord>& before, const std::vector<TranslationRecord>& after) {
  std::unordered_map<uint32_t, std::string_view> old;
  old.reserve(before.size());
  for (const TranslationRecord& record : before) old[record.hash] = record.text;
  RecordChanges changes;
  size_t kept = 0;
  for (const TranslationRecord& record : after) {
    const auto earlier = old.find(record.hash);
    if (earlier == old.end()) {
      ++changes.added;
      continue;
    }
    ++kept;
    if (earlier->second != record.text) ++changes.changed;
  }
  changes.removed = old.size() - kept;
  return changes;
}

}  // namespace vykcn::tool
