#include <unordered_map>

#include "translation/subtitle_hash.h"
#include "translation_set/set_stages.h"

namespace vykcn::tool {
namespace {

constexpr size_t kNone = SIZE_MAX;

// The candidates that give one record, as a list threaded through `next`.
struct Holders {
  size_t first = kNone, last = kNone;
};

}  // namespace

void ApplyPrecedence(std::vector<Candidate>* candidates, bool laterWins, TranslationSet* set) {
  std::vector<Candidate>& all = *candidates;
  std::vector<size_t> next(all.size(), kNone);
  std::unordered_map<uint32_t, Holders> byHash;
  byHash.reserve(all.size());
  std::unordered_map<std::string_view, const TextEntry*>& wanted = set->wanted;
  wanted.reserve(all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    Candidate& candidate = all[i];
    const TextEntry& entry = *candidate.at.entry;
    candidate.hash = SubtitleHashBytes(entry.host.data(), entry.host.size());
    Holders& holders = byHash[candidate.hash];
    if (holders.first == kNone || all[holders.first].at.entry->translation == entry.translation) {
      // A new record, or one record serving both.
      (holders.first == kNone ? holders.first : next[holders.last]) = i;
      holders.last = i;
      wanted.emplace(entry.host, &entry);
      continue;
    }
    size_t sameHost = kNone;  // the last holder of this very host text
    for (size_t h = holders.first; h != kNone; h = next[h]) {
      if (all[h].at.entry->host == entry.host) sameHost = h;
    }
    candidate.dropped = true;
    FileSummary& summary = set->summaries[candidate.summary];
    if (sameHost == kNone) {
      if (laterWins) wanted[entry.host] = &entry;
      else wanted.emplace(entry.host, &entry);
      ++summary.sharingHash;
      continue;
    }
    const Candidate& earlier = all[sameHost];
    // A file overrides the files before it, never itself: two translations in one file are a slip.
    if (laterWins && earlier.at.fileIndex != candidate.at.fileIndex) {
      set->decisions.push_back({candidate.at, earlier.at.entry, true});
      for (size_t h = holders.first; h != kNone; h = next[h]) {
        all[h].dropped = true;
        ++set->summaries[all[h].summary].overridden;
      }
      candidate.dropped = false;
      holders.first = holders.last = i;
      wanted[entry.host] = &entry;
      continue;
    }
    ++summary.withErrors;
    set->decisions.push_back({candidate.at, earlier.at.entry, false});
  }
  for (const Candidate& candidate : all) {
    if (!candidate.dropped) set->kept.push_back(candidate.at);
  }
}

}  // namespace vykcn::tool
