// libFuzzer target over the toolkit's readers of untrusted files (see toolkit_readers_fuzz_input.h).
#include <cstdlib>

#include "toolkit_readers_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!vykcn::fuzz::RunToolkitReaderInput(data, size)) std::abort();
  return 0;
}
