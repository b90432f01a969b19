#pragma once
// Windows binaries for the LZX benchmarks: read as they are, or with their debug sections
// stripped (the form in which binaries ship) by the cross toolchain's strip.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::bench {

std::vector<uint8_t> ReadFileBytes(const std::string& path);

// Empty when the file or the strip tool is missing.
std::vector<uint8_t> ReadStrippedBinary(const std::string& path);

}  // namespace vykcn::bench
