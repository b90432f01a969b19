// A module's resource section replaced on PE images built test-side with what a linker may put after
// it: relocations, a debug directory pointing at raw data, COFF strings. The section grows or
// shrinks; everything after it must move with every pointer to it, and an image whose layout
// would break is refused.
#include <gtest/gtest.h>

#include <algorithm>

#include "base/byte_order.h"
#include "common/command_error.h"
#include "module_building/module_image.h"
#include "module_reading/pe_structure.h"
#include "tools/support/test_pe_writer.h"

namespace vykcn::tool {
namespace {

constexpr size_t kOptional = 0x58, kDirectories = kOptional + 112, kSections = kOptional + 240;
constexpr uint32_t kMarker = 0x4B4E4356;  // "VCNK", at the start of each section after .rsrc

uint32_t U32(const std::vector<uint8_t>& b, size_t at) { return ReadU32LE(&b[at]); }
void Put(std::vector<uint8_t>& b, size_t at, uint32_t v) { WriteU32LE(&b[at], v); }
uint32_t SectionField(const std::vector<uint8_t>& b, int section, size_t field) { return U32(b, kSections + 40 * section + field); }

// .rsrc, then .reloc (one relocation block), .rdata (one debug entry naming .data's bytes) and .data.
std::vector<uint8_t> Image(size_t atlasSize) {
  std::vector<uint8_t> image = test::BuildTestPe(
      {{"IDR_DATA", 0, 101, 2052, std::vector<uint8_t>(48, 1)},
       {"", 10, 103, 2052, std::vector<uint8_t>(atlasSize, 3)}},
      {{".reloc", 0x200}, {".rdata", 0x200}, {".data_with_a_long_name", 0x200}});
  for (int s = 2; s <= 3; ++s) Put(image, SectionField(image, s, 20), kMarker + s);
  const uint32_t reloc = SectionField(image, 1, 12), rdata = SectionField(image, 2, 12), data = SectionField(image, 3, 12);
  Put(image, kDirectories + 8 * 5, reloc);  // a block for page 0: the headers, which never move
  Put(image, kDirectories + 8 * 5 + 4, 12);
  Put(image, SectionField(image, 1, 20) + 4, 12);
  Put(image, kDirectories + 8 * 6, rdata + 16);  // one debug entry, at 16 in .rdata
  Put(image, kDirectories + 8 * 6 + 4, 28);
  const size_t entry = SectionField(image, 2, 20) + 16;
  Put(image, entry + 16, 8);
  Put(image, entry + 20, data + 8);
  Put(image, entry + 24, SectionField(image, 3, 20) + 8);
  Put(image, SectionField(image, 3, 20) + 8, kMarker);
  return image;
}

TEST(ModuleImage, WhatFollowsTheResourcesMovesWithEveryPointerToIt) {
  const std::vector<uint8_t> base = Image(0x2000);
  const std::vector<PeResource> resources = ReadPeResources(base);
  const struct {
    const char* name;
    size_t atlasSize;
  } cases[] = {{"same", 0x2000}, {"grown", 0x9123}, {"shrunk", 0x10}};
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    std::vector<PeResource> replaced = resources;
    replaced[1].data.assign(c.atlasSize, 9);
    const std::vector<uint8_t> out = ReplaceResourceSection(base, replaced, "m.dll");
    EXPECT_EQ(CheckPeStructure(out), std::vector<std::string>{});
    EXPECT_EQ(U32(out, kOptional + 64), PeChecksum(out));
    EXPECT_EQ(ReadPeResources(out)[1].data, replaced[1].data);
    EXPECT_EQ(U32(out, SectionField(out, 1, 20) + 4), 12u);  // the relocation block, in its new place
    for (int s = 2; s <= 3; ++s) EXPECT_EQ(U32(out, SectionField(out, s, 20)), kMarker + s) << s;
    // The next section starts at the first page after the new .rsrc, in memory.
    const uint32_t rsrcEnd = SectionField(out, 0, 12) + SectionField(out, 0, 8);
    EXPECT_EQ(SectionField(out, 1, 12), (rsrcEnd + 0xFFF) & ~0xFFFu);
    const int64_t moved = int64_t(SectionField(out, 1, 12)) - int64_t(SectionField(base, 1, 12));
    EXPECT_TRUE(c.atlasSize == 0x2000 ? moved == 0 : (moved > 0) == (c.atlasSize > 0x2000)) << moved;
    EXPECT_EQ(U32(out, kDirectories + 8 * 5), SectionField(out, 1, 12));  // the relocations' directory
    const size_t entry = SectionField(out, 2, 20) + (U32(out, kDirectories + 8 * 6) - SectionField(out, 2, 12));
    EXPECT_EQ(U32(out, entry + 20), SectionField(out, 3, 12) + 8);  // the debug data, by address
    EXPECT_EQ(U32(out, U32(out, entry + 24)), kMarker);             // and by file offset
    EXPECT_EQ(ReadPeSections(out)[3].name, ".data_with_a_long_name");  // COFF strings moved too
    EXPECT_EQ(U32(out, kOptional + 56), SectionField(out, 3, 12) + 0x1000);  // the image size
  }

  // Layouts where moving would break the image are refused, naming it.
  const auto patched = [&](size_t at, uint32_t value, uint32_t next = 0) {
    std::vector<uint8_t> image = base;
    Put(image, at, value);
    if (next != 0) Put(image, at + 4, next);
    return image;
  };
  const struct {
    std::vector<uint8_t> image;
    std::string message;
  } refusals[] = {
      {patched(kDirectories + 8 * 4 + 4, 0x10), "it is signed, and its signature would no longer match"},
      {patched(SectionField(base, 1, 20), 0x1000), "base relocations patch the sections that would move"},
      {patched(kDirectories + 8 * 1, 0x1010), "its resource section holds other data"},
      {patched(kDirectories + 8 * 2, 0x1008, 0x100), "its resource directory does not start a section"},
  };
  for (const auto& r : refusals) {
    try {
      ReplaceResourceSection(r.image, resources, "m.dll");
      ADD_FAILURE() << "accepted: " << r.message;
    } catch (const CommandError& e) {
      EXPECT_EQ(std::string(e.what()), "m.dll: cannot replace its resources: " + r.message);
    }
  }
}

}  // namespace
}  // namespace vykcn::tool
