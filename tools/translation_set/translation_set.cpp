#include "translation_set/translation_set.h"

#include "formats/translation_image.h"
#include "translation_set/set_stages.h"

namespace vykcn::tool {
namespace {

// The records in input order, each made by the first kept entry of its hash; the others repeat it
// (the precedence left one translation per hash).
void WriteImage(const std::vector<Candidate>& candidates, TranslationSet* set) {
  if (set->kept.empty()) return;
  std::vector<ImageRecord> records;
  records.reserve(set->kept.size());
  size_t k = 0;
  for (const Candidate& candidate : candidates) {
    if (candidate.dropped) continue;
    FileSummary& summary = set->summaries[candidate.summary];
    if (candidate.makesRecord) {
      records.push_back({candidate.hash, set->kept[k].entry->translation});
      set->recordEntries.push_back(k);
      ++summary.records;
    } else {
      ++summary.repeats;
    }
    ++k;
  }
  set->image = WriteTranslationImage(records);
}

}  // namespace

void TranslationSet::Rewrite(size_t keptIndex, std::string translation) {
  const TextEntry* entry = kept[keptIndex].entry;
  auto copy = std::make_unique<TextEntry>(*entry);
  copy->translation = std::move(translation);
  const auto shown = wanted.find(entry->host);
  if (shown != wanted.end() && shown->second == entry) shown->second = copy.get();
  kept[keptIndex].entry = copy.get();
  rewritten.push_back(std::move(copy));
}

TranslationSet BuildTranslationSet(const SetInputs& inputs, FileCheckCache* cache, const BeforeImage& beforeImage) {
  TranslationSet set;
  std::vector<Candidate> candidates = ReadSetFiles(inputs, cache, &set);
  ApplyPrecedence(&candidates, inputs.laterWins, &set);
  if (beforeImage) beforeImage(&set);
  WriteImage(candidates, &set);
  return set;
}

}  // namespace vykcn::tool
