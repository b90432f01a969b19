// Reading a module's resource directory from PE files built test-side.
#include <gtest/gtest.h>

#include "common/command_error.h"
#include "module_reading/pe_resources.h"
#include "tools/support/test_pe_writer.h"

namespace vykcn::tool {
namespace {

using test::BuildTestPe;

TEST(PeResources, ListsTypesIdsLanguagesAndBytes) {
  const std::vector<uint8_t> pe = BuildTestPe({
      {"IDR_DATA", 0, 101, 2052, {1, 2, 3}},
      {"IDR_DATA", 0, 102, 2052, {4}},
      {"", 10, 103, 2052, std::vector<uint8_t>(1000, 7)},
      {"", 24, 2, 1033, {'<', '>'}},
  });
  const std::vector<PeResource> resources = ReadPeResources(pe);
  ASSERT_EQ(resources.size(), 4u);
  EXPECT_TRUE(resources[0].type.Is("IDR_DATA"));
  EXPECT_TRUE(resources[0].name.Is(101));
  EXPECT_EQ(resources[0].language, 2052);
  EXPECT_EQ(resources[0].data, (std::vector<uint8_t>{1, 2, 3}));
  EXPECT_TRUE(resources[1].name.Is(102));
  EXPECT_TRUE(resources[2].type.Is(uint16_t{10}));
  EXPECT_EQ(resources[2].data.size(), 1000u);
  EXPECT_EQ(resources[3].language, 1033);

  ResourceName data;
  data.isString = true;
  data.text = "IDR_DATA";
  EXPECT_EQ(FindPeResource(resources, data, 102), &resources[1]);
  EXPECT_EQ(FindPeResource(resources, data, 103), nullptr);  // 103 is RT_RCDATA, not IDR_DATA
}

TEST(PeResources, RejectsFilesThatAreNotSoundPeImages) {
  EXPECT_THROW(ReadPeResources({'n', 'o', 't'}), CommandError);
  std::vector<uint8_t> pe = BuildTestPe({{"IDR_DATA", 0, 101, 2052, std::vector<uint8_t>(64, 1)}});
  std::vector<uint8_t> noSignature = pe;
  noSignature[0x40] = 'X';
  EXPECT_THROW(ReadPeResources(noSignature), CommandError);
  std::vector<uint8_t> cut(pe.begin(), pe.end() - 32);  // the data runs past the end
  EXPECT_THROW(ReadPeResources(cut), CommandError);
  std::vector<uint8_t> wild = pe;
  wild[0x200 + 16 + 4] = 0xF0;  // root entry pointing far outside the section
  EXPECT_THROW(ReadPeResources(wild), CommandError);
}

}  // namespace
}  // namespace vykcn::tool
