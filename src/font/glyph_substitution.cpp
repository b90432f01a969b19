#include "font/glyph_substitution.h"

#include <cstdlib>
#include <cstring>
#include <new>

#include "formats/resource_ids.h"

namespace vykcn {
namespace {

// float -> int truncates toward zero; the stored byte is the low 8 bits of that integer.
uint8_t ScaleByte(int value, float scale) {
  const float product = static_cast<float>(value) * scale;
  return static_cast<uint8_t>(static_cast<uint32_t>(static_cast<int32_t>(product)));
}

}  // namespace

GlyphRecord ScaleGlyphRecord(const GlyphRecord& record, float scale) {
  GlyphRecord scaled = record;
  scaled.offsetX = static_cast<int8_t>(ScaleByte(record.offsetX, scale));
  scaled.offsetY = static_cast<int8_t>(ScaleByte(record.offsetY, scale));
  scaled.advance = static_cast<int8_t>(ScaleByte(record.advance, scale));
  scaled.width = ScaleByte(record.width, scale);
  scaled.height = ScaleByte(record.height, scale);
  return scaled;
}

void GlyphSubstitution::LoadModuleTable() {
  ResourceBytes blob;
  if (!resources_.LoadData(kGlyphTableResourceId, &blob) || blob.data == nullptr) return;
  moduleTable_ = blob.data;
  moduleCount_ = blob.size / kGlyphRecordSize;  // a trailing partial record is ignored
  GlyphRecord reference;
  if (FindReferenceGlyph(moduleTable_, moduleCount_, &reference)) referenceHeight_ = reference.height;
}

float GlyphSubstitution::ScaleFor(const GlyphRecord* hostArray, uint32_t hostCount) const {
  // Without a usable module 'M' there is nothing to scale against: keep the module's size.
  if (referenceHeight_ == 0 || hostArray == nullptr) return 1.0f;
  GlyphRecord hostReference;
  if (!FindReferenceGlyph(hostArray, hostCount, &hostReference)) return 1.0f;
  return static_cast<float>(hostReference.height) / static_cast<float>(referenceHeight_);
}

void GlyphSubstitution::ReplaceGlyphTable(GlyphRecord** glyphArraySlot,
                                          uint32_t* glyphCountSlot) noexcept {
  if (moduleTable_ == nullptr) LoadModuleTable();
  const float scale = ScaleFor(*glyphArraySlot, *glyphCountSlot);

  // Both allocations happen before the host's font is touched, so running out of memory
  // leaves the font as it was.
  const size_t bytes = size_t{moduleCount_} * kGlyphRecordSize;
  auto* table = static_cast<GlyphRecord*>(allocate_(bytes != 0 ? bytes : 1));
  if (table == nullptr) return;
  try {
    issued_.push_back(table);
  } catch (const std::bad_alloc&) {
    std::free(table);
    return;
  }

  for (uint32_t i = 0; i < moduleCount_; ++i) {
    GlyphRecord record;
    std::memcpy(&record, moduleTable_ + size_t{i} * kGlyphRecordSize, kGlyphRecordSize);
    table[i] = ScaleGlyphRecord(record, scale);
  }
  *glyphArraySlot = table;
  *glyphCountSlot = moduleCount_;
}

void GlyphSubstitution::ReleaseGlyphTables() noexcept {
  for (GlyphRecord* table : issued_) std::free(table);
  issued_.clear();
}

}  // namespace vykcn
