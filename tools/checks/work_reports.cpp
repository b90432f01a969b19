#include "checks/work_reports.h"

#include <cstdint>
#include <utility>
#include <vector>

#include "base/utf8.h"

namespace vykcn::tool {
namespace {

std::string Counted(size_t n, const char* one, const char* many) { return std::to_string(n) + " " + (n == 1 ? one : many); }

std::string Statistics(size_t translated, size_t fuzzy, size_t untranslated) {
  return Counted(translated, "translated message", "translated messages") + ", " +
         Counted(fuzzy, "fuzzy translation", "fuzzy translations") + ", " +
         Counted(untranslated, "untranslated message", "untranslated messages") + ".";
}

}  // namespace

bool ParseWorkList(const std::string& text, WorkList* list) {
  if (text == "untranslated") *list = WorkList::kUntranslated;
  else if (text == "fuzzy") *list = WorkList::kFuzzy;
  else if (text == "all") *list = WorkList::kAll;
  else return false;
  return true;
}

std::string EntriesBesideRecords(const FileSummary& summary) {
  const std::pair<size_t, const char*> parts[] = {
      {summary.repeats, "repeating a record"}, {summary.overridden, "overridden"},
      {summary.withErrors, summary.withErrors == 1 ? "with an error" : "with errors"},
      {summary.sharingHash, "sharing a record's hash"}, {summary.fuzzy, "fuzzy"},
      {summary.untranslated, "untranslated"}, {summary.obsolete, "obsolete"}, {summary.unreadable, "unreadable"},
  };
  std::string listed;
  for (const auto& [count, what] : parts) {
    if (count > 0) listed += (listed.empty() ? "" : ", ") + std::to_string(count) + " " + what;
  }
  return listed;
}

FileSummary SummedFiles(const std::vector<FileSummary>& files) {
  FileSummary total;
  for (const FileSummary& file : files) {
    total.entries += file.entries;
    total.records += file.records;
    total.repeats += file.repeats;
    total.overridden += file.overridden;
    total.withErrors += file.withErrors;
    total.sharingHash += file.sharingHash;
    total.fuzzy += file.fuzzy;
    total.untranslated += file.untranslated;
    total.obsolete += file.obsolete;
    total.unreadable += file.unreadable;
  }
  return total;
}

void PrintWorkList(std::FILE* stream, const CheckedTranslations& checked, WorkList list) {
  const bool untranslated = list == WorkList::kUntranslated || list == WorkList::kAll;
  const bool fuzzy = list == WorkList::kFuzzy || list == WorkList::kAll;
  for (const std::shared_ptr<const ReadFile>& file : checked.set.files) {
    for (const TextEntry& entry : file->source.entries) {
      const char* kind = entry.translation.empty() ? (untranslated ? "untranslated" : nullptr)
                         : entry.fuzzy             ? (fuzzy ? "fuzzy" : nullptr)
                                                   : nullptr;
      if (kind != nullptr) {
        std::fprintf(stream, "%s: %s: %s\n", Place(entry).c_str(), kind, QuotedText(entry.host, SIZE_MAX).c_str());
      }
    }
  }
  if (!untranslated) return;
  for (const TextEntry& entry : checked.untranslatedHostTexts) {
    std::fprintf(stream, "%s: untranslated: %s\n", Place(entry).c_str(), QuotedText(entry.host, SIZE_MAX).c_str());
  }
}

size_t DistinctCharacters(const CheckedTranslations& checked) {
  std::vector<bool> seen(0x110000);
  size_t distinct = 0;
  std::vector<uint32_t> codes;
  for (const SetEntry& kept : checked.set.kept) {
    if (!DecodeUtf8(kept.entry->translation, &codes)) continue;
    for (uint32_t c : codes) {
      if (c != '\t' && c != '\n' && !seen[c]) {
        seen[c] = true;
        ++distinct;
      }
    }
  }
  return distinct;
}

void PrintStatistics(std::FILE* stream, const CheckedTranslations& checked) {
  size_t translated = 0, fuzzy = 0, untranslated = 0;
  for (const FileSummary& file : checked.set.summaries) {
    const size_t done = file.entries - file.obsolete - file.unreadable - file.fuzzy - file.untranslated;
    std::fprintf(stream, "%s: %s\n", file.path.c_str(), Statistics(done, file.fuzzy, file.untranslated).c_str());
    translated += done;
    fuzzy += file.fuzzy;
    untranslated += file.untranslated;
  }
  std::fprintf(stream, "set: %s\n", Statistics(translated, fuzzy, untranslated).c_str());
  std::fprintf(stream, "characters: %zu distinct in the translations", DistinctCharacters(checked));
  if (!checked.glyphs.codes.empty()) {
    std::fprintf(stream, "; %zu glyphs with ASCII, the Latin extras and the host texts'", checked.glyphs.codes.size());
  }
  std::fprintf(stream, "\n");
}

}  // namespace vykcn::tool
