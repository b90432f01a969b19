#include "checks/translation_checks.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <set>
#include <unordered_map>

#include "base/utf8.h"
#include "checks/entry_checks.h"
#include "common/code_points.h"
#include "common/command_error.h"
#include "font_building/font_rasterizer.h"
#include "text_sources/text_sources.h"
#include "translation/subtitle_hash.h"

namespace vykcn::tool {
namespace {

// A reader's message "PATH:LINE: text" (or "PATH: text") as a finding at that place.
Finding ReadError(int fileIndex, const std::string& path, const std::string& message) {
  Finding finding{fileIndex, path, 0, Severity::kError, message};
  if (message.compare(0, path.size() + 1, path + ":") != 0) return finding;
  size_t i = path.size() + 1, digits = i;
  while (digits < message.size() && message[digits] >= '0' && message[digits] <= '9') ++digits;
  if (digits > i && message.compare(digits, 2, ": ") == 0) {
    finding.line = std::stoi(message.substr(i, digits - i));
    finding.message = message.substr(digits + 2);
  } else if (message.compare(i, 1, " ") == 0) {
    finding.message = message.substr(i + 1);
  }
  return finding;
}

std::string HashText(uint32_t hash) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(hash));
  return hex;
}

struct Candidate {
  const TextEntry* entry;
  int fileIndex;
  FileSummary* summary;
  bool dropped = false;
};

// One record per hash: the first entry with it, or with --later-wins the one from the last file
// that differs (which takes the place of every earlier entry that made or repeated the record).
void ResolveConflicts(std::vector<Candidate>* candidates, bool laterWins, std::vector<Finding>* findings,
                      size_t* records) {
  std::unordered_map<uint32_t, std::vector<Candidate*>> byHash;  // the entries that give the record
  for (Candidate& candidate : *candidates) {
    const TextEntry& entry = *candidate.entry;
    const uint32_t hash = SubtitleHashBytes(entry.host.data(), entry.host.size());
    std::vector<Candidate*>& holders = byHash[hash];
    if (holders.empty() || holders.front()->entry->translation == entry.translation) {
      holders.push_back(&candidate);  // a new record, or one record serving both
      continue;
    }
    // A file overrides the files before it, never itself: two translations in one file are a slip.
    const bool sameFile = std::any_of(holders.begin(), holders.end(),
                                      [&](const Candidate* holder) { return holder->fileIndex == candidate.fileIndex; });
    if (laterWins && !sameFile) {
      const TextEntry& earlier = *holders.back()->entry;
      findings->push_back({candidate.fileIndex, entry.file, entry.line, Severity::kNote,
                           "overrides " + Place(earlier) +
                               (earlier.host == entry.host ? "" : " (same hash " + HashText(hash) + ")")});
      for (Candidate* holder : holders) {
        holder->dropped = true;
        ++holder->summary->overridden;
      }
      holders.assign(1, &candidate);
      continue;
    }
    const TextEntry& earlier = *(sameFile ? *std::find_if(holders.begin(), holders.end(),
                                                          [&](const Candidate* holder) {
                                                            return holder->fileIndex == candidate.fileIndex;
                                                          })
                                          : holders.front())
                                   ->entry;
    candidate.dropped = true;
    findings->push_back(
        {candidate.fileIndex, entry.file, entry.line, Severity::kError,
         earlier.host == entry.host
             ? "host text " + QuotedText(entry.host) + " has another translation at " + Place(earlier) + ": " +
                   QuotedText(earlier.translation) + " there, " + QuotedText(entry.translation) + " here"
             : "host text " + QuotedText(entry.host) + " shares the hash " + HashText(hash) + " with " +
                   QuotedText(earlier.host) + " at " + Place(earlier) + ", which has another translation"});
  }
  *records = byHash.size();
}

// Characters of the used translations that the font has no glyph for, each once at its first place.
void CheckFontCoverage(const std::string& fontPath, const std::vector<Candidate>& candidates,
                       std::vector<Finding>* findings) {
  std::unique_ptr<FontRasterizer> font;
  try {
    font = std::make_unique<FontRasterizer>(fontPath);
  } catch (const CommandError& e) {
    findings->push_back({-1, fontPath, 0, Severity::kError, e.what()});
    return;
  }
  std::set<uint32_t> seen;
  std::string missingBase;
  size_t missing = 0;
  for (uint32_t c = 0x20; c < 0x7F; ++c) {
    seen.insert(c);
    if (!font->HasGlyph(c)) {
      missingBase += (missing++ == 0 ? "" : " ") + FormatCodePoint(c);
    }
  }
  if (missing > 0) {
    findings->push_back({-1, fontPath, 0, Severity::kError,
                         "the font lacks " + std::to_string(missing) + " characters: " + missingBase +
                             " (every glyph table holds U+0020 to U+007E)"});
  }
  for (const Candidate& candidate : candidates) {
    if (candidate.dropped) continue;
    const std::string& text = candidate.entry->translation;
    uint32_t c = 0;
    size_t at = 0;
    while (at < text.size()) {
      const size_t start = at;
      if (!DecodeUtf8Char(text, &at, &c)) break;
      if (c == '\t' || c == '\n' || c == 0x7F || !seen.insert(c).second || font->HasGlyph(c)) continue;
      findings->push_back({candidate.fileIndex, candidate.entry->file, candidate.entry->line, Severity::kError,
                           "the font lacks " + FormatCodePoint(c) + " " + text.substr(start, at - start)});
    }
  }
}

}  // namespace

CheckedTranslations CheckTranslations(const std::vector<std::string>& paths, const CheckOptions& options) {
  CheckedTranslations result;
  std::vector<SourceFile> sources;
  std::vector<int> indices;
  for (size_t i = 0; i < paths.size(); ++i) {
    try {
      sources.push_back(ReadTextSourceFile(paths[i]));
      indices.push_back(static_cast<int>(i));
    } catch (const CommandError& e) {
      result.findings.push_back(ReadError(static_cast<int>(i), paths[i], e.what()));
    }
  }

  result.files.resize(sources.size());
  std::vector<Candidate> candidates;
  for (size_t s = 0; s < sources.size(); ++s) {
    const SourceFile& source = sources[s];
    FileSummary& summary = result.files[s];
    summary.path = source.path;
    summary.obsolete = source.obsolete;
    summary.entries = source.entries.size() + source.obsolete;
    for (const TextEntry& entry : source.entries) {
      if (entry.translation.empty()) ++summary.untranslated;
      else if (entry.fuzzy) ++summary.fuzzy;
      if (!entry.usable) continue;
      summary.plural += entry.plural ? 1 : 0;
      summary.withContext += entry.hasContext ? 1 : 0;
      if (CheckEntry(entry, indices[s], &result.findings)) candidates.push_back({&entry, indices[s], &summary});
    }
  }
  ResolveConflicts(&candidates, options.laterWins, &result.findings, &result.records);
  if (!options.fontPath.empty()) CheckFontCoverage(options.fontPath, candidates, &result.findings);

  for (const Candidate& candidate : candidates) {
    if (candidate.dropped) continue;
    result.used.push_back(*candidate.entry);
    ++candidate.summary->used;
  }
  SortFindings(&result.findings);
  return result;
}

}  // namespace vykcn::tool
