#include "rendering/host_glyphs.h"

#include <cstdlib>
#include <cstring>

#include "base/utf8.h"
#include "font/glyph_substitution.h"
#include "formats/resource_ids.h"
#include "module_reading/memory_resources.h"

namespace vykcn::tool {
namespace {

constexpr uint32_t kTab = 0x09;
constexpr uint32_t kSpace = 0x20;

}  // namespace

HostGlyphs::HostGlyphs(const std::vector<GlyphRecord>& table, int hostReferenceHeight)
    : hostReferenceHeight_(hostReferenceHeight) {
  const std::vector<uint8_t> bytes = SerializeGlyphTable(table);
  MemoryResource resource(kGlyphTableResourceId, bytes);
  GlyphSubstitution substitution(resource);
  // The host's font as the glyph site finds it: one 'M' record, of the host's height.
  GlyphRecord hostM{};
  hostM.code = kReferenceGlyphCode;
  hostM.height = static_cast<uint8_t>(hostReferenceHeight);
  GlyphRecord* hostArray = &hostM;
  uint32_t hostCount = 1;
  substitution.ReplaceGlyphTable(&hostArray, &hostCount);
  if (hostArray != &hostM) scaled_.assign(hostArray, hostArray + hostCount);
  substitution.ReleaseGlyphTables();

  for (size_t i = 0; i < scaled_.size(); ++i) byCode_.emplace(scaled_[i].code, i);
  if (const GlyphRecord* space = Find(kSpace)) spaceAdvance_ = space->advance;
}

const GlyphRecord* HostGlyphs::Find(uint32_t code) const {
  const auto found = byCode_.find(code);
  return found == byCode_.end() ? nullptr : &scaled_[found->second];
}

int HostGlyphs::Advance(uint32_t code) const {
  const GlyphRecord* record = code == kTab ? nullptr : Find(code);
  return record != nullptr ? record->advance : spaceAdvance_;
}

int64_t HostGlyphs::LineWidth(std::string_view line) const {
  int64_t width = 0;
  uint32_t code = 0;
  for (size_t at = 0; at < line.size();) {
    if (!DecodeUtf8Char(line, &at, &code)) {
      ++at;
      code = 0x110000;  // no character: the space's advance
    }
    width += Advance(code);
  }
  return width;
}

}  // namespace vykcn::tool
