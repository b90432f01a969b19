#pragma once
// Resource 101 as bytes: GlyphRecord after GlyphRecord, 24 bytes each, little-endian, no header.
#include <cstdint>
#include <vector>

#include "font/glyph_record.h"

namespace vykcn::tool {

std::vector<uint8_t> SerializeGlyphTable(const std::vector<GlyphRecord>& records);

// Reads every whole record; a trailing partial record is ignored, as the module ignores it.
std::vector<GlyphRecord> ParseGlyphTable(const uint8_t* bytes, size_t size);

}  // namespace vykcn::tool
