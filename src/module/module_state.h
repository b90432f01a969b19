#pragma once
// The module's process-wide state and the entry points that the hooks and exports call.
// Every entry point here is noexcept: nothing may unwind into the host.
#include <cstddef>
#include <cstdint>

#include "font/glyph_record.h"

namespace vykcn {

// Glyph site: replaces the host font's glyph array and count with the module's scaled table.
void ReplaceGlyphTable(GlyphRecord** glyphArraySlot, uint32_t* glyphCountSlot) noexcept;
// Subtitle site: swaps the host's current-subtitle text pointer for its translation.
void ReplaceSubtitlePointer(const char** slot) noexcept;
// The exported translation of one text: the translation, the text itself, or null for null.
const char* ReplaceSubtitle(const char* text) noexcept;

// Process detach: frees every glyph array handed out, then the translation image.
void ReleaseModuleState() noexcept;

}  // namespace vykcn
