#pragma once
// The module's process-wide state and the entry points the hooks call into.
#include <cstdint>

#include "font/glyph_record.h"

namespace vykcn {

// Called from the glyph hook with the addresses of the host font's glyph-array and count fields.
void ReplaceGlyphTable(GlyphRecord** glyphArraySlot, uint32_t* glyphCountSlot);
// Frees every glyph array handed to the host; called at process detach.
void ReleaseGlyphTables();
// Number of glyph arrays handed out and not yet released.
size_t IssuedGlyphTableCount();

}  // namespace vykcn
