#pragma once
// Every character the host may draw needs a glyph. The module's glyph table replaces the host's
// whole font, so it must hold the translations' characters and also those of the host texts that
// stay untranslated (the game draws them with it too), printable ASCII, the characters of an
// extra file, and the Latin extras whenever a font of the chain has them.
#include <string>
#include <vector>

#include "checks/finding.h"
#include "font_building/font_chain.h"
#include "font_building/glyph_charset.h"
#include "text_sources/text_entry.h"

namespace vykcn::tool {

struct GlyphText {
  enum Kind {
    kTranslation,         // checked UTF-8 already
    kDrawnHostText,       // a host text without a translation of its own: the game draws it (any bytes)
    kTranslatedHostText,  // never drawn while its translation is found: its characters only where the font has them
  };
  const TextEntry* entry;  // the place
  int fileIndex;
  Kind kind;
};

struct GlyphSources {
  std::vector<GlyphText> texts;  // in the order their places are reported
  std::string extraCharsPath;    // a UTF-8 file of more characters; "" for none
  int extraFileIndex = -1;
};

// The characters the glyph table will hold, each from the first font of the chain that has it. An
// error at its first place for each needed character that no font of the chain has, naming the
// fonts tried (a translated host text's characters are not needed), or that an extra file holds
// beyond U+FFFF; a warning for a host text's character beyond U+FFFF, which no glyph record can
// hold; an error for a font that cannot be read (and an empty set).
GlyphCharset CheckGlyphCoverage(const FontFiles& fonts, const GlyphSources& sources, std::vector<Problem>* findings);

}  // namespace vykcn::tool
