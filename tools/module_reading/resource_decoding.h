#pragma once
// The translation resource (formats/translation_resource.h) decoded by the toolkit: within the
// bound its chunks set, with the toolkit's error reporting and the module's messages, worded once.
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "formats/translation_resource.h"

namespace vykcn::tool {

// The resource's two parts without decoding. Throws CommandError naming `what` when it is shorter
// than its 4-byte header.
TranslationResourceParts SplitTranslationResource(const std::vector<uint8_t>& resource, const std::string& what);

struct BoundedDecode {
  lzx::DecompressStatus status = lzx::kStatusFail;
  std::vector<uint8_t> bytes;  // the bytes produced, even on failure
};

// Decodes `stream` with the module's decoder into at most `capacity` bytes, and never more than
// its chunks can yield: a size field may say anything, and a size no chunk can yield fails the
// same way with a smaller destination. Throws CommandError when the destination cannot be had.
BoundedDecode DecodeBounded(const uint8_t* stream, size_t streamSize, size_t capacity,
                            uint32_t windowSize = kTranslationWindowSize);

// What the module shows for a decode whose resource states `statedSize`: "data corrupted",
// "decomp size mismatch", or null when it takes the bytes.
const char* ModuleMessage(const BoundedDecode& decoded, size_t statedSize);
// The module's message with the sizes, for a user ("" when the module takes the bytes). Without
// a stated size (a bare stream) only a failed decode is a problem.
std::string DecodeProblem(const BoundedDecode& decoded, std::optional<size_t> statedSize);

// Decodes a resource with the module's decoder. Throws CommandError naming `what` when it is
// shorter than its header, fails to decode, or decodes to a size other than the stored one.
std::vector<uint8_t> UnpackTranslationResource(const std::vector<uint8_t>& resource, const std::string& what);

}  // namespace vykcn::tool
