#pragma once
// Whole-file reading and all-or-nothing writing for the tool's subcommands.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vykcn::tool {

// Throws CommandError naming the file when it cannot be read.
std::vector<uint8_t> ReadFileBytes(const std::string& path);

// Writes through a temporary file beside `path` and renames it into place, so a failure never
// leaves a partial file behind. Throws CommandError on failure.
void WriteFileAtomically(const std::string& path, const std::vector<uint8_t>& bytes);

// The same for files that belong together: all are written beside their targets before the first
// is renamed into place, so that a failed write leaves every old file as it was.
void WriteFilesAtomically(const std::vector<std::pair<std::string, const std::vector<uint8_t>*>>& files);

}  // namespace vykcn::tool
