#include "checks/translation_checks.h"

#include <algorithm>
#include <set>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "checks/entry_checks.h"
#include "checks/glyph_coverage.h"
#include "checks/layout_checks.h"
#include "checks/shown_text_checks.h"
#include "common/command_error.h"
#include "common/file_io.h"
#include "font_building/font_pack.h"
#include "text_sources/text_sources.h"
#include "text_sources/translation_image_builder.h"
#include "translation/subtitle_hash.h"

namespace vykcn::tool {
namespace {

struct Candidate {
  TextEntry* entry;  // its translation may be wrapped in place
  int fileIndex;
  FileSummary* summary;
  bool dropped = false;
};

// One record per hash: the first entry with it; with --later-wins, a later file's translation of
// the same host text replaces the record (and every earlier entry that made or repeated it). An
// entry of another host text with the same hash and another translation is left out here: the
// lookups below tell what that text would show. `wanted` gets, for each host text, the entry whose
// translation it should show by these rules.
void ResolveConflicts(std::vector<Candidate>* candidates, bool laterWins, std::vector<Problem>* findings,
                      std::unordered_map<std::string_view, const TextEntry*>* wanted) {
  std::unordered_map<uint32_t, std::vector<Candidate*>> byHash;  // the entries that give the record
  for (Candidate& candidate : *candidates) {
    const TextEntry& entry = *candidate.entry;
    const uint32_t hash = SubtitleHashBytes(entry.host.data(), entry.host.size());
    std::vector<Candidate*>& holders = byHash[hash];
    if (holders.empty() || holders.front()->entry->translation == entry.translation) {
      holders.push_back(&candidate);  // a new record, or one record serving both
      wanted->emplace(entry.host, &entry);
      continue;
    }
    const auto sameHost = std::find_if(holders.rbegin(), holders.rend(),
                                       [&](const Candidate* holder) { return holder->entry->host == entry.host; });
    candidate.dropped = true;
    if (sameHost == holders.rend()) {
      if (laterWins) (*wanted)[entry.host] = &entry;
      else wanted->emplace(entry.host, &entry);
      ++candidate.summary->sharingHash;
      continue;
    }
    const Candidate& earlier = **sameHost;
    // A file overrides the files before it, never itself: two translations in one file are a slip.
    if (laterWins && earlier.fileIndex != candidate.fileIndex) {
      findings->push_back({candidate.fileIndex, entry.file, entry.line, Severity::kNote,
                           "overrides " + Place(*earlier.entry), note_class::kOverride});
      for (Candidate* holder : holders) {
        holder->dropped = true;
        ++holder->summary->overridden;
      }
      candidate.dropped = false;
      holders.assign(1, &candidate);
      (*wanted)[entry.host] = &entry;
      continue;
    }
    ++candidate.summary->withErrors;
    findings->push_back({candidate.fileIndex, entry.file, entry.line, Severity::kError,
                         "host text " + QuotedText(entry.host) + " has another translation at " + Place(*earlier.entry) +
                             ": " + QuotedText(earlier.entry->translation) + " there, " +
                             QuotedText(entry.translation) + " here"});
  }
}

// The problems a reader met, as findings about the file given `index`-th.
void AddReadProblems(const SourceFile& source, int index, std::vector<Problem>* findings) {
  for (Problem problem : source.problems) {
    problem.fileIndex = index;
    findings->push_back(std::move(problem));
  }
}

// Reads each list of host texts, turning what cannot be read into an error and each problem met
// into a finding.
std::vector<SourceFile> ReadHostTextLists(const std::vector<std::string>& paths, int firstIndex,
                                          std::vector<int>* indices, std::vector<Problem>* findings) {
  std::vector<SourceFile> sources;
  for (size_t i = 0; i < paths.size(); ++i) {
    const int index = firstIndex + static_cast<int>(i);
    try {
      sources.push_back(ReadHostTextFile(paths[i]));
      indices->push_back(index);
    } catch (const CommandError& e) {
      findings->push_back(e.FoundIn(index, paths[i]));
      continue;
    }
    AddReadProblems(sources.back(), index, findings);
  }
  return sources;
}

// One translators' file, read and its entries checked alone.
struct CheckedFile {
  SourceFile source;
  std::vector<Problem> findings;  // the reader's problems, then the entries' own, in file order
  std::vector<bool> passed;       // per entry: used, and free of errors of its own
};

// Throws CommandError when the file cannot be read.
CheckedFile ReadAndCheckFile(const std::string& path, int index) {
  CheckedFile file{ReadTextSourceFile(path), {}, {}};
  AddReadProblems(file.source, index, &file.findings);
  file.passed.reserve(file.source.entries.size());
  for (const TextEntry& entry : file.source.entries) {
    file.passed.push_back(entry.usable && CheckEntry(entry, index, &file.findings));
  }
  return file;
}

}  // namespace

struct FileCheckCache::Files {
  struct Read {
    std::vector<uint8_t> bytes;
    CheckedFile file;
    bool taken = false;  // since the last ForgetUntaken
  };
  std::vector<Read> read;

