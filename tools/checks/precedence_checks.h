#pragma once
// What the set's precedence decided, as findings: a note for each translation that --later-wins
// let replace an earlier file's, an error for each other translation of a host text that was left out.
#include <vector>

#include "common/problem.h"
#include "translation_set/translation_set.h"

namespace vykcn::tool {

void CheckPrecedence(const TranslationSet& set, std::vector<Problem>* findings);

}  // namespace vykcn::tool
