#include "checks/shown_text_checks.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "common/hash_label.h"
#include "formats/translation_image.h"
#include "translation/subtitle_hash.h"
#include "translation/subtitle_translator.h"
#include "translation/translation_table.h"

namespace vykcn::tool {
namespace {

// The table is filled before the first lookup: there is nothing left to load.
class FilledBeforehand : public TableLoader {
 public:
  LoadStatus LoadTranslationTable() noexcept override { return LoadStatus::kLoaded; }
};

// The module's table and lookups over the image, and the way back from a translation the
// lookups hand out to the entry that made its record.
class ModuleLookups {
 public:
  explicit ModuleLookups(const ShownTextSet& set) : owners_(*set.recordOwners), translator_(table_, loader_) {
    const std::vector<uint8_t>& image = *set.image;
    table_.FillFromImage(image.data(), image.size());
    WalkTranslationImage(image.data(), image.size(),
                         [this](const ImageRecord& record) { textStarts_.push_back(record.text.data()); });
  }

  // What the export hands back for `text`: a translation, or null when it hands back the text itself.
  const char* Export(const std::string& text) {
    const char* result = translator_.ReplaceSubtitle(text.c_str());
    return result == text.c_str() ? nullptr : result;
  }

  // What the subtitle site leaves in the host's pointer (a translation, or null when it leaves the
  // text), and the lookups it made on the way.
  const char* SubtitleSite(const std::string& text, SubtitleSiteTrace* trace) {
    const char* slot = text.c_str();
    translator_.TraceSubtitlePointer(&slot, trace);
    return slot == text.c_str() ? nullptr : slot;
  }

  // The entry that made the record of a translation the lookups handed out.
  const TextEntry* Owner(const char* translation) const {
    const auto at = std::lower_bound(textStarts_.begin(), textStarts_.end(), translation);
    if (at == textStarts_.end() || *at != translation) return nullptr;
    return owners_[static_cast<size_t>(at - textStarts_.begin())];
  }

  // "TEXT" (the translation of "HOST" at PLACE), for a translation the lookups handed out.
  std::string Describe(const char* translation) const {
    const TextEntry* owner = Owner(translation);
    std::string described = QuotedText(translation);
    if (owner == nullptr) return described;
    return described + " (the translation of " + QuotedText(owner->host) + " at " + Place(*owner) + ")";
  }

