#pragma once
// The glyph records the host draws with once the module has given its font the module's table:
// the module's own GlyphSubstitution, run on a host font whose 'M' is a given height, so every
// scaled field (and so every width the toolkit measures) comes from the module's arithmetic.
#include <cstdint>
#include <map>
#include <string_view>
#include <vector>

#include "formats/glyph_table.h"

namespace vykcn::tool {

class HostGlyphs {
 public:
  // `table`: the module's glyph table (resource 101); `hostReferenceHeight`: the host's 'M' in pixels.
  HostGlyphs(const std::vector<GlyphRecord>& table, int hostReferenceHeight);

  // The scaled record the host finds for `code` (the first with it), or null.
  const GlyphRecord* Find(uint32_t code) const;

  // How far the pen moves after `code`: its scaled advance. A tab, and a character without a
  // record, move it by the space's advance.
  int Advance(uint32_t code) const;

  // The width of one line of UTF-8 text in pixels: its characters' advances summed (bytes that
  // are not UTF-8 count as characters without a record).
  int64_t LineWidth(std::string_view line) const;

  const std::vector<GlyphRecord>& records() const { return scaled_; }  // in table order
  int hostReferenceHeight() const { return hostReferenceHeight_; }

 private:
  std::vector<GlyphRecord> scaled_;
  std::map<uint32_t, size_t> byCode_;
  int spaceAdvance_ = 0;
  int hostReferenceHeight_;
};

}  // namespace vykcn::tool
