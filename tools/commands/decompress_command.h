#pragma once
// vykcn-tool decompress: decodes a translation resource (or a bare framed LZX stream) with the
// module's decoder and reports what the module would: "data corrupted" when the decoder fails,
// "decomp size mismatch" when it produces a size other than the stored one (both worded in
// module_reading/resource_decoding.h), and "data corrupted" again when the image would not fill
// the module's table (unless --data: a resource of other bytes, as compress writes for any file).
#include <CLI/CLI.hpp>

#include <cstddef>
#include <cstdint>
#include <string>

#include "formats/translation_resource.h"

namespace vykcn::tool {

struct DecompressOptions {
  std::string input;
  std::string output;
  bool raw = false;
  size_t size = 0;
  bool data = false;
  bool force = false;
  uint32_t window = kTranslationWindowSize;
};

void AddDecompressOptions(CLI::App* command, DecompressOptions* options);
int RunDecompress(DecompressOptions& options);

}  // namespace vykcn::tool
