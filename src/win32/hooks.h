#pragma once
// The machine-level routines the host's patched sites lead to (hooks.S), and the C entry points
// and host constants they use. Written in assembly because each ends in a jump into the host
// instead of a return, and the dialogue trampoline works on the host's own registers.
#include <cstdint>

#include "formats/glyph_table.h"

extern "C" {

// Glyph site: ReplaceGlyphTable(&font->glyphArray, &font->glyphCount), then jump to HostContinue.
void GlyphHook();
// Subtitle site: ReplaceSubtitlePointer(*HostSubtitlePointer), then jump to HostContinue.
void SubtitleHook();
// Dialogue site: rbx = ReplaceSubtitle(rbx), replay the three displaced instructions, resume.
void DialogueTrampoline();

// Called from the routines above; never throw.
void VykcnReplaceGlyphTable(vykcn::GlyphRecord** glyphArraySlot, uint32_t* glyphCountSlot);
void VykcnReplaceSubtitlePointer(const char** slot);
// Also the export ReplaceSubtitle (ordinal 1, under its decorated name).
const char* VykcnReplaceSubtitle(const char* text);

// Host addresses and field offsets as data, so that the assembly holds none of its own.
extern const uintptr_t vykcnHostContinue;
extern const uintptr_t vykcnHostFontPointer;
extern const uintptr_t vykcnHostSubtitlePointer;
extern const uintptr_t vykcnDialogueResume;
extern const uintptr_t vykcnHostFontGlyphArrayOffset;
extern const uintptr_t vykcnHostFontGlyphCountOffset;
}
