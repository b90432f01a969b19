// What the hook routines call and read, with C names for the assembly.
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

void VykcnReplaceSubtitlePointer(const char** slot) { vykcn::ModuleTranslator().ReplaceSubtitlePointer(slot); }

const char* VykcnReplaceSubtitle(const char* text) { return vykcn::ModuleTranslator().ReplaceSubtitle(text); }

}  // extern "C"
