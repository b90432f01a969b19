#include "module_building/module_image.h"

#include <algorithm>

#include "base/byte_order.h"
#include "common/command_error.h"
#include "module_building/resource_section.h"
#include "module_reading/pe_structure.h"

namespace vykcn::tool {
namespace {

constexpr size_t kFileHeaderSize = 20, kSectionHeaderSize = 40, kDebugEntrySize = 28;
constexpr uint32_t kResourceDirectory = 2, kCertificateDirectory = 4, kRelocationDirectory = 5, kDebugDirectory = 6;
constexpr size_t kChecksumField = 64;  // in the optional header, both formats

uint64_t AlignUp(uint64_t value, uint32_t alignment) { return (value + alignment - 1) / alignment * alignment; }

// The places of the fields this file changes.
struct Layout {
  size_t optional;     // optional header
  size_t directories;  // data directory array
  uint32_t directoryCount;
  size_t sections;     // section table
  uint16_t sectionCount;
  uint32_t sectionAlignment, fileAlignment;
  size_t SectionField(uint16_t section, size_t field) const { return sections + kSectionHeaderSize * section + field; }
};

Layout ReadLayout(const std::vector<uint8_t>& image) {
  Layout layout{};
  const uint32_t pe = ReadU32LE(&image[0x3C]);
  layout.sectionCount = ReadU16LE(&image[pe + 6]);
  layout.optional = pe + 4 + kFileHeaderSize;
  const bool plus = ReadU16LE(&image[layout.optional]) == 0x20B;
  layout.directories = layout.optional + (plus ? 112 : 96);
  layout.directoryCount = ReadU32LE(&image[layout.directories - 4]);
  layout.sections = layout.optional + ReadU16LE(&image[pe + 20]);
  layout.sectionAlignment = ReadU32LE(&image[layout.optional + 32]);
  layout.fileAlignment = ReadU32LE(&image[layout.optional + 36]);
  return layout;
}

}  // namespace

uint32_t PeChecksum(const std::vector<uint8_t>& image) {
  const size_t field = ReadLayout(image).optional + kChecksumField;
  uint64_t sum = 0;
  for (size_t at = 0; at < image.size(); at += 2) {
    if (at == field || at == field + 2) continue;
    sum += at + 1 < image.size() ? ReadU16LE(&image[at]) : image[at];
    sum = (sum & 0xFFFF) + (sum >> 16);
  }
  sum = (sum & 0xFFFF) + (sum >> 16);
  return static_cast<uint32_t>(sum + image.size());
}

std::vector<uint8_t> ReplaceResourceSection(const std::vector<uint8_t>& image, const std::vector<PeResource>& resources,
                                            const std::string& path) {
  const std::vector<std::string> problems = CheckPeStructure(image);
  if (!problems.empty()) throw CommandError(path + ": " + problems[0]);
  const Layout layout = ReadLayout(image);
  const auto fail = [&](const std::string& why) { throw CommandError(path + ": cannot replace its resources: " + why); };
  const auto directory = [&](uint32_t index, uint32_t field) {
    return index < layout.directoryCount ? ReadU32LE(&image[layout.directories + 8 * index + field]) : 0u;
  };
  if (directory(kCertificateDirectory, 4) != 0) fail("it is signed, and its signature would no longer match");
  const uint32_t resourceRva = directory(kResourceDirectory, 0);
  if (resourceRva == 0) fail("it has no resource section");

  // The resource section: the one whose start the resource directory is.
  uint16_t rsrc = layout.sectionCount;
  for (uint16_t i = 0; i < layout.sectionCount; ++i) {
    if (ReadU32LE(&image[layout.SectionField(i, 12)]) == resourceRva) rsrc = i;
  }
  if (rsrc == layout.sectionCount) fail("its resource directory does not start a section");
  const uint32_t oldVirtualSize = ReadU32LE(&image[layout.SectionField(rsrc, 8)]);
  const uint32_t oldRawSize = ReadU32LE(&image[layout.SectionField(rsrc, 16)]);
  const uint32_t rawOffset = ReadU32LE(&image[layout.SectionField(rsrc, 20)]);
  const uint64_t oldEnd = uint64_t(resourceRva) + std::max(oldVirtualSize, oldRawSize);
  const uint64_t oldRawEnd = uint64_t(rawOffset) + oldRawSize;
  for (uint16_t i = 0; i < layout.sectionCount; ++i) {
    const uint32_t raw = ReadU32LE(&image[layout.SectionField(i, 20)]), rawSize = ReadU32LE(&image[layout.SectionField(i, 16)]);
    if (i != rsrc && rawSize != 0 && (i < rsrc ? raw + uint64_t(rawSize) > rawOffset : raw < oldRawEnd)) {
      fail("its sections' data are not in the order of the sections");
    }
  }
  for (uint32_t d = 0; d < layout.directoryCount; ++d) {
    const uint32_t rva = directory(d, 0);
    if (d != kResourceDirectory && rva >= resourceRva && rva < oldEnd) fail("its resource section holds other data");
  }

  const std::vector<uint8_t> section = WriteResourceSection(resources, resourceRva);
  const uint32_t newRawSize = static_cast<uint32_t>(AlignUp(section.size(), layout.fileAlignment));
  const int64_t moveInMemory = int64_t(AlignUp(resourceRva + section.size(), layout.sectionAlignment)) -
                               int64_t(AlignUp(oldEnd, layout.sectionAlignment));
  const int64_t moveInFile = int64_t(newRawSize) - int64_t(oldRawSize);

  std::vector<uint8_t> out(image.begin(), image.begin() + rawOffset);
  out.insert(out.end(), section.begin(), section.end());
  out.resize(rawOffset + size_t(newRawSize), 0);
  out.insert(out.end(), image.begin() + std::ptrdiff_t(oldRawEnd), image.end());
  const auto moveRva = [&](size_t at) {
    const uint32_t rva = ReadU32LE(&out[at]);
    if (rva >= oldEnd) WriteU32LE(&out[at], uint32_t(rva + moveInMemory));
  };
  const auto moveOffset = [&](size_t at) {
    const uint32_t offset = ReadU32LE(&out[at]);
    if (offset >= oldRawEnd) WriteU32LE(&out[at], uint32_t(offset + moveInFile));
  };

  // Base relocations patch the image in memory: none may lie in what moves.
  const uint32_t relocations = directory(kRelocationDirectory, 0), relocationsSize = directory(kRelocationDirectory, 4);
  for (uint16_t i = 0; relocations != 0 && i < layout.sectionCount; ++i) {
    const uint32_t va = ReadU32LE(&image[layout.SectionField(i, 12)]), raw = ReadU32LE(&image[layout.SectionField(i, 20)]);
    const uint32_t rawSize = ReadU32LE(&image[layout.SectionField(i, 16)]);
    if (relocations < va || uint64_t(relocations) + relocationsSize > uint64_t(va) + rawSize) continue;
    for (uint64_t block = raw + uint64_t(relocations - va); block + 8 <= uint64_t(raw) + (relocations - va) + relocationsSize;) {
      const uint32_t page = ReadU32LE(&image[block]), blockSize = ReadU32LE(&image[block + 4]);
      if (blockSize < 8) break;
      if (page >= resourceRva) fail("base relocations patch the sections that would move");
      block += blockSize;
    }
  }

  WriteU32LE(&out[layout.SectionField(rsrc, 8)], uint32_t(section.size()));
  WriteU32LE(&out[layout.SectionField(rsrc, 16)], newRawSize);
  uint64_t imageEnd = 0;
  for (uint16_t i = 0; i < layout.sectionCount; ++i) {
    if (i > rsrc) {
      moveRva(layout.SectionField(i, 12));
      moveOffset(layout.SectionField(i, 20));
      moveOffset(layout.SectionField(i, 24));  // COFF relocations and line numbers, which images
      moveOffset(layout.SectionField(i, 28));  // rarely hold: they move with the data if they do
    }
    const uint32_t va = ReadU32LE(&out[layout.SectionField(i, 12)]);
    const uint32_t extent = std::max(ReadU32LE(&out[layout.SectionField(i, 8)]), ReadU32LE(&out[layout.SectionField(i, 16)]));
    imageEnd = std::max(imageEnd, uint64_t(va) + extent);
  }
  const uint32_t pe = ReadU32LE(&out[0x3C]);
  moveOffset(pe + 4 + 8);  // the COFF symbol table, after the sections
  WriteU32LE(&out[layout.optional + 56], uint32_t(AlignUp(imageEnd, layout.sectionAlignment)));
  WriteU32LE(&out[layout.optional + 8], uint32_t(int64_t(ReadU32LE(&out[layout.optional + 8])) + moveInFile));
  for (uint32_t d = 0; d < layout.directoryCount; ++d) {
    if (d != kResourceDirectory) moveRva(layout.directories + 8 * d);
  }
  WriteU32LE(&out[layout.directories + 8 * kResourceDirectory + 4], uint32_t(section.size()));

  // Debug entries name their data by address and by file offset.
  const bool debugListed = kDebugDirectory < layout.directoryCount;
  const uint32_t debug = debugListed ? ReadU32LE(&out[layout.directories + 8 * kDebugDirectory]) : 0;
  const uint32_t debugSize = debugListed ? directory(kDebugDirectory, 4) : 0;
  for (uint16_t i = 0; debug != 0 && i < layout.sectionCount; ++i) {
    const uint32_t va = ReadU32LE(&out[layout.SectionField(i, 12)]), raw = ReadU32LE(&out[layout.SectionField(i, 20)]);
    const uint32_t rawSize = ReadU32LE(&out[layout.SectionField(i, 16)]);
    if (debug < va || uint64_t(debug) + debugSize > uint64_t(va) + rawSize) continue;
    for (uint32_t entry = 0; entry + kDebugEntrySize <= debugSize; entry += kDebugEntrySize) {
      moveRva(raw + (debug - va) + entry + 20);
      moveOffset(raw + (debug - va) + entry + 24);
    }
  }

  WriteU32LE(&out[layout.optional + kChecksumField], PeChecksum(out));
  const std::vector<std::string> after = CheckPeStructure(out);
  if (!after.empty()) fail("the rebuilt image would not be sound (" + after[0] + ")");
  return out;
}

}  // namespace vykcn::tool
