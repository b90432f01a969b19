#pragma once
// A built module with other resources, written without a compiler or linker: the image's own
// resource section replaced by a new one.
#include <cstdint>
#include <string>
#include <vector>

#include "module_reading/pe_resources.h"

namespace vykcn::tool {

// A copy of the PE image whose resource section holds `resources` (WriteResourceSection) in place
// of its own. The sections that follow it, in the file and in memory, move by what it grew or
// shrank (their raw data with them, and the COFF symbols and strings at the file's end), as do the
// data directories and debug entries that point into them; the image size, the initialised data
// size and the checksum are made right. Throws CommandError, naming `path`, for an image whose
// layout does not allow it: no resource section, another directory inside it, a certificate
// (a signed image), or base relocations of the moved sections.
std::vector<uint8_t> ReplaceResourceSection(const std::vector<uint8_t>& image, const std::vector<PeResource>& resources,
                                            const std::string& path);

// The image's checksum as the optional header holds it (the loader's algorithm: 16-bit words summed
// with carries folded back, the checksum field itself taken as 0, plus the file's length).
uint32_t PeChecksum(const std::vector<uint8_t>& image);

}  // namespace vykcn::tool
