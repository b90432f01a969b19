#include "text_sources/translation_image_builder.h"

#include <cstdio>
#include <string_view>
#include <vector>

#include "base/utf8.h"
#include "common/command_error.h"
#include "formats/translation_image.h"
#include "translation/subtitle_hash.h"

namespace vykcn::tool {

namespace {

std::string Shown(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\t') out += "\\t";
    else if (c == '"') out += "\\\"";
    else if (c == '\\') out += "\\\\";
    else out += c;
  }
  return out + "\"";
}

// The host texts met so far, by their hash: an open-addressed table of the hashes, each leading to
// the first host text that had it and, chained from it, the other host texts that share it. One
// host text is found among those of its hash (equal texts have equal hashes), without a node
// allocated for each.
class HostsByHash {
 public:
  explicit HostsByHash(size_t most) {
    size_t size = 16;
    while (size < most * 2) size *= 2;
    slots_.resize(size);
    mask_ = size - 1;
  }

  // The first entry of the hash, or null for a hash not met; *sameHost gets the first entry of
  // `host` itself, or null.
  const TextEntry* Find(uint32_t hash, const std::string& host, const TextEntry** sameHost) {
    slot_ = Probe(hash);
    *sameHost = nullptr;
    if (slots_[slot_].first == 0) return nullptr;
    for (uint32_t at = slots_[slot_].first; at != 0; at = next_[at - 1]) {
      if (hosts_[at - 1]->host == host) {
        *sameHost = hosts_[at - 1];
        break;
      }
    }
    return hosts_[slots_[slot_].first - 1];
  }

  // Adds a host text not found by the Find just before, for the hash given there.
  void Add(uint32_t hash, const TextEntry* entry) {
    hosts_.push_back(entry);
    next_.push_back(0);
    const auto added = static_cast<uint32_t>(hosts_.size());
    Slot& slot = slots_[slot_];
    if (slot.first == 0) {
      slot = {hash, added};
      ++hashes_;
      return;
    }
    uint32_t last = slot.first;
    while (next_[last - 1] != 0) last = next_[last - 1];
    next_[last - 1] = added;
  }

  size_t hashes() const { return hashes_; }

 private:
  struct Slot {
    uint32_t hash = 0;
    uint32_t first = 0;  // 1 + the index in hosts_ of the hash's first host text; 0: free
  };

  size_t Probe(uint32_t hash) const {
    size_t at = (hash * 2654435769u) & mask_;
    while (slots_[at].first != 0 && slots_[at].hash != hash) at = (at + 1) & mask_;
    return at;
  }

  std::vector<Slot> slots_;
  size_t mask_ = 0;
  size_t slot_ = 0;  // the slot the last Find probed to
  std::vector<const TextEntry*> hosts_;  // into the entries, which outlive the table
  std::vector<uint32_t> next_;           // for each of hosts_, 1 + the index of the next with its hash
  size_t hashes_ = 0;
};

}  // namespace

TranslationImageBuild BuildTranslationImage(const std::vector<TextEntry>& entries) {
  std::vector<ImageRecord> imageRecords;
  std::vector<size_t> recordEntries;
  HostsByHash seen(entries.size());

  for (const TextEntry& entry : entries) {
    if (!entry.usable) continue;
    if (entry.translation.find('\0') != std::string::npos) {
      throw CommandError(entry.file, entry.line, "the translation contains a NUL byte");
    }
    if (!IsValidUtf8(entry.translation)) {
      throw CommandError(entry.file, entry.line, "the translation is not valid UTF-8");
    }
    const uint32_t hash = SubtitleHashBytes(entry.host.data(), entry.host.size());
    const TextEntry* host = nullptr;
    const TextEntry* sameHash = seen.Find(hash, entry.host, &host);
    if (host != nullptr) {
      if (host->translation != entry.translation) {
        throw CommandError(entry.file, entry.line, "host text " + Shown(entry.host) + " has two different translations: " +
                           Shown(host->translation) + " at " + Place(*host) + " and " +
                           Shown(entry.translation) + " here");
      }
      continue;  // the same pair again: one record
    }
    seen.Add(hash, &entry);
    if (sameHash != nullptr) {
      if (sameHash->translation != entry.translation) {
        char hex[16];
        std::snprintf(hex, sizeof(hex), "0x%08X", static_cast<unsigned>(hash));
        throw CommandError(entry.file, entry.line, "host texts " + Shown(sameHash->host) + " (" +
                           Place(*sameHash) + ") and " + Shown(entry.host) + " (here) share the hash " + hex +
                           " but have different translations: " + Shown(sameHash->translation) + " and " +
                           Shown(entry.translation));
      }
      continue;  // both host texts get this one record
    }
    imageRecords.push_back({hash, entry.translation});
    recordEntries.push_back(static_cast<size_t>(&entry - entries.data()));
  }
  if (imageRecords.empty()) throw CommandError("empty input: no translated entries");

  TranslationImageBuild build;
  build.image = WriteTranslationImage(imageRecords);
  build.records = imageRecords.size();
  build.distinctHashes = seen.hashes();
  build.recordEntries = std::move(recordEntries);
  return build;
}

}  // namespace vykcn::tool
