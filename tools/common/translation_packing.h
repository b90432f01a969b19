#pragma once
// The translation resource as the toolkit writes it: the image compressed by the LZX encoder
// behind the resource's size header (formats/translation_resource.h). Only the toolkit links the
// encoder; the module reads resources and never writes one.
#include <cstdint>
#include <vector>

#include "formats/translation_resource.h"
#include "lzx/encoder/compress.h"

namespace vykcn::tool {

// Compresses `image` into a whole resource at `level` (the default: as fast as the peer codecs;
// best: smaller, for the build a team ships); `callTranslationSize` (0 = off) is written into the
// stream header for the decoder's call-instruction pass. Throws std::length_error for an image
// that the 32-bit size header cannot state.
std::vector<uint8_t> PackTranslationResource(const std::vector<uint8_t>& image, uint32_t callTranslationSize = 0,
                                             uint32_t windowSize = kTranslationWindowSize,
                                             lzx::CompressionLevel level = lzx::CompressionLevel::kDefault);

}  // namespace vykcn::tool
