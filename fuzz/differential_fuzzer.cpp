// libFuzzer target: the current decoder against the frozen reference decoder, which must agree on
// status, produced size and produced bytes for every input (see differential_fuzz_input.h).
#include <cstdlib>

#include "differential_fuzz_input.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  if (!vykcn::fuzz::RunDifferentialInput(data, size)) std::abort();
  return 0;
}
