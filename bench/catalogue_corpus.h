#pragma once
// Benchmark corpora from real Chinese text: the machine's zh_CN message catalogues.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "text_sources/text_entry.h"

namespace vykcn::bench {

// Usable entries of every .mo catalogue in `directory` (turned into PO by msgunfmt and read by the
// tool's PO reader), in file order, each host text once, with valid UTF-8 translations whose
// hashes are distinct and no longer than `maxTranslation` bytes, until their translation image
// would exceed `imageLimit` bytes or `maxRecords` records.
std::vector<tool::TextEntry> CatalogueEntries(const std::string& directory, size_t imageLimit,
                                              size_t maxRecords = SIZE_MAX,
                                              size_t maxTranslation = SIZE_MAX);

// A full game's script of `records` lines, built deterministically from the catalogues' lines of
// at most `maxTranslation` bytes: every such line first, then new lines made by joining the start of
// one line with the end of another picked at random (cut on character boundaries), so that the
// script is as long as a game's and compresses like its text.
// Host texts are distinct, and so are their hashes.
std::vector<tool::TextEntry> GameScriptEntries(const std::string& directory, size_t records,
                                               size_t maxTranslation);

}  // namespace vykcn::bench
