#pragma once
// Builds the TranslationImage (u32 record count, then per record: u32 SubtitleHash of the host
// text, the translation's bytes, a 0 byte) from translators' entries.
#include <cstdint>
#include <vector>

#include "text_sources/text_entry.h"

namespace vykcn::tool {

struct TranslationImageBuild {
  std::vector<uint8_t> image;
  size_t records = 0;
  size_t distinctHashes = 0;
  std::vector<size_t> recordEntries;  // for each record, in image order, the index of the entry that made it
};

// Uses the usable entries, in input order; a host text given twice with the same translation
// makes one record. Throws CommandError, naming the places, for: a translation that is not valid
// UTF-8 or holds a NUL; one host text with two different translations; two different host texts
// with the same SubtitleHash and different translations; no usable entry at all.
TranslationImageBuild BuildTranslationImage(const std::vector<TextEntry>& entries);

}  // namespace vykcn::tool
