#include "module_reading/pe_structure.h"

#include "base/byte_order.h"

namespace vykcn::tool {
namespace {

constexpr uint32_t kPeSignature = 0x00004550;  // "PE\0\0"
constexpr uint16_t kMagicPe32 = 0x10B, kMagicPe32Plus = 0x20B;
constexpr size_t kFileHeaderSize = 20;
constexpr size_t kSectionHeaderSize = 40;
constexpr size_t kSymbolSize = 18;  // COFF symbol record
constexpr uint32_t kMaxDirectories = 16;
constexpr uint32_t kCertificateDirectory = 4;  // holds a file offset, not an RVA
constexpr uint32_t kBoundImportDirectory = 11; // lies in the headers
const char* const kDirectoryNames[kMaxDirectories] = {
    "export",    "import", "resource", "exception", "certificate", "base relocation", "debug", "architecture",
    "global pointer", "TLS", "load configuration", "bound import", "import address", "delay import", "CLR", "reserved"};

bool IsPowerOfTwo(uint32_t value) { return value != 0 && (value & (value - 1)) == 0; }

std::string Hex(uint64_t value) {
  static const char digits[] = "0123456789ABCDEF";
  std::string text;
  do {
    text.insert(text.begin(), digits[value & 15]);
    value >>= 4;
  } while (value != 0);
  return "0x" + text;
}

struct Section {
  std::string name;
  uint32_t virtualAddress, virtualSize, rawOffset, rawSize;
};

}  // namespace

std::vector<std::string> CheckPeStructure(const std::vector<uint8_t>& image) {
  std::vector<std::string> problems;
  const uint64_t fileSize = image.size();
  auto has = [&](uint64_t offset, uint64_t size) { return offset <= fileSize && size <= fileSize - offset; };
  auto u16 = [&](uint64_t at) { return ReadU16LE(image.data() + at); };
  auto u32 = [&](uint64_t at) { return ReadU32LE(image.data() + at); };

  if (!has(0, 64) || image[0] != 'M' || image[1] != 'Z') return {"not a PE image (no MZ header)"};
  const uint32_t pe = u32(0x3C);
  if (!has(pe, 4 + kFileHeaderSize) || u32(pe) != kPeSignature) return {"not a PE image (no PE signature)"};
  const uint16_t sectionCount = u16(pe + 6), optionalSize = u16(pe + 20);
  const uint64_t optional = uint64_t(pe) + 4 + kFileHeaderSize;
  if (!has(optional, 2)) return {"PE headers are cut short"};
  const uint16_t magic = u16(optional);
  if (magic != kMagicPe32 && magic != kMagicPe32Plus) return {"not a PE image (unknown optional header " + Hex(magic) + ")"};
  const bool plus = magic == kMagicPe32Plus;
  const uint64_t fixedPart = plus ? 112 : 96;  // up to the data directories
  if (optionalSize < fixedPart || !has(optional, optionalSize)) return {"PE optional header is cut short"};
  const uint32_t directoryCount = u32(optional + fixedPart - 4);
  if (directoryCount > kMaxDirectories || fixedPart + uint64_t(directoryCount) * 8 > optionalSize) {
    return {"PE optional header declares " + std::to_string(directoryCount) + " data directories but has room for " +
            std::to_string((optionalSize - fixedPart) / 8)};
  }
  // A COFF symbol table (MinGW keeps one after the sections) and its string table end the file.
  const uint32_t symbols = u32(pe + 4 + 8), symbolCount = u32(pe + 4 + 12);
  if (symbols != 0) {
    const uint64_t strings = uint64_t(symbols) + uint64_t(symbolCount) * kSymbolSize;
    if (!has(symbols, uint64_t(symbolCount) * kSymbolSize) || !has(strings, 4)) {
      problems.push_back("COFF symbol table (" + std::to_string(symbolCount) + " symbols at " + Hex(symbols) +
                         ") runs past the end of the file");
    } else if (!has(strings, u32(strings))) {
      problems.push_back("COFF string table (" + Hex(u32(strings)) + " bytes at " + Hex(strings) +
                         ") runs past the end of the file");
    }
  }
  const uint64_t table = optional + optionalSize;
  if (sectionCount == 0) problems.push_back("PE image has no sections");
  if (!has(table, uint64_t(sectionCount) * kSectionHeaderSize)) {
    return {"PE section table (" + std::to_string(sectionCount) + " sections) runs past the end of the file"};
  }

  const uint32_t sectionAlignment = u32(optional + 32), fileAlignment = u32(optional + 36);
  const uint32_t imageSize = u32(optional + 56), headersSize = u32(optional + 60);
  if (!IsPowerOfTwo(fileAlignment) || !IsPowerOfTwo(sectionAlignment) || fileAlignment > sectionAlignment) {
    problems.push_back("PE alignments are inconsistent (file " + Hex(fileAlignment) + ", section " +
                       Hex(sectionAlignment) + ")");
  }
  if (headersSize < table + uint64_t(sectionCount) * kSectionHeaderSize || headersSize > fileSize) {
    problems.push_back("PE headers' size " + Hex(headersSize) + " does not hold the section table or exceeds the file");
  }

  std::vector<Section> sections;
  uint64_t nextAddress = 0;
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const uint64_t at = table + uint64_t(i) * kSectionHeaderSize;
    Section s;
    for (int k = 0; k < 8 && image[at + k] != 0; ++k) s.name += static_cast<char>(image[at + k]);
    s.virtualSize = u32(at + 8), s.virtualAddress = u32(at + 12), s.rawSize = u32(at + 16), s.rawOffset = u32(at + 20);
    const std::string label = "section " + std::to_string(i + 1) + " \"" + s.name + "\"";
    if (s.rawSize != 0 && !has(s.rawOffset, s.rawSize)) {
      problems.push_back(label + ": raw data " + Hex(s.rawOffset) + "+" + Hex(s.rawSize) +
                         " runs past the end of the file (" + Hex(fileSize) + " bytes)");
    }
    if (s.virtualAddress < nextAddress) problems.push_back(label + ": overlaps or precedes the section before it");
    const uint64_t extent = s.virtualSize != 0 ? s.virtualSize : s.rawSize;
    nextAddress = uint64_t(s.virtualAddress) + extent;
    if (nextAddress > imageSize) problems.push_back(label + ": ends beyond the image size " + Hex(imageSize));
    sections.push_back(s);
  }

