#pragma once
// The encoder tests compress for the module's window and decode with it, unless a test picks
// another window; cases that hold at both levels run at each of kLevels.
#include <cstdint>

#include "formats/translation_resource.h"
#include "lzx/encoder/compress.h"

namespace vykcn::lzx::test {

inline constexpr CompressionLevel kLevels[] = {CompressionLevel::kDefault, CompressionLevel::kBest};

inline CompressOptions ModuleOptions(uint32_t callTranslationSize = 0,
                                     CompressionLevel level = CompressionLevel::kDefault) {
  CompressOptions options;
  options.windowSize = kTranslationWindowSize;
  options.callTranslationSize = callTranslationSize;
  options.level = level;
  return options;
}

inline const char* LevelName(CompressionLevel level) {
  return level == CompressionLevel::kBest ? "best" : "default";
}

}  // namespace vykcn::lzx::test
