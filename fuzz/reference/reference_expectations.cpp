// Prints the frozen reference decoder's expectation lines (regression_expectations.h) for the fuzz
// inputs named on the command line:
//   reference_expectations fuzz/regressions/* > fuzz/regressions/expected.txt
// (run from the source root, with the inputs other than expected.txt). As in the differential
// target, the reference runs on a cleared window.
#include <cstdio>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "reference/reference_decoder.h"
#include "regression_expectations.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const std::string path = argv[i];
    std::ifstream in(path, std::ios::binary);
    const std::vector<uint8_t> input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    vykcn::fuzz::CallPlan plan;
    if (!vykcn::fuzz::ReadCallPlan(input.data(), input.size(), &plan)) continue;
    void* const context = reference_lzx::Create(plan.windowSize, plan.continuous ? 1u : 0u);
    if (context == nullptr) continue;
    reference_lzx::ClearWindow(context);
    const std::string name = path.substr(path.find_last_of('/') + 1);
    for (int call = 0; call < plan.calls; ++call) {
      if (!plan.continuous) reference_lzx::ClearWindow(context);
      std::vector<uint8_t> out(plan.capacity + 1);
      size_t produced = plan.capacity;
      const int32_t status = reference_lzx::Decompress(context, out.data(), &produced, input.data() + 4, input.size() - 4);
      std::printf("%s\n", vykcn::fuzz::ExpectationLine(name, call, status, out.data(), produced).c_str());
    }
    reference_lzx::Destroy(context);
  }
  return 0;
}
