#pragma once
// Gives the host's font the module's glyph table, scaled to the height of the host's own 'M'.
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "formats/glyph_table.h"
#include "platform/own_resources.h"

namespace vykcn {

// Scales one glyph record's pixel metrics in single precision, truncating toward zero and keeping
// the low 8 bits; code, reserved and the texture coordinates are copied bit for bit.
GlyphRecord ScaleGlyphRecord(const GlyphRecord& record, float scale);

class GlyphSubstitution {
 public:
  using Allocate = void* (*)(size_t bytes);  // the general heap; freed with std::free

  explicit GlyphSubstitution(OwnResources& resources, Allocate allocate = &std::malloc)
      : resources_(resources), allocate_(allocate) {}
  GlyphSubstitution(const GlyphSubstitution&) = delete;
  GlyphSubstitution& operator=(const GlyphSubstitution&) = delete;

  // Replaces the host font's glyph array and count with a new scaled copy of the module's table.
  // Every call hands out a new array. If memory runs out the host's font is left untouched.
  void ReplaceGlyphTable(GlyphRecord** glyphArraySlot, uint32_t* glyphCountSlot) noexcept;

  // Frees every array handed out and empties the list (its storage stays until destruction).
  void ReleaseGlyphTables() noexcept;

  const std::vector<GlyphRecord*>& IssuedGlyphTables() const { return issued_; }
  uint32_t moduleGlyphCount() const { return moduleCount_; }
  uint8_t referenceHeight() const { return referenceHeight_; }

 private:
  void LoadModuleTable();
  float ScaleFor(const GlyphRecord* hostArray, uint32_t hostCount) const;

  OwnResources& resources_;
  Allocate allocate_;
  const uint8_t* moduleTable_ = nullptr;  // resource 101 in the module image; never freed
  uint32_t moduleCount_ = 0;
  uint8_t referenceHeight_ = 0;           // height of the module's 'M'; 0 when it has none
  std::vector<GlyphRecord*> issued_;
};

}  // namespace vykcn
