#pragma once
// A glyph table read from a file of its own or from a built module's resource 101, checked to be
// one before anything measures or draws with it.
#include <string>
#include <vector>

#include "formats/glyph_table.h"
#include "module_reading/pe_resources.h"

namespace vykcn::tool {

// Throws CommandError naming `what` unless the bytes are whole 24-byte records in ascending code
// order, at least one.
void RequireGlyphTable(const std::vector<uint8_t>& bytes, const std::vector<GlyphRecord>& records,
                       const std::string& what);

// The records of a glyph table file (pack-font's --glyphs output). Throws CommandError.
std::vector<GlyphRecord> ReadGlyphTableFile(const std::string& path);

// The records of a built module's glyph table (resource 101). Throws CommandError.
std::vector<GlyphRecord> ReadModuleGlyphTable(const std::string& dllPath);
// The same, from the module's resources already read.
std::vector<GlyphRecord> ModuleGlyphTable(const std::vector<PeResource>& resources, const std::string& dllPath);

}  // namespace vykcn::tool
