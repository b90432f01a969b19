// What the hook routines of both builds, shipped and capture, read and call alike: the host's
// addresses, with C names for the assembly, and the glyph table's entry.
#include "win32/hooks.h"
#include "win32/host_contract.h"
#include "win32/module_state.h"

extern "C" {

const uintptr_t vykcnHostContinue = vykcn::host::kHostContinue;
const uintptr_t vykcnHostFontPointer = vykcn::host::kHostFontPointer;
const uintptr_t vykcnHostSubtitlePointer = vykcn::host::kHostSubtitlePointer;
const uintptr_t vykcnDialogueResume = vykcn::host::kDialogueResume;
const uintptr_t vykcnHostFontGlyphArrayOffset = vykcn::host::kHostFontGlyphArrayOffset;
const uintptr_t vykcnHostFontGlyphCountOffset = vykcn::host::kHostFontGlyphCountOffset;

void VykcnReplaceGlyphTable(vykcn::GlyphRecord** glyphArraySlot, uint32_t* glyphCountSlot) {
  vykcn::ModuleGlyphs().ReplaceGlyphTable(glyphArraySlot, glyphCountSlot);
}

}  // extern "C"