  for (uint32_t d = 0; d < directoryCount; ++d) {
    const uint32_t rva = u32(optional + fixedPart + 8 * d), size = u32(optional + fixedPart + 8 * d + 4);
    if (rva == 0 || size == 0 || d == kBoundImportDirectory) continue;
    const std::string label = std::string(kDirectoryNames[d]) + " directory";
    if (d == kCertificateDirectory) {
      if (!has(rva, size)) problems.push_back(label + " runs past the end of the file");
      continue;
    }
    bool inside = uint64_t(rva) + size <= headersSize;
    for (const Section& s : sections) {
      if (rva < s.virtualAddress) continue;
      const uint64_t end = uint64_t(rva) - s.virtualAddress + size;
      if (end <= s.rawSize && has(uint64_t(s.rawOffset) + (rva - s.virtualAddress), size)) inside = true;
    }
    if (!inside) problems.push_back(label + " (" + Hex(rva) + "+" + Hex(size) + ") is not inside the file's sections");
  }
  return problems;
}

std::vector<PeSection> ReadPeSections(const std::vector<uint8_t>& image) {
  const uint32_t pe = ReadU32LE(image.data() + 0x3C);
  const uint16_t sectionCount = ReadU16LE(image.data() + pe + 6), optionalSize = ReadU16LE(image.data() + pe + 20);
  const uint64_t table = uint64_t(pe) + 4 + kFileHeaderSize + optionalSize;
  // The linker writes names longer than 8 bytes into the string table that follows the symbols.
  const uint32_t symbols = ReadU32LE(image.data() + pe + 4 + 8), symbolCount = ReadU32LE(image.data() + pe + 4 + 12);
  const uint64_t strings = uint64_t(symbols) + uint64_t(symbolCount) * kSymbolSize;
  const uint64_t stringsEnd = symbols != 0 ? strings + ReadU32LE(image.data() + strings) : 0;

  std::vector<PeSection> sections;
  for (uint16_t i = 0; i < sectionCount; ++i) {
    const uint8_t* header = image.data() + table + uint64_t(i) * kSectionHeaderSize;
    PeSection s{"", ReadU32LE(header + 16)};
    for (int k = 0; k < 8 && header[k] != 0; ++k) s.name += static_cast<char>(header[k]);
    if (s.name.size() > 1 && s.name[0] == '/' && s.name.find_first_not_of("0123456789", 1) == std::string::npos) {
      const uint64_t at = strings + std::stoul(s.name.substr(1));
      if (at < stringsEnd) {
        std::string full;
        for (uint64_t k = at; k < stringsEnd && image[k] != 0; ++k) full += static_cast<char>(image[k]);
        s.name = full;
      }
    }
    sections.push_back(s);
  }
  return sections;
}

}  // namespace vykcn::tool
