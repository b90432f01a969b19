#pragma once
// The module's embedded resources, found in its own image by base name.
#include <cstdint>

namespace vykcn {

constexpr const char* kModuleBaseName = "vykcn";        // GetModuleHandleA name of our own image
constexpr const char* kDataResourceType = "IDR_DATA";   // string type of resources 101 and 102
constexpr uint32_t kGlyphTableResourceId = 101;         // GlyphRecord array, type IDR_DATA
constexpr uint32_t kTranslationResourceId = 102;        // u32 decompressed size + framed LZX stream, IDR_DATA
constexpr uint32_t kFontAtlasResourceId = 103;          // DDS atlas, type RT_RCDATA
constexpr uint16_t kResourceLanguage = 2052;            // Chinese (PRC), the language of 101..103

}  // namespace vykcn
