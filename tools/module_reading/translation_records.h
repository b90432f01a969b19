#pragma once
// Reading a TranslationImage back into its records, with every bound checked.
#include <cstddef>
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

// How the records of two images differ, by hash: records only one has, and those whose text changed.
struct RecordChanges {
  size_t added = 0;
  size_t changed = 0;
  size_t removed = 0;
  size_t any() const { return added + changed + removed; }
};

// For two well-formed images of one record per hash, read in place: when their hashes come in the
// same order (an edit that changes texts alone), record by record. `after`'s record count goes to
// `records` when given.
RecordChanges CompareImageRecords(const std::vector<uint8_t>& before, const std::vector<uint8_t>& after,
                                  size_t* records = nullptr);

}  // namespace vykcn::tool
