#pragma once
// What the game will show for each host text that a set lists, asked of the module's own lookups
// (the export, and the subtitle site's pointer swap with its prefix fallback) over the very image
// that pack-text writes. The module keys on a 32-bit hash alone, so a host text can show the
// translation of another host text that shares its hash, or that its fallback finds; only running
// the lookups tells.
#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "checks/finding.h"
#include "text_sources/text_entry.h"

namespace vykcn::tool {

struct ListedText {
  const TextEntry* entry;  // its host text and place
  int fileIndex;
};

struct ShownTextSet {
  const std::vector<uint8_t>* image;                // a well-formed translation image
  const std::vector<const TextEntry*>* recordOwners;  // the entry that made each record, in image order
  // For each host text that has a translation, the entry whose translation it should show.
  const std::unordered_map<std::string_view, const TextEntry*>* wanted;
  std::vector<uint32_t> acceptedHashes;
};

// Errors for a host text that would show a translation other than its own (or any translation,
// when it has none) through a shared hash: notes when the hash is accepted. For a host text without
// a translation of its own, each lookup of the subtitle site's fallback (either pass, as the module
// runs them) that finds a record: a warning when the bytes looked up are that record's host text (a
// prefix match), an error like the above when they only share its hash (a note when accepted). A
// warning for an accepted hash that no two listed host texts share.
void CheckShownTexts(const ShownTextSet& set, const std::vector<ListedText>& listed, std::vector<Problem>* findings);

}  // namespace vykcn::tool
