#pragma once
// The font atlas file (resource 103): a DDS texture of 2048 x 1024 BC3 ("DXT5") blocks, one mip
// level, no extended header. 4096 x 2048 and 4096 x 4096 are the larger sizes a team may ship for
// a host that samples the atlas only through the records' normalized coordinates. The module hands it to the platform's texture loader untouched; the
// toolkit writes and checks it. Layout of the 128-byte prefix (all fields little-endian u32):
//   0 magic "DDS "      4 header size 124      8 flags            12 height        16 width
//   20 linear size      24 depth               28 mip map count   32..75 reserved (11 words)
//   76 pixel format size 32                    80 pixel format flags               84 FourCC
//   88 bit count  92..104 channel masks        108 caps   112 caps2   116 caps3   120 caps4
//   124 reserved
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "base/byte_order.h"

namespace vykcn {

constexpr size_t kDdsHeaderSize = 128;                 // magic + 124-byte header
constexpr uint32_t kDdsMagic = 0x20534444;             // "DDS "
constexpr uint32_t kDdsHeaderStructSize = 124;
constexpr uint32_t kDdsAtlasFlags = 0x81007;           // caps | height | width | pixel format | linear size
constexpr uint32_t kDdsPixelFormatSize = 32;
constexpr uint32_t kDdsPixelFormatFourCC = 0x4;        // the FourCC field alone describes the format
constexpr uint32_t kDdsFourCCDxt5 = 0x35545844;        // "DXT5": BC3 blocks
constexpr uint32_t kDdsCapsTexture = 0x1000;

constexpr int kAtlasWidth = 2048;                      // texels
constexpr int kAtlasHeight = 1024;
constexpr int kBc3BlockSize = 16;                      // bytes per 4 x 4 texels
constexpr int kAtlasBlocksWide = kAtlasWidth / 4;
constexpr int kAtlasBlocksHigh = kAtlasHeight / 4;
constexpr size_t kAtlasBlockBytes = size_t{kAtlasBlocksWide} * kAtlasBlocksHigh * kBc3BlockSize;  // 2,097,152
constexpr size_t kAtlasFileSize = kDdsHeaderSize + kAtlasBlockBytes;                              // 2,097,280

struct AtlasSize {
  int width = kAtlasWidth;
  int height = kAtlasHeight;
};

inline bool operator==(AtlasSize a, AtlasSize b) { return a.width == b.width && a.height == b.height; }

// The documented size first, then the larger ones.
constexpr AtlasSize kAtlasSizes[] = {{kAtlasWidth, kAtlasHeight}, {4096, 2048}, {4096, 4096}};

inline bool IsAtlasSize(AtlasSize size) {
  for (AtlasSize known : kAtlasSizes) {
    if (known == size) return true;
  }
  return false;
}

inline size_t AtlasBlockBytes(AtlasSize size) {
  return size_t(size.width / 4) * size_t(size.height / 4) * kBc3BlockSize;
}
inline size_t AtlasFileSize(AtlasSize size) { return kDdsHeaderSize + AtlasBlockBytes(size); }

// Field offsets inside the 128-byte prefix.
namespace dds_offset {
constexpr size_t kMagic = 0, kHeaderSize = 4, kFlags = 8, kHeight = 12, kWidth = 16, kLinearSize = 20,
                 kDepth = 24, kMipMapCount = 28, kPixelFormatSize = 76, kPixelFormatFlags = 80,
                 kFourCC = 84, kCaps = 108;
}  // namespace dds_offset

// Writes the atlas's 128-byte prefix; every field not set here is 0.
inline void WriteAtlasDdsHeader(uint8_t* out, AtlasSize size = AtlasSize()) {
  std::memset(out, 0, kDdsHeaderSize);
  WriteU32LE(out + dds_offset::kMagic, kDdsMagic);
  WriteU32LE(out + dds_offset::kHeaderSize, kDdsHeaderStructSize);
  WriteU32LE(out + dds_offset::kFlags, kDdsAtlasFlags);
  WriteU32LE(out + dds_offset::kHeight, static_cast<uint32_t>(size.height));
  WriteU32LE(out + dds_offset::kWidth, static_cast<uint32_t>(size.width));
  WriteU32LE(out + dds_offset::kLinearSize, static_cast<uint32_t>(AtlasBlockBytes(size)));
  WriteU32LE(out + dds_offset::kPixelFormatSize, kDdsPixelFormatSize);
  WriteU32LE(out + dds_offset::kPixelFormatFlags, kDdsPixelFormatFourCC);
  WriteU32LE(out + dds_offset::kFourCC, kDdsFourCCDxt5);
  WriteU32LE(out + dds_offset::kCaps, kDdsCapsTexture);
}

// True when `header` holds exactly the prefix that WriteAtlasDdsHeader writes for `atlas`.
inline bool IsAtlasDdsHeader(const uint8_t* header, size_t size, AtlasSize atlas = AtlasSize()) {
  if (size < kDdsHeaderSize) return false;
  uint8_t expected[kDdsHeaderSize];
  WriteAtlasDdsHeader(expected, atlas);
  return std::memcmp(header, expected, kDdsHeaderSize) == 0;
}

// The size of the atlas whose prefix `header` is, when it is exactly the prefix of one of
// kAtlasSizes; false otherwise.
inline bool ReadAtlasDdsSize(const uint8_t* header, size_t size, AtlasSize* atlas) {
  for (AtlasSize known : kAtlasSizes) {
    if (IsAtlasDdsHeader(header, size, known)) {
      *atlas = known;
      return true;
    }
  }
  return false;
}

}  // namespace vykcn
