#pragma once
// vykcn-tool compress: wraps any file into a translation resource (size + LZX stream), or with
// --raw into a bare chunk-framed LZX stream, at any window.
#include <CLI/CLI.hpp>

#include <cstdint>
#include <string>

#include "formats/translation_resource.h"

namespace vykcn::tool {

struct CompressOptions {
  uint32_t e8 = 0;
  std::string input;
  std::string output;
  bool raw = false;
  bool best = false;
  uint32_t window = kTranslationWindowSize;
};

void AddCompressOptions(CLI::App* command, CompressOptions* options);
int RunCompress(CompressOptions& options);

}  // namespace vykcn::tool
