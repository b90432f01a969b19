#pragma once
// Chinese punctuation in a translation, by the common rules of Chinese text: full-width marks
// between Chinese characters, a sentence end that matches the host text's, no line that starts
// with a closing mark, and no doubled mark the host text does not have. Only translations that
// hold Chinese characters are checked.
#include <vector>

#include "checks/finding.h"
#include "text_sources/text_entry.h"

namespace vykcn::tool {

// Adds a warning for each rule the translation breaks (classes half-width, sentence-end,
// line-start, doubled). The translation must be valid UTF-8.
void CheckChinesePunctuation(const TextEntry& entry, int fileIndex, std::vector<Finding>* findings);

}  // namespace vykcn::tool
