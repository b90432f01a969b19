#pragma once
// Resource 103 as bytes: the atlas's DDS prefix followed by its BC3 blocks.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::tool {

// `blocks` must hold exactly kAtlasBlockBytes.
std::vector<uint8_t> BuildAtlasFile(const std::vector<uint8_t>& blocks);

// Checks that `file` is an atlas as the module requires it (exact prefix, exact size) and returns
// the RGBA8 texels of its 2048 x 1024 image. Throws CommandError naming `what` otherwise.
std::vector<uint8_t> DecodeAtlasFile(const std::vector<uint8_t>& file, const std::string& what);

// Why `file` is not an atlas as the module requires it, or "" when it is.
std::string AtlasFileProblem(const std::vector<uint8_t>& file);

}  // namespace vykcn::tool
