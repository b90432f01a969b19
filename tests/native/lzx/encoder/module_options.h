#pragma once
// The encoder tests compress for the module's window and decode with it, unless a test picks
// another window.
#include <cstdint>

#include "formats/translation_resource.h"
#include "lzx/encoder/compress.h"

namespace vykcn::lzx::test {

inline CompressOptions ModuleOptions(uint32_t callTranslationSize = 0) {
  CompressOptions options;
  options.windowSize = kTranslationWindowSize;
  options.callTranslationSize = callTranslationSize;
  return options;
}

}  // namespace vykcn::lzx::test
