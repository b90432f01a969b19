#pragma once
// The host texts that name the records of a translation image, which hold only their hash.
#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "text_sources/text_entry.h"

namespace vykcn::tool {

// The entries of --source files, in order: .po and .csv files read as pack-text reads them (with
// their translations), .pot files and any others as lists of host texts (text_sources.h's
// ReadHostTextFile). Throws CommandError at a file's first error.
std::vector<TextEntry> ReadSourceTexts(const std::vector<std::string>& files);

class HostTextIndex {
 public:
  explicit HostTextIndex(std::vector<TextEntry> entries);

  // The entry that names the record of `hash` with this translation: of the entries whose host
  // text has the hash, the first with that very translation, else the first. Null when none has
  // it. An empty host text names nothing: the host never shows one, and in a PO file msgid "" is
  // the header.
  const TextEntry* Find(uint32_t hash, const std::string& translation) const;

  const std::vector<TextEntry>& entries() const { return entries_; }

 private:
  std::vector<TextEntry> entries_;
  std::unordered_map<uint32_t, std::vector<size_t>> byHash_;  // entry indices, in order
};

}  // namespace vykcn::tool
