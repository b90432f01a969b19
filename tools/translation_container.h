#pragma once
// The translation resource as the module loads it: the image's size (u32, little-endian), then
// the image as a chunk-framed LZX stream.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::tool {

// Compresses `image` into a resource. `translation_size` turns call translation on (0 = off).
std::vector<uint8_t> PackTranslationResource(const std::vector<uint8_t>& image, uint32_t translation_size = 0);

// Decodes a resource with the module's decoder. Throws CommandError naming `what` when it is
// shorter than its header, fails to decode, or decodes to a size other than the stored one.
std::vector<uint8_t> UnpackTranslationResource(const std::vector<uint8_t>& resource, const std::string& what);

// The resource's two parts without decoding: the stored image size and the framed stream that
// follows it (pointing into `resource`). Throws CommandError naming `what` when it is shorter than
// its 4-byte header.
struct TranslationResourceParts {
  uint32_t decompressedSize;
  const uint8_t* stream;
  size_t streamSize;
};
TranslationResourceParts SplitTranslationResource(const std::vector<uint8_t>& resource, const std::string& what);

}  // namespace vykcn::tool