 private:
  const std::vector<const TextEntry*>& owners_;
  TranslationTable table_;
  FilledBeforehand loader_;
  SubtitleTranslator translator_;
  std::vector<const char*> textStarts_;  // each record's text, in image order
};

// The bytes that the fallback lookup `i` of a trace hashed, as a message names them.
std::string FallbackBytes(const SubtitleSiteTrace& trace, int i, const ModuleLookups& lookups) {
  const SubtitleLookup& lookup = trace.lookups[i];
  const std::string bytes = QuotedText(std::string(lookup.bytes, lookup.length));
  if (i == 1) return "the text without its last byte, " + bytes;
  if (trace.lookups[1].found == nullptr) return "the text without its last two bytes, " + bytes;
  return "the translation it found for the text without its last byte, " + lookups.Describe(trace.lookups[1].found) +
         ", without its last two bytes, " + bytes;
}

}  // namespace

// A text as it would match if the host's bytes and the team's differed only in white space at the
// end, or in a line feed written as a space (or CR LF as LF).
std::string NearForm(const std::string& text) {
  std::string near;
  for (char c : text) {
    if (c != '\r') near += c == '\n' ? ' ' : c;
  }
  while (!near.empty() && (near.back() == ' ' || near.back() == '\t')) near.pop_back();
  return near;
}

void CheckShownTexts(const ShownTextSet& set, const std::vector<ListedText>& listed, std::vector<Problem>* findings) {
  ModuleLookups lookups(set);
  // Made when first needed: most sets list no text that is left untranslated.
  std::unordered_map<std::string, const TextEntry*> translatedNear;
  const auto nearTranslation = [&](const std::string& host) -> const TextEntry* {
    if (translatedNear.empty()) {
      for (const auto& [text, entry] : *set.wanted) {
        const auto [at, added] = translatedNear.emplace(NearForm(std::string(text)), entry);
        // Of two translated texts with one near form, the one named is the same in every run.
        if (!added && Place(*entry) < Place(*at->second)) at->second = entry;
      }
    }
    const auto near = translatedNear.find(NearForm(host));
    return near == translatedNear.end() ? nullptr : near->second;
  };
  std::set<uint32_t> acceptedAndShared;
  std::unordered_set<std::string_view> asked;  // each host text once, at its first place
  asked.reserve(listed.size());
  for (const ListedText& item : listed) {
    const TextEntry& entry = *item.entry;
    const std::string& host = entry.host;
    if (!asked.insert(host).second) continue;
    const auto add = [&](Severity severity, const std::string& message, const char* category = "") {
      findings->push_back(
          {item.fileIndex, entry.file, entry.line, severity, "host text " + QuotedText(host) + message, category});
    };
    const auto wanted = set.wanted->find(host);
    const TextEntry* own = wanted == set.wanted->end() ? nullptr : wanted->second;

    // The whole text's hash: the export and the subtitle site agree on it.
    const char* shown = lookups.Export(host);
    const bool right = own != nullptr ? shown != nullptr && own->translation == shown : shown == nullptr;
    if (!right) {
      const uint32_t hash = SubtitleHashBytes(host.data(), host.size());
      const std::string what = shown == nullptr ? "it untranslated" : lookups.Describe(shown);
      if (std::find(set.acceptedHashes.begin(), set.acceptedHashes.end(), hash) != set.acceptedHashes.end()) {
        acceptedAndShared.insert(hash);
        add(Severity::kNote, " shares the accepted hash " + HashLabel(hash) + ": the game shows " + what,
            note_class::kSharedHash);
        continue;
      }
      add(Severity::kError,
          std::string(own == nullptr ? " has no translation but" : "") + " shares the hash " + HashLabel(hash) +
              ": the game would show " + what + (own != nullptr ? ", not " + QuotedText(own->translation) : "") +
              " (--accept-shared-hash " + HashLabel(hash) + " if every text with that hash may show it)");
      continue;
    }
    if (own != nullptr) continue;

    // Without a translation of its own, the subtitle site tries shortened forms of the text.
    SubtitleSiteTrace trace;
    const char* site = lookups.SubtitleSite(host, &trace);
    if (site == nullptr) {
      if (const TextEntry* near = nearTranslation(host)) {
        add(Severity::kWarning, " has no translation; " + QuotedText(near->host) + " at " + Place(*near) +
                                    " has one, and differs from it only in white space at the end or a line feed",
            warning_class::kNearMatch);
      }
      continue;
    }
    // A fallback lookup that found a record is a prefix match when the bytes it looked up are a host
    // text whose translation that is; else only their hash led it there, to another line.
    bool sharedHash = false;
    for (int i = 1; i < trace.count; ++i) {
      const SubtitleLookup& lookup = trace.lookups[i];
      if (lookup.found == nullptr) continue;
      const auto match = set.wanted->find(std::string_view(lookup.bytes, lookup.length));
      if (match != set.wanted->end() && match->second->translation == lookup.found) continue;
      sharedHash = true;
      const TextEntry* owner = lookups.Owner(lookup.found);
      const std::string with = owner == nullptr ? "" : " with " + QuotedText(owner->host) + " at " + Place(*owner);
      const std::string seen = site == lookup.found ? QuotedText(site) + ", its translation" : lookups.Describe(site);
      const std::string looked = " has no translation: at the subtitle site the fallback looks up " +
                                 FallbackBytes(trace, i, lookups) + ", which";
      const std::string hash = HashLabel(lookup.hash);
      if (std::find(set.acceptedHashes.begin(), set.acceptedHashes.end(), lookup.hash) != set.acceptedHashes.end()) {
        acceptedAndShared.insert(lookup.hash);
        add(Severity::kNote, looked + " shares the accepted hash " + hash + with + ": the game shows " + seen,
            note_class::kSharedHash);
      } else {
        add(Severity::kError, looked + " only shares the hash " + hash + with + ": the game would show " + seen +
                                  " (--accept-shared-hash " + hash + " if every text with that hash may show it)");
      }
    }
    if (sharedHash) continue;
    const char* withoutLast = trace.lookups[1].found;
    const char* replaced = trace.count > 2 && withoutLast != nullptr ? trace.lookups[2].found : nullptr;
    if (withoutLast == nullptr) {
      add(Severity::kWarning, " has no translation: at the subtitle site the game would show " + lookups.Describe(site) +
                                  ", found for the text without its last two bytes", warning_class::kFallback);
    } else if (replaced == nullptr || replaced == withoutLast) {
      add(Severity::kWarning, " has no translation: at the subtitle site the game would show " + lookups.Describe(site) +
                                  ", found for the text without its last byte", warning_class::kFallback);
    } else {
      add(Severity::kWarning, " has no translation: at the subtitle site the fallback finds " +
                                  lookups.Describe(withoutLast) +
                                  " for the text without its last byte, then replaces it by " + lookups.Describe(site) +
                                  ", which the game would show", warning_class::kFallback);
    }
  }
  for (uint32_t hash : set.acceptedHashes) {
    if (acceptedAndShared.count(hash) == 0) {
      findings->push_back({-1, "", 0, Severity::kWarning,
                           "--accept-shared-hash " + HashLabel(hash) + ": no two host texts of the set share it",
                           warning_class::kAcceptedHash});
    }
  }
}

}  // namespace vykcn::tool
