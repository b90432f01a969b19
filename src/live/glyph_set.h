#pragma once
// The characters the module's glyph table draws. The host makes its font texture once, from the
// module's atlas, so a reloaded translation can show only these: the test build names each record
// that holds another (README.md, "The test build").
#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "live/live_index.h"

namespace vykcn {

class GlyphSet {
 public:
  GlyphSet() = default;
  // The codes of a glyph table as stored (resource 101).
  GlyphSet(const uint8_t* table, size_t size);

  size_t size() const { return size_; }
  bool Draws(uint32_t code) const { return code <= 0xFFFF && (drawn_[code >> 6] >> (code & 63) & 1) != 0; }

  // The characters of `text` that the table lacks, each once, in the order met, at most `most`:
  // control characters are not drawn and count for none; bytes that are no UTF-8 count as U+FFFD.
  std::vector<uint32_t> Missing(std::string_view text, size_t most) const;

 private:
  uint64_t drawn_[0x10000 / 64] = {};  // one bit a UTF-16 code
  size_t size_ = 0;                     // distinct codes
};

// A record of the index with characters the table lacks.
struct MissingGlyphs {
  uint32_t hash;
  const char* text;
  std::vector<uint32_t> codes;  // the first few
};

// Every such record of `index`, by hash. Allocates: for the build's thread.
std::vector<MissingGlyphs> FindMissingGlyphs(const LiveIndex& index, const GlyphSet& glyphs);

}  // namespace vykcn
