#pragma once
// --window N of compress and decompress: the LZX window of the stream, for chunk-framed streams
// of other programs as well as the module's own (262144 bytes).
#include <CLI/CLI.hpp>

#include <cstdint>

namespace vykcn::tool {

// Adds --window to `command`, storing into *windowSize (which keeps its default when not given).
// CLI11 refuses values that are not a power of two from 32768 to 2097152.
void AddWindowOption(CLI::App* command, uint32_t* windowSize);

}  // namespace vykcn::tool