  // The file read and checked, or taken from a file of the same bytes read before under its name.
  CheckedFile Get(const std::string& path, int index) {
    std::vector<uint8_t> bytes = ReadFileBytes(path);
    for (Read& earlier : read) {
      if (earlier.bytes != bytes) continue;
      earlier.taken = true;
      return Renamed(earlier.file, path, index);
    }
    read.push_back({std::move(bytes), ReadAndCheckFile(path, index), true});
    return read.back().file;
  }

  static CheckedFile Renamed(CheckedFile file, const std::string& path, int index) {
    const std::string before = file.source.path;
    file.source.path = path;
    for (TextEntry& entry : file.source.entries) entry.file = path;
    for (Problem& finding : file.findings) {
      finding.fileIndex = index;
      if (finding.file == before) finding.file = path;
    }
    return file;
  }
};

FileCheckCache::FileCheckCache() : files(std::make_unique<Files>()) {}
FileCheckCache::~FileCheckCache() = default;

void FileCheckCache::ForgetUntaken() {
  std::vector<Files::Read>& read = files->read;
  read.erase(std::remove_if(read.begin(), read.end(), [](const Files::Read& file) { return !file.taken; }), read.end());
  for (Files::Read& file : read) file.taken = false;
}

namespace {

// Every character the host may draw, held against the font.
GlyphCharset CoverGlyphs(const CheckOptions& options, size_t fileCount, const std::vector<ListedText>& listed,
                         const std::vector<Candidate*>& kept,
                         const std::unordered_map<std::string_view, const TextEntry*>& wanted,
                         std::vector<Problem>* findings) {
  std::unordered_set<const TextEntry*> keptEntries;
  for (const Candidate* candidate : kept) keptEntries.insert(candidate->entry);
  GlyphSources sources;
  for (const ListedText& item : listed) {
    const bool translated = wanted.count(item.entry->host) != 0;
    sources.texts.push_back(
        {item.entry, item.fileIndex, translated ? GlyphText::kTranslatedHostText : GlyphText::kDrawnHostText});
    if (keptEntries.count(item.entry) != 0) sources.texts.push_back({item.entry, item.fileIndex, GlyphText::kTranslation});
  }
  sources.extraCharsPath = options.extraCharsPath;
  sources.extraFileIndex = static_cast<int>(fileCount + options.hostTextFiles.size());
  const size_t before = findings->size();
  GlyphCharset charset = CheckGlyphCoverage(options.fonts(), sources, findings);
  for (size_t i = before; i < findings->size(); ++i) (*findings)[i].aboutGlyphs = true;
  return charset;
}

// The glyphs of the set arranged as pack-font arranges them, with the same options: characters no
// font has are reported on their own, and left out here. Glyphs that fit no height are an error,
// as pack-font would refuse them.
std::optional<FontPack> ArrangeGlyphs(const CheckOptions& options, const GlyphCharset& charset,
                                      std::vector<Problem>* findings) {
  try {
    constexpr uint16_t kDelete = 0x7F;  // every table holds it, with the space's metrics
    GlyphCharset drawable;
    {
      const FontChain font(options.fonts());
      for (uint16_t code : charset.codes) {
        if (code == kDelete || font.HasGlyph(code)) drawable.codes.push_back(code);
      }
    }
    FontPackOptions packOptions;
    packOptions.atlas = options.layout.atlas;
    packOptions.glyphHeight = options.layout.glyphHeight;
    return ArrangeFontPack(options.fonts(), drawable, packOptions);
  } catch (const CommandError& e) {
    findings->push_back(e.FoundIn(-1, options.fontPath));
    return std::nullopt;
  }
}

// Wraps and measures the translations with the glyph table given, or the one pack-font would build.
void LayOut(const CheckOptions& options, const std::vector<Candidate*>& kept, CheckedTranslations* result) {
  const std::vector<GlyphRecord>& table = options.layout.table.empty() ? result->font->records : options.layout.table;
  const HostGlyphs glyphs(table, options.layout.hostHeight);
  std::vector<LaidOutText> texts;
  for (Candidate* candidate : kept) texts.push_back({candidate->entry, candidate->fileIndex});
  CheckLayout(options.layout, glyphs, texts, result);
}

}  // namespace

CheckedTranslations CheckTranslations(const std::vector<std::string>& paths, const CheckOptions& options,
                                      FileCheckCache* cache) {
  CheckedTranslations result;
  std::vector<int> indices, listIndices;
  std::vector<SourceFile> sources;
  std::vector<std::vector<bool>> passed;
  for (size_t i = 0; i < paths.size(); ++i) {
    const int index = static_cast<int>(i);
    try {
      CheckedFile file = cache != nullptr ? cache->files->Get(paths[i], index) : ReadAndCheckFile(paths[i], index);
      sources.push_back(std::move(file.source));
      passed.push_back(std::move(file.passed));
      result.findings.insert(result.findings.end(), file.findings.begin(), file.findings.end());
      indices.push_back(index);
    } catch (const CommandError& e) {
      result.findings.push_back(e.FoundIn(index, paths[i]));
    }
  }
  const std::vector<SourceFile> lists =
      ReadHostTextLists(options.hostTextFiles, static_cast<int>(paths.size()), &listIndices, &result.findings);

  result.files.resize(sources.size());
  std::vector<Candidate> candidates;
  std::vector<ListedText> listed;
  for (size_t s = 0; s < sources.size(); ++s) {
    SourceFile& source = sources[s];
    FileSummary& summary = result.files[s];
    summary.path = source.path;
    summary.obsolete = source.obsolete;
    summary.unreadable = source.unreadable;
    summary.entries = source.entries.size() + source.obsolete + source.unreadable;
    for (size_t e = 0; e < source.entries.size(); ++e) {
      TextEntry& entry = source.entries[e];
      listed.push_back({&entry, indices[s]});
      if (entry.translation.empty()) ++summary.untranslated;
      else if (entry.fuzzy) ++summary.fuzzy;
      if (!entry.usable) continue;
      if (passed[s][e]) candidates.push_back({&entry, indices[s], &summary});
      else ++summary.withErrors;
    }
  }
  for (size_t l = 0; l < lists.size(); ++l) {
    for (const TextEntry& entry : lists[l].entries) listed.push_back({&entry, listIndices[l]});
  }
  std::unordered_map<std::string_view, const TextEntry*> wanted;
  ResolveConflicts(&candidates, options.laterWins, &result.findings, &wanted);
  std::vector<Candidate*> kept;
  for (Candidate& candidate : candidates) {
    if (!candidate.dropped) kept.push_back(&candidate);
  }

  const bool measureWithFont = options.layout.requested() && options.layout.table.empty();
  if (!options.fontPath.empty()) {
    const size_t before = result.errors();
    result.glyphs = CoverGlyphs(options, paths.size(), listed, kept, wanted, &result.findings);
    // Not when a font cannot be read: that error is said once.
    const bool readable = !(result.glyphs.codes.empty() && result.errors() > before);
    if ((options.arrangeFont || measureWithFont) && readable) {
      result.font = ArrangeGlyphs(options, result.glyphs, &result.findings);
    }
  }
  // Without a glyph table the lines are not measured; the error that says why is above.
  if (options.layout.requested() && (!measureWithFont || result.font)) LayOut(options, kept, &result);

  for (Candidate* candidate : kept) result.used.push_back(*candidate->entry);
  if (result.used.empty()) {
    result.findings.push_back({-1, "", 0, Severity::kError, "no translated entry in the set: there is nothing to pack"});
  } else {
    TranslationImageBuild build = BuildTranslationImage(result.used);
    result.image = std::move(build.image);
    result.records = build.records;
    std::vector<const TextEntry*> owners;
    std::vector<bool> makesRecord(kept.size());
    for (size_t index : build.recordEntries) {
      owners.push_back(kept[index]->entry);
      makesRecord[index] = true;
    }
    for (size_t i = 0; i < kept.size(); ++i) ++(makesRecord[i] ? kept[i]->summary->records : kept[i]->summary->repeats);
    ShownTextSet shown{&result.image, &owners, &wanted, options.acceptedHashes};
    CheckShownTexts(shown, listed, &result.findings);
  }
  std::unordered_set<std::string> listedOnce;
  for (const SourceFile& list : lists) {
    for (const TextEntry& entry : list.entries) {
      if (wanted.count(entry.host) == 0 && listedOnce.insert(entry.host).second) {
        result.untranslatedHostTexts.push_back(entry);
      }
    }
  }
  ApplyWarningPolicy(options.warnings, &result.findings);
  SortFindings(&result.findings);
  result.sources = std::move(sources);  // moving keeps the entries where the findings' pointers saw them
  return result;
}

}  // namespace vykcn::tool
