#include "tools/support/test_pe_writer.h"

#include <algorithm>

#include "base/byte_order.h"
#include "tools/module_building/resource_section.h"
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

// The .rsrc section, as the toolkit writes one.
std::vector<uint8_t> ResourceSection(const std::vector<TestResource>& resources) {
  std::vector<tool::PeResource> written;
  for (const TestResource& r : resources) {
    tool::PeResource resource;
    resource.type.isString = !r.typeName.empty();
    resource.type.id = r.typeId;
    resource.type.text = r.typeName;
    resource.type.units.assign(r.typeName.begin(), r.typeName.end());
    resource.name.id = r.id;
    resource.language = r.language;
    resource.data = r.data;
    written.push_back(std::move(resource));
  }
  return tool::WriteResourceSection(written, kSectionRva);
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
  Put16(pe, 0x56, 0x2022);  // an executable image, a DLL, large addresses
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
