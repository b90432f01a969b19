#include "commands/window_option.h"

#include <string>

#include "lzx/lzx_constants.h"

namespace vykcn::tool {

void AddWindowOption(CLI::App* command, uint32_t* windowSize) {
  const CLI::Validator powerOfTwo(
      [](std::string& text) -> std::string {
        uint32_t value = 0;
        if (!CLI::detail::lexical_cast(text, value) || !lzx::IsValidWindowSize(value)) {
          return "--window must be a power of two from 32768 to 2097152, not " + text;
        }
        return "";
      },
      "32768..2097152, a power of two");
  command->add_option("--window", *windowSize, "LZX window in bytes (default 262144, the module's)")
      ->check(powerOfTwo);
}

}  // namespace vykcn::tool
