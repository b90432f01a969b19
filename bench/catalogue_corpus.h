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

}  // namespace vykcn::bench
