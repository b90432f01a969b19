#pragma once
// The structure of a PE image as it lies on disk, checked before anything in it is trusted: a
// file cut short or patched carelessly is told apart from a sound module.
#include <cstdint>
#include <string>
#include <vector>

namespace vykcn::tool {

// The problems found, as sentences; none for a consistent image. Checks the DOS and PE headers,
// the optional header's size, alignments and directory count, the headers', every section's raw
// data and the COFF symbol and string tables against the file's size, the section table's order, the image size, and every data
// directory against the sections (the certificate table against the file).
std::vector<std::string> CheckPeStructure(const std::vector<uint8_t>& image);

struct PeSection {
  std::string name;  // a long name ("/4" in the header) as the COFF string table holds it
  uint32_t rawSize;  // bytes in the file
};

// The section table in order, of an image that CheckPeStructure passed.
std::vector<PeSection> ReadPeSections(const std::vector<uint8_t>& image);

}  // namespace vykcn::tool
