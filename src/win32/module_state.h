#pragma once
// The module's process-wide state, which the hooks and exports reach through these accessors.
// Every operation on it that the host can reach is noexcept: nothing may unwind into the host.
#include "font/glyph_substitution.h"
#include "translation/subtitle_translator.h"

namespace vykcn {

GlyphSubstitution& ModuleGlyphs();
SubtitleTranslator& ModuleTranslator();

// Process detach: frees every glyph array handed out, then the translation image.
void ReleaseModuleState() noexcept;

}  // namespace vykcn
