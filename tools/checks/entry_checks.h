#pragma once
// The checks that look at one entry alone.
#include <vector>

#include "checks/finding.h"
#include "text_sources/text_entry.h"

namespace vykcn::tool {

// Adds the entry's errors and warnings; false when it has an error, and so cannot be used.
bool CheckEntry(const TextEntry& entry, int fileIndex, std::vector<Problem>* findings);

}  // namespace vykcn::tool
