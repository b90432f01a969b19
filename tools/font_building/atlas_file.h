#pragma once
// Resource 103 as bytes: the atlas's DDS prefix followed by its BC3 blocks.
#include <cstdint>
#include <string>
#include <vector>

#include "formats/dds_atlas.h"

namespace vykcn::tool {

struct AtlasImage {
  AtlasSize size;
  std::vector<uint8_t> rgba;  // size.width x size.height RGBA8 texels, row-major
};

// `blocks` must hold exactly AtlasBlockBytes(size).
std::vector<uint8_t> BuildAtlasFile(const std::vector<uint8_t>& blocks, AtlasSize size = AtlasSize());

// Checks that `file` is an atlas as the module requires it (exact prefix of one of kAtlasSizes,
// exact size) and returns its decoded image. Throws CommandError naming `what` otherwise.
AtlasImage DecodeAtlasFile(const std::vector<uint8_t>& file, const std::string& what);

// Why `file` is not an atlas as the module requires it, or "" when it is; its size goes to `size`
// when given and the prefix is sound.
std::string AtlasFileProblem(const std::vector<uint8_t>& file, AtlasSize* size = nullptr);

// "2048 x 1024"
std::string DescribeAtlasSize(AtlasSize size);

// Reads "4096x2048" (or with " x "/"X"); false unless it is one of kAtlasSizes.
bool ParseAtlasSize(const std::string& text, AtlasSize* size);

}  // namespace vykcn::tool
