#pragma once
// The encoder tests compress for the module's window and decode with it, unless a test picks
// another window; cases that hold at both compressing levels run at each of kLevels, and those that
// only round-trip at each of kAllLevels, the store level too.
#include <cstdint>

#include "formats/translation_resource.h"
#include "lzx/encoder/compress.h"

namespace vykcn::lzx::test {

inline constexpr CompressionLevel kLevels[] = {CompressionLevel::kDefault, CompressionLevel::kBest};
inline constexpr CompressionLevel kAllLevels[] = {CompressionLevel::kDefault, CompressionLevel::kBest,
                                                  CompressionLevel::kStore};

inline CompressOptions ModuleOptions(uint32_t callTranslationSize = 0,
                                     CompressionLevel level = CompressionLevel::kDefault) {
  CompressOptions options;
  options.windowSize = kTranslationWindowSize;
  options.callTranslationSize = callTranslationSize;
  options.level = level;
  return options;
}

inline const char* LevelName(CompressionLevel level) {
  return level == CompressionLevel::kBest ? "best" : level == CompressionLevel::kStore ? "store" : "default";
}

}  // namespace vykcn::lzx::test
