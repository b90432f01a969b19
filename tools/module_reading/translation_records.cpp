#include "module_reading/translation_records.h"

#include <algorithm>
#include <string_view>
#include <unordered_map>

#include "common/command_error.h"
#include "base/byte_order.h"
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

namespace {

std::vector<ImageRecord> RecordsInPlace(const std::vector<uint8_t>& image) {
  std::vector<ImageRecord> records;
  // Every record takes at least 5 bytes, whatever the count says.
  if (image.size() >= kImageCountSize) records.reserve(std::min<size_t>(ReadU32LE(image.data()), image.size() / 5));
  WalkTranslationImage(image.data(), image.size(), [&records](const ImageRecord& record) { records.push_back(record); });
  return records;
}

}  // namespace

RecordChanges CompareImageRecords(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after,
                                  size_t* records) {
  const std::vector<ImageRecord> old = RecordsInPlace(before), now = RecordsInPlace(after);
  if (records != nullptr) *records = now.size();
  RecordChanges changes;
  const bool sameHashes = old.size() == now.size() &&
                          std::equal(old.begin(), old.end(), now.begin(),
                                     [](const ImageRecord& a, const ImageRecord& b) { return a.hash == b.hash; });
  if (sameHashes) {
    for (size_t i = 0; i < now.size(); ++i) changes.changed += old[i].text != now[i].text;
    return changes;
  }
  std::unordered_map<uint32_t, std::string_view> byHash;
  byHash.reserve(old.size());
  for (const ImageRecord& record : old) byHash[record.hash] = record.text;
  size_t kept = 0;
  for (const ImageRecord& record : now) {
    const auto earlier = byHash.find(record.hash);
    if (earlier == byHash.end()) {
      ++changes.added;
      continue;
    }
    ++kept;
    if (earlier->second != record.text) ++changes.changed;
  }
  changes.removed = byHash.size() - kept;
  return changes;
}

}  // namespace vykcn::tool
