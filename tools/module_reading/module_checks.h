#pragma once
// The checks that a built module's resources must pass, one function per resource. Each returns
// the problems it found, as sentences; an empty list means the resource is sound.
#include <set>
#include <string>
#include <vector>

#include "formats/dds_atlas.h"
#include "formats/glyph_table.h"
#include "module_reading/module_translations.h"

namespace vykcn::tool {

// Record size, ascending unique codes, an 'M' to scale by, and whole-texel rectangles inside an
// atlas of `atlas`'s size whose sizes equal the records' width and height.
std::vector<std::string> CheckGlyphTable(const std::vector<uint8_t>& bytes, const std::vector<GlyphRecord>& records,
                                         AtlasSize atlas = AtlasSize());

// Every character of every translation (tab and line feed aside) has a record.
std::vector<std::string> CheckTranslationCoverage(const ModuleTranslations& translations,
                                                  const std::vector<GlyphRecord>& records);

// The manifest asks for the invoker's execution level and no UI access.
std::vector<std::string> CheckManifest(const std::vector<uint8_t>& manifest);

}  // namespace vykcn::tool
