#pragma once
// The decompression context: one heap block holds this, then the window, its 257-byte mirror and
// slack (decompress.cpp creates it). Only decompress.cpp and the testing door (decoder_testing.h)
// see inside.
#include <cstdint>

#include "lzx/decoder/decoder_state.h"

namespace vykcn::lzx {

constexpr uint32_t kContextSignature = 0x76C3F251;

struct DecompressionContext {
  uint32_t signature = 0;       // kContextSignature
  uint32_t codecType = 0;       // 1 (LZX) once created
  uint32_t contextFlags = 0;    // create flags plus HeapOwned
  uint32_t parameterFlags = 0;  // CodecParameters::flags
  LzxDecoder decoder;
};

}  // namespace vykcn::lzx
