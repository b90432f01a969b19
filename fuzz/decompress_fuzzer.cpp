// libFuzzer target over Decompress with a bounded destination (see decompress_fuzz_input.h).
#include <cstdlib>

#include "decompress_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!vykcn::fuzz::RunDecompressInput(data, size)) std::abort();
  return 0;
}
