#pragma once
// Every address of the one host build this module serves. The host image is mapped at its
// preferred base, so these are absolute and used without relocation. No other file holds
// host addresses.
#include <cstdint>

namespace vykcn::host {

// Glyph site: a 5-byte relative call/jump of HostContinue; its displacement is redirected to the stub place.
constexpr uintptr_t kGlyphPatchSite = 0x140250E2E;
// Glyph stub place (site + 15): 14 bytes the host only reaches through the site.
constexpr uintptr_t kGlyphStubPlace = 0x140250E3D;
// Subtitle site: a 5-byte relative call/jump of HostContinue, like the glyph site.
constexpr uintptr_t kSubtitlePatchSite = 0x1402566B0;
// Subtitle stub place (site + 15).
constexpr uintptr_t kSubtitleStubPlace = 0x1402566BF;
// Dialogue site in HostDialogueRoutine: 17 bytes of mov ecx,[r14]; lea r8,[rsp+0xB0]; mov r9d,1024.
constexpr uintptr_t kDialoguePatchSite = 0x14040A5B4;
// Dialogue resume address (site + 17): takes the text from rbx.
constexpr uintptr_t kDialogueResume = 0x14040A5C5;
// HostContinue: the routine both 5-byte sites originally reach.
constexpr uintptr_t kHostContinue = 0x140276340;
// HostFontPointer: 8-byte slot holding the address of the live HostFont.
constexpr uintptr_t kHostFontPointer = 0x14179B818;
// HostSubtitlePointer: 8-byte slot holding the address of the current-subtitle text pointer.
constexpr uintptr_t kHostSubtitlePointer = 0x14179C240;

// HostFont fields, as byte offsets into the host's font object.
constexpr uintptr_t kHostFontGlyphCountOffset = 12;  // u32 glyph count
constexpr uintptr_t kHostFontGlyphArrayOffset = 32;  // GlyphRecord* glyph array

}  // namespace vykcn::host
