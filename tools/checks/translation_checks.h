#pragma once
// Every check on a set of translators' files, run to the end over the set they build: what `check`
// reports and what pack-text and pack-font refuse to build from. Errors are what the module could not use as
// written (conflicts, texts it cannot draw or look up, a host text that would show another's
// translation); warnings are what is likely a mistake.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "checks/finding.h"
#include "font_building/font_chain.h"
#include "font_building/font_pack.h"
#include "font_building/glyph_charset.h"
#include "formats/dds_atlas.h"
#include "formats/glyph_table.h"
#include "text_sources/text_entry.h"
#include "translation_set/file_check_cache.h"
#include "translation_set/translation_set.h"

namespace vykcn::tool {

// Lines in the host's pixels, measured with the glyph records the module hands the host: a line
// feed starts a new line; a line's width is its characters' scaled advances summed.
struct LayoutOptions {
  int maxWidth = 0;     // pixels a line may take; 0: not checked
  int maxLines = 0;     // lines a translation may take; 0: not checked
  int wrapWidth = 0;    // break translations into lines of this width (pack-text --wrap); 0: as written
  int hostHeight = 25;  // the host's 'M' in pixels
  std::vector<GlyphRecord> table;  // the module's glyph table; empty: built from the font as pack-font builds it
  int glyphHeight = 0;             // pack-font's --glyph-height, for a table built from the font
  AtlasSize atlas;                 // pack-font's --atlas-size, likewise
  bool measure = false;            // measure the lines even without a limit, for the widest
  size_t widestCount = 10;         // how many of the widest lines to keep
  bool requested() const { return measure || maxWidth > 0 || maxLines > 0 || wrapWidth > 0; }
};

// One line of a translation as the host lays it out.
struct MeasuredLine {
  std::string place;  // FILE:LINE of the entry
  int line = 0;       // 1-based, within the translation
  int64_t width = 0;  // pixels at the host's 'M' height
  std::string text;
};

struct CheckOptions {
  bool laterWins = false;  // a file named later replaces earlier files' translations of the same host text
  std::string fontPath;    // when set, characters no font of the chain has are errors, and the glyph set is made
  int fontFace = 0;
  std::vector<std::string> fallbackFonts;  // tried in order for a character the font lacks
  std::vector<std::string> hostTextFiles;  // more of the game's host texts (translated or not)
  std::vector<uint32_t> acceptedHashes;    // shared hashes the team accepts: their error becomes a note
  std::string extraCharsPath;              // characters the glyph table must hold beside the texts'
  WarningPolicy warnings;
  LayoutOptions layout;
  bool arrangeFont = false;  // with a font: arrange the glyphs as pack-font would (CheckedTranslations::font)
  FontFiles fonts() const { return {fontPath, fontFace, fallbackFonts}; }
};

struct CheckedTranslations {
  TranslationSet set;             // the files read, the precedence applied, the image built
  std::vector<Problem> findings;  // what reading found (moved out of the set) and every pass's, in file and line order
  std::vector<TextEntry> untranslatedHostTexts;  // --host-texts entries the set has no translation for, each once
  GlyphCharset glyphs;            // with a font: every character the glyph table must hold that the font has
  // With a font, when asked or to measure lines: the glyphs as pack-font arranges them (its records
  // and 'M' height, the atlas not drawn); none when they fit no height (an error says so).
  std::optional<FontPack> font;
  std::vector<MeasuredLine> widest;  // with layout options: the widest lines, widest first
  int64_t widthPercentile99 = 0;     // the width that 99% of the lines do not exceed
  size_t errors() const { return CountFindings(findings, Severity::kError); }
};

// Builds the set (translation_set/translation_set.h), each entry checked alone as it is read, and
// runs every check over it, in order: what the precedence left out, the glyphs the host may draw
// (with a font), the lines laid out (and wrapped, before the image is written), and what the game
// would show for every host text the set lists, asked of the module's own lookups. With a cache,
// the files it holds are taken from it, and those read are added.
CheckedTranslations CheckTranslations(const std::vector<std::string>& paths, const CheckOptions& options,
                                      FileCheckCache* cache = nullptr);

}  // namespace vykcn::tool
