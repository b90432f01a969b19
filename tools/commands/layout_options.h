#pragma once
// The options that lay translations out in the host's pixels, on check, pack-text, diff and
// preview: the limits, the host's 'M' height, and where the glyph table comes from (a file, a built
// module, or the font and its fallbacks, built as pack-font builds it).
#include <CLI/CLI.hpp>

#include <string>

#include "checks/translation_checks.h"

namespace vykcn::tool {

struct LayoutSources {
  std::string glyphs;  // --glyphs FILE
  std::string dll;     // --dll FILE
};

constexpr int kLowestForcedGlyphHeight = 6;
constexpr int kHighestForcedGlyphHeight = 100;  // beyond it ideographs' offsets leave a record's signed byte

// --glyph-height N, --atlas-size WxH and --face N as pack-font takes them, each refused as it is
// read when it is no such value (so that make can check them before keeping them).
void AddGlyphLayoutOptions(CLI::App* command, int* glyphHeight, AtlasSize* atlas, int* face);

// --font FONT and the glyph layout options above, for a glyph table built as pack-font builds it.
void AddFontOptions(CLI::App* command, CheckOptions* options);

// Without --font, the default fonts (font_building/default_fonts.h): their main font, and their
// fallbacks unless some are given. Throws CommandError, saying where they were looked for, when
// one is missing.
void TakeDefaultFontsUnlessGiven(CheckOptions* options);

// --fallback-font FILE: one file each time it is given, tried in the order given for a character
// the fonts before it lack.
void AddFallbackFontOption(CLI::App* command, std::vector<std::string>* fallbacks);

// --max-width PX, --max-lines N, --host-height PX, --glyphs FILE, --dll FILE; with `wrap`, --wrap PX.
void AddLayoutOptions(CLI::App* command, CheckOptions* options, LayoutSources* sources, bool wrap);

// Reads the glyph table the options name into options->layout.table. Throws CommandError for a
// table that cannot be read, limits without any glyph table to measure with, or fallback fonts
// without a font.
void ResolveLayoutSources(const LayoutSources& sources, CheckOptions* options);

}  // namespace vykcn::tool
