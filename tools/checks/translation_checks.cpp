#include "checks/translation_checks.h"

#include <string_view>
#include <unordered_set>

#include "checks/entry_checks.h"
#include "checks/glyph_coverage.h"
#include "checks/layout_checks.h"
#include "checks/precedence_checks.h"
#include "checks/shown_text_checks.h"
#include "common/command_error.h"
#include "font_building/font_pack.h"

namespace vykcn::tool {
namespace {

// Every character the host may draw, held against the font.
GlyphCharset CoverGlyphs(const CheckOptions& options, size_t fileCount, const TranslationSet& set,
                         std::vector<Problem>* findings) {
  std::unordered_set<const TextEntry*> keptEntries;
  for (const SetEntry& kept : set.kept) keptEntries.insert(kept.entry);
  GlyphSources sources;
  for (const SetEntry& item : set.listed) {
    const bool translated = set.wanted.count(item.entry->host) != 0;
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

// The passes that run before the image is written: what the precedence left out, the glyphs, and
// the lines, which wrapping rewrites with the glyph table given or the one pack-font would build.
void CheckBeforeImage(const CheckOptions& options, size_t fileCount, TranslationSet* set, CheckedTranslations* result) {
  result->findings = std::move(set->findings);
  set->findings.clear();
  CheckPrecedence(*set, &result->findings);
  const bool measureWithFont = options.layout.requested() && options.layout.table.empty();
  if (!options.fontPath.empty()) {
    const size_t before = result->errors();
    result->glyphs = CoverGlyphs(options, fileCount, *set, &result->findings);
    // Not when a font cannot be read: that error is said once.
    const bool readable = !(result->glyphs.codes.empty() && result->errors() > before);
    if ((options.arrangeFont || measureWithFont) && readable) {
      result->font = ArrangeGlyphs(options, result->glyphs, &result->findings);
    }
  }
  // Without a glyph table the lines are not measured; the error that says why is above.
  if (!options.layout.requested() || (measureWithFont && !result->font)) return;
  const std::vector<GlyphRecord>& table = options.layout.table.empty() ? result->font->records : options.layout.table;
  CheckLayout(options.layout, HostGlyphs(table, options.layout.hostHeight), set, result);
}

// What the game would show for every listed host text, asked of the module's lookups over the image.
void AskShownTexts(const CheckOptions& options, const TranslationSet& set, std::vector<Problem>* findings) {
  std::vector<const TextEntry*> owners;
  owners.reserve(set.recordEntries.size());
  for (size_t index : set.recordEntries) owners.push_back(set.kept[index].entry);
  std::vector<ListedText> listed;
  listed.reserve(set.listed.size());
  for (const SetEntry& item : set.listed) listed.push_back({item.entry, item.fileIndex});
  const ShownTextSet shown{&set.image, &owners, &set.wanted, options.acceptedHashes};
  CheckShownTexts(shown, listed, findings);
}

}  // namespace

CheckedTranslations CheckTranslations(const std::vector<std::string>& paths, const CheckOptions& options,
                                      FileCheckCache* cache) {
  CheckedTranslations result;
  const SetInputs inputs{paths, options.hostTextFiles, options.laterWins, &CheckEntry};
  result.set = BuildTranslationSet(inputs, cache, [&](TranslationSet* set) {
    CheckBeforeImage(options, paths.size(), set, &result);
  });
  const TranslationSet& set = result.set;
  if (set.kept.empty()) {
    result.findings.push_back({-1, "", 0, Severity::kError, "no translated entry in the set: there is nothing to pack"});
  } else {
    AskShownTexts(options, set, &result.findings);
  }
  std::unordered_set<std::string_view> listedOnce;
  for (const SourceFile& list : set.hostLists) {
    for (const TextEntry& entry : list.entries) {
      if (set.wanted.count(entry.host) == 0 && listedOnce.insert(entry.host).second) {
        result.untranslatedHostTexts.push_back(entry);
      }
    }
  }
  ApplyWarningPolicy(options.warnings, &result.findings);
  SortFindings(&result.findings);
  return result;
}

}  // namespace vykcn::tool
