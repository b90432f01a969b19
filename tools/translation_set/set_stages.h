#pragma once
// The stages of BuildTranslationSet, in their order; each fills its part of the set.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "translation_set/translation_set.h"

namespace vykcn::tool {

// An entry that may make a record: translated, usable and free of errors of its own.
struct Candidate {
  SetEntry at;
  uint32_t hash;     // of its host text
  size_t summary;    // its file's, in TranslationSet::summaries
  bool dropped = false;
  bool wanted = false;       // the entry whose translation its host text should show
  bool makesRecord = false;  // the first kept entry of its hash: its record's, which the others repeat
};

// Reads every translators' file (through the cache when given) and every list of host texts:
// fills the files, their summaries' counts of what reading found, the findings and the listed
// texts, and gives the entries that may make a record, in input order.
std::vector<Candidate> ReadSetFiles(const SetInputs& inputs, FileCheckCache* cache, TranslationSet* set);

// One record per hash: the first entry with it; with --later-wins, a later file's translation of
// the same host text replaces the record (and every earlier entry that made or repeated it). An
// entry of another host text with the same hash and another translation is left out here: the
// checks of what the game shows tell what that text would show. Fills the kept entries, the
// decisions, the wanted translations and the summaries' counts of what was left out.
void ApplyPrecedence(std::vector<Candidate>* candidates, bool laterWins, TranslationSet* set);

}  // namespace vykcn::tool
