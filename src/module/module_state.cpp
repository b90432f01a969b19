#include "module/module_state.h"

#include "font/glyph_substitution.h"
#include "module/resource_blob.h"

namespace vykcn {
namespace {

// Declaration order is construction order: the glyph list is set up (and its exit-time release
// registered) before anything that a hook could reach during attach.
ModuleImageResources gModuleResources;
GlyphSubstitution gGlyphSubstitution(gModuleResources);

}  // namespace

void ReplaceGlyphTable(GlyphRecord** glyphArraySlot, uint32_t* glyphCountSlot) {
  gGlyphSubstitution.ReplaceGlyphTable(glyphArraySlot, glyphCountSlot);
}

void ReleaseGlyphTables() { gGlyphSubstitution.ReleaseGlyphTables(); }

size_t IssuedGlyphTableCount() { return gGlyphSubstitution.IssuedGlyphTables().size(); }

}  // namespace vykcn
