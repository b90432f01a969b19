#pragma once
// A stand-in for the host executable: its pages mapped at the host's fixed addresses, with the
// instructions and data the module relies on laid down there, and drivers that run each site.
#include <windows.h>

#include <cstdint>
#include <vector>

#include "formats/glyph_table.h"

namespace vykcn::test {

// What the host's code records while it runs (lives in the host's data pages).
struct HostRecorder {
  uint64_t continueCalls;  // times HostContinue ran
  uint64_t continueRsp;    // rsp on entry to HostContinue
  uint64_t siteRsp;        // rsp at the glyph/subtitle site's call
  // Registers at the dialogue resume address, and rsp at the dialogue site.
  uint64_t rbx, rcx, r8, r9, dialogueRsp;
};

// The font object the host's glyph code works on: count at byte 12, array pointer at byte 32.
struct HostFontObject {
  uint8_t before[12];
  uint32_t glyphCount;
  uint8_t between[16];
  GlyphRecord* glyphArray;
};
static_assert(offsetof(HostFontObject, glyphCount) == 12 && offsetof(HostFontObject, glyphArray) == 32);

enum class HostLayout {
  kExpected,          // every site as the module expects it
  kSubtitleMismatch,  // the subtitle site calls somewhere else than HostContinue
};

class SimulatedHost {
 public:
  // Maps and fills the host's pages; false if an address range is not free.
  bool Map(HostLayout layout);

  void RunGlyphSite();
  void RunSubtitleSite();
  // Runs the dialogue routine with rbx = text and r14 pointing at `r14Value`.
  void RunDialogueSite(const char* text, uint32_t* r14Value);

  HostRecorder& recorder();
  HostFontObject& font();
  const char*& currentSubtitle();  // the text pointer that HostSubtitlePointer addresses
};

// Current protection of the page holding `address`.
DWORD ProtectionAt(uintptr_t address);

}  // namespace vykcn::test
