#include "tools/support/test_pe_writer.h"

#include <algorithm>

#include "base/byte_order.h"
#include "tools/common/translation_packing.h"
#include "tools/support/reference_formats.h"

namespace vykcn::test {
namespace {

void Put16(std::vector<uint8_t>& b, size_t at, uint16_t v) { WriteU16LE(&b[at], v); }
void Put32(std::vector<uint8_t>& b, size_t at, uint32_t v) { WriteU32LE(&b[at], v); }

constexpr uint32_t kSectionRva = 0x1000;
constexpr uint32_t kSectionFileOffset = 0x200;
constexpr uint32_t kFileAlignment = 0x200, kSectionAlignment = 0x1000;

uint32_t AlignUp(size_t value, uint32_t alignment) { return (uint32_t(value) + alignment - 1) & ~(alignment - 1); }

// The .rsrc section's bytes: three directory levels, data entries, name strings, then the data.
std::vector<uint8_t> ResourceSection(const std::vector<TestResource>& resources) {
  std::vector<std::vector<size_t>> types;  // indices of the resources of each type
  for (size_t i = 0; i < resources.size(); ++i) {
    const bool sameType = !types.empty() && resources[types.back()[0]].typeName == resources[i].typeName &&
                          resources[types.back()[0]].typeId == resources[i].typeId;
    if (sameType) {
      types.back().push_back(i);
    } else {
      types.push_back({i});
    }
  }
  const size_t rootSize = 16 + 8 * types.size();
  size_t at = rootSize;
  std::vector<size_t> typeDir(types.size()), nameDir(resources.size()), dataEntry(resources.size());
  for (size_t t = 0; t < types.size(); ++t) {
    typeDir[t] = at;
    at += 16 + 8 * types[t].size();
  }
  for (size_t r = 0; r < resources.size(); ++r) nameDir[r] = at, at += 16 + 8;
  for (size_t r = 0; r < resources.size(); ++r) dataEntry[r] = at, at += 16;
  std::vector<size_t> typeString(types.size());
  for (size_t t = 0; t < types.size(); ++t) {
    const std::string& name = resources[types[t][0]].typeName;
    if (!name.empty()) typeString[t] = at, at += 2 + 2 * name.size();
  }
  std::vector<size_t> dataAt(resources.size());
  for (size_t r = 0; r < resources.size(); ++r) {
    at = (at + 7) & ~size_t(7);
    dataAt[r] = at;
    at += resources[r].data.size();
  }
  std::vector<uint8_t> s(at, 0);

  Put16(s, 12, 0), Put16(s, 14, 0);
  uint16_t named = 0, numbered = 0;
  for (size_t t = 0; t < types.size(); ++t) {
    const TestResource& first = resources[types[t][0]];
    const size_t entry = 16 + 8 * t;
    if (!first.typeName.empty()) {
      ++named;
      Put32(s, entry, 0x80000000u | uint32_t(typeString[t]));
      Put16(s, typeString[t], uint16_t(first.typeName.size()));
      for (size_t k = 0; k < first.typeName.size(); ++k) Put16(s, typeString[t] + 2 + 2 * k, uint8_t(first.typeName[k]));
    } else {
      ++numbered;
      Put32(s, entry, first.typeId);
    }
    Put32(s, entry + 4, 0x80000000u | uint32_t(typeDir[t]));
    Put16(s, typeDir[t] + 14, uint16_t(types[t].size()));
    for (size_t k = 0; k < types[t].size(); ++k) {
      const size_t r = types[t][k];
      Put32(s, typeDir[t] + 16 + 8 * k, resources[r].id);
      Put32(s, typeDir[t] + 16 + 8 * k + 4, 0x80000000u | uint32_t(nameDir[r]));
      Put16(s, nameDir[r] + 14, 1);
      Put32(s, nameDir[r] + 16, resources[r].language);
      Put32(s, nameDir[r] + 20, uint32_t(dataEntry[r]));
      Put32(s, dataEntry[r], kSectionRva + uint32_t(dataAt[r]));
      Put32(s, dataEntry[r] + 4, uint32_t(resources[r].data.size()));
      std::copy(resources[r].data.begin(), resources[r].data.end(), s.begin() + long(dataAt[r]));
    }
  }
  Put16(s, 12, named);
  Put16(s, 14, numbered);
  return s;
}

}  // namespace

std::vector<uint8_t> BuildTestPe(const std::vector<TestResource>& resources,
                                 const std::vector<TestSection>& sections) {
  const std::vector<uint8_t> section = ResourceSection(resources);
  // The other sections follow .rsrc in the file and in memory; their long names, the string table.
  std::vector<uint8_t> pe(kSectionFileOffset + section.size(), 0);
  uint32_t rva = kSectionRva + AlignUp(section.size(), kSectionAlignment);
  std::vector<uint32_t> rvas, offsets;
  std::string strings;
  for (const TestSection& s : sections) {
    pe.resize(AlignUp(pe.size(), kFileAlignment), 0);
    rvas.push_back(rva);
    offsets.push_back(uint32_t(pe.size()));
    pe.resize(pe.size() + s.size, 0);
    rva += AlignUp(s.size, kSectionAlignment);
  }
  const uint32_t stringTable = uint32_t(pe.size());
  pe[0] = 'M', pe[1] = 'Z';
  Put32(pe, 0x3C, 0x40);
  pe[0x40] = 'P', pe[0x41] = 'E';
  Put16(pe, 0x44, 0x8664);  // machine: x86-64
  Put16(pe, 0x46, uint16_t(1 + sections.size()));
  Put16(pe, 0x54, 240);     // optional header: PE32+ with 16 data directories
  const size_t optional = 0x58;
  Put16(pe, optional, 0x20B);
  Put32(pe, optional + 32, kSectionAlignment);
  Put32(pe, optional + 36, kFileAlignment);
  Put32(pe, optional + 56, rva);  // image size
  Put32(pe, optional + 60, kSectionFileOffset);  // headers' size
  Put32(pe, optional + 108, 16);
  Put32(pe, optional + 112 + 2 * 8, kSectionRva);  // resource directory
  Put32(pe, optional + 112 + 2 * 8 + 4, uint32_t(section.size()));
  const size_t header = optional + 240;
  const char name[] = ".rsrc";
  std::copy(name, name + 5, pe.begin() + long(header));
  Put32(pe, header + 8, uint32_t(section.size()));
  Put32(pe, header + 12, kSectionRva);
  Put32(pe, header + 16, uint32_t(section.size()));
  Put32(pe, header + 20, kSectionFileOffset);
  std::copy(section.begin(), section.end(), pe.begin() + kSectionFileOffset);
  for (size_t i = 0; i < sections.size(); ++i) {
    const size_t at = header + 40 * (i + 1);
    std::string name = sections[i].name;
    if (name.size() > 8) {
      const size_t offset = 4 + strings.size();  // the table's own size comes first
      strings += name + '\0';
      name = "/" + std::to_string(offset);
    }
    std::copy(name.begin(), name.end(), pe.begin() + long(at));
    Put32(pe, at + 8, sections[i].size);
    Put32(pe, at + 12, rvas[i]);
    Put32(pe, at + 16, sections[i].size);
    Put32(pe, at + 20, offsets[i]);
  }
  if (!strings.empty()) {
    Put32(pe, 0x4C, stringTable);  // a symbol table of no symbols, then the strings
    pe.resize(pe.size() + 4, 0);
    Put32(pe, stringTable, uint32_t(4 + strings.size()));
    pe.insert(pe.end(), strings.begin(), strings.end());
  }
  return pe;
}

std::vector<uint8_t> BuildTranslationResource(const std::vector<std::pair<uint32_t, std::string>>& texts) {
  return tool::PackTranslationResource(ImageOfRecords(texts));
}

}  // namespace vykcn::test
