#pragma once
// Chinese punctuation in a translation, by the common rules of Chinese text: full-width marks
// between Chinese characters, a sentence end that matches the host text's, no line that starts
// with a closing mark, and no doubled mark the host text does not have. Each rule compares the
// translation with what the host text has at the same place: a line may start with the mark the
// host text's line starts with, a list the host text separates with bare commas keeps them. Only
// translations that hold Chinese characters are checked.
#include <cstdint>
#include <vector>

#include "checks/finding.h"
#include "text_sources/text_entry.h"

namespace vykcn::tool {

// A mark as the host text would write it: a full-width form's ASCII ("，" ","), "。" "…" "‥" ".",
// "、" ","; any other character as it is.
uint32_t PlainMark(uint32_t c);

// Adds a warning for each rule the translation breaks (classes half-width, sentence-end,
// line-start, doubled). The translation must be valid UTF-8.
void CheckChinesePunctuation(const TextEntry& entry, int fileIndex, std::vector<Problem>* findings);

}  // namespace vykcn::tool
