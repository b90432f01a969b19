#include <algorithm>
#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "translation/subtitle_hash.h"
#include "translation_set/set_stages.h"

namespace vykcn::tool {
namespace {

// For each host text of one hash, the candidate whose translation it should show: a small map, as
// a hash has one host text but by chance.
class WantedOfHash {
 public:
  void Clear() { wanted_.clear(); }
  // The first candidate of a host text, unless one is set.
  void Offer(const std::string& host, size_t candidate) {
    if (Find(host) == nullptr) wanted_.push_back({host, candidate});
  }
  void Set(const std::string& host, size_t candidate) {
    if (size_t* found = Find(host)) *found = candidate;
    else wanted_.push_back({host, candidate});
  }
  const std::vector<std::pair<std::string_view, size_t>>& hosts() const { return wanted_; }

 private:
  size_t* Find(const std::string& host) {
    for (auto& [text, candidate] : wanted_) {
      if (text == host) return &candidate;
    }
    return nullptr;
  }
  std::vector<std::pair<std::string_view, size_t>> wanted_;
};

// The decisions about one hash's candidates, taken in input order: only candidates with the same
// hash bear on each other (a host text has one hash), so each hash is settled alone.
void SettleHash(std::vector<Candidate>& all, const uint32_t* indices, size_t count, bool laterWins,
                std::vector<size_t>* holders, std::vector<std::pair<size_t, PrecedenceDecision>>* decisions,
                WantedOfHash* wanted, TranslationSet* set) {
  holders->clear();
  wanted->Clear();
  for (size_t n = 0; n < count; ++n) {
    const size_t i = indices[n];
    Candidate& candidate = all[i];
    const TextEntry& entry = *candidate.at.entry;
    if (holders->empty() || all[holders->front()].at.entry->translation == entry.translation) {
      holders->push_back(i);  // a new record, or one record serving both
      wanted->Offer(entry.host, i);
      continue;
    }
    const auto sameHost = std::find_if(holders->rbegin(), holders->rend(),
                                       [&](size_t holder) { return all[holder].at.entry->host == entry.host; });
    candidate.dropped = true;
    FileSummary& summary = set->summaries[candidate.summary];
    if (sameHost == holders->rend()) {
      if (laterWins) wanted->Set(entry.host, i);
      else wanted->Offer(entry.host, i);
      ++summary.sharingHash;
      continue;
    }
    const Candidate& earlier = all[*sameHost];
    // A file overrides the files before it, never itself: two translations in one file are a slip.
    if (laterWins && earlier.at.fileIndex != candidate.at.fileIndex) {
      decisions->push_back({i, {candidate.at, earlier.at.entry, true}});
      for (size_t holder : *holders) {
        all[holder].dropped = true;
        ++set->summaries[all[holder].summary].overridden;
      }
      candidate.dropped = false;
      holders->assign(1, i);
      wanted->Set(entry.host, i);
      continue;
    }
    ++summary.withErrors;
    decisions->push_back({i, {candidate.at, earlier.at.entry, false}});
  }
  all[holders->front()].makesRecord = true;  // the first of those kept
  for (const auto& [host, candidate] : wanted->hosts()) all[candidate].wanted = true;
}

}  // namespace

void ApplyPrecedence(std::vector<Candidate>* candidates, bool laterWins, TranslationSet* set) {
  std::vector<Candidate>& all = *candidates;
  // The candidates by hash, each hash's in input order: (hash << 32) | index, sorted.
  std::vector<uint64_t> byHash(all.size());
  for (size_t i = 0; i < all.size(); ++i) {
    const TextEntry& entry = *all[i].at.entry;
    all[i].hash = SubtitleHashBytes(entry.host.data(), entry.host.size());
    byHash[i] = (static_cast<uint64_t>(all[i].hash) << 32) | i;
  }
  std::sort(byHash.begin(), byHash.end());
  std::vector<uint32_t> indices;
  std::vector<size_t> holders;
  std::vector<std::pair<size_t, PrecedenceDecision>> decisions;
  WantedOfHash wanted;
  for (size_t start = 0; start < byHash.size();) {
    const uint32_t hash = static_cast<uint32_t>(byHash[start] >> 32);
    indices.clear();
    size_t end = start;
    for (; end < byHash.size() && static_cast<uint32_t>(byHash[end] >> 32) == hash; ++end) {
      indices.push_back(static_cast<uint32_t>(byHash[end]));
    }
    SettleHash(all, indices.data(), indices.size(), laterWins, &holders, &decisions, &wanted, set);
    start = end;
  }
  // The decisions in input order, as the findings about them are listed.
  std::sort(decisions.begin(), decisions.end(),
            [](const auto& a, const auto& b) { return a.first < b.first; });
  for (auto& [index, decision] : decisions) set->decisions.push_back(decision);
  // Made in input order, which reads the host texts where they lie.
  set->wanted.reserve(all.size());
  for (const Candidate& candidate : all) {
    if (candidate.wanted) set->wanted.emplace(candidate.at.entry->host, candidate.at.entry);
    if (!candidate.dropped) set->kept.push_back(candidate.at);
  }
}

}  // namespace vykcn::tool
