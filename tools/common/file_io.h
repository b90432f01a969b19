#pragma once
// Whole-file reading and all-or-nothing writing for the tool's subcommands.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::tool {

// Throws CommandError naming the file when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// Writes through a temporary file beside `path` and renames it into place, so a failure never
// leaves a partial file behind. Throws CommandError on failure.
void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

}  // namespace vykcn::tool
