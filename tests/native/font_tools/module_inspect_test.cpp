// Reading a module's resource directory, and `vykcn-tool inspect` on modules built test-side.
#include <gtest/gtest.h>

#include "atlas_file.h"
#include "commands.h"
#include "formats/dds_atlas.h"
#include "font_pack.h"
#include "font_test_support.h"
#include "glyph_charset.h"
#include "formats/glyph_table.h"
#include "pe_resources.h"
#include "test_pe_writer.h"

namespace vykcn::tool {
namespace {

using test::BuildTestPe;
using test::BuildTranslationResource;
using test::TestResource;

const std::string kManifest =
    "<assembly><trustInfo><security><requestedPrivileges>"
    "<requestedExecutionLevel level='asInvoker' uiAccess='false' />"
    "</requestedPrivileges></security></trustInfo></assembly>";

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

// A module whose glyph table covers `glyphTexts` and whose translations are `translations`.
struct ModuleParts {
  std::vector<std::string> glyphTexts;
  std::vector<std::string> translations;
  bool goodAtlasHeader = true;
  bool manifest = true;
};

std::string WriteModule(const std::string& name, const ModuleParts& parts) {
  const FontPack pack = BuildFontPack(test::kMicroHei, BuildGlyphCharset(parts.glyphTexts));
  std::vector<uint8_t> atlas = BuildAtlasFile(std::vector<uint8_t>(kAtlasBlockBytes, 0));
  if (!parts.goodAtlasHeader) atlas[dds_offset::kFourCC + 3] = '1';  // "DXT1"
  std::vector<std::pair<uint32_t, std::string>> texts;
  for (size_t i = 0; i < parts.translations.size(); ++i) texts.emplace_back(0x1000 + uint32_t(i), parts.translations[i]);
  std::vector<TestResource> resources = {
      {"IDR_DATA", 0, 101, 2052, SerializeGlyphTable(pack.records)},
      {"IDR_DATA", 0, 102, 2052, BuildTranslationResource(texts)},
      {"", 10, 103, 2052, atlas},
  };
  if (parts.manifest) resources.push_back({"", 24, 2, 1033, std::vector<uint8_t>(kManifest.begin(), kManifest.end())});
  const std::string path = test::TempPath(name);
  test::WriteBytes(path, BuildTestPe(resources));
  return path;
}

TEST(Inspect, PassesASoundModuleAndListsItsResources) {
  const std::string dll = WriteModule("sound.dll", {{"你好，世界", "再见"}, {"你好，世界", "再见\n你好"}});
  const test::ToolRun run = test::RunTool({"inspect", dll});
  EXPECT_EQ(run.exitCode, 0) << run.output;
  EXPECT_NE(run.output.find("\"IDR_DATA\"      101      2052"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("RT_RCDATA       103      2052    2097280"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("RT_MANIFEST       2      1033"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("2 records"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("all checks passed"), std::string::npos) << run.output;
  std::remove(dll.c_str());
}

TEST(Inspect, FailsWhenTheAtlasLacksATranslatedCharacter) {
  // 界 (U+754C) and 见 (U+89C1) are translated but were not packed.
  const std::string dll = WriteModule("lacking.dll", {{"你好，世"}, {"你好，世界", "再见"}});
  const test::ToolRun run = test::RunTool({"inspect", dll});
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("glyph table lacks 3 characters used by the translations: U+518D U+754C U+89C1"),
            std::string::npos) << run.output;
  EXPECT_NE(run.output.find("1 problem"), std::string::npos) << run.output;
  std::remove(dll.c_str());
}

TEST(Inspect, FailsOnAWrongAtlasHeaderAMissingManifestOrAnUnreadableFile) {
  const std::string dll = WriteModule("bad-parts.dll", {{"好"}, {"好"}, false, false});
  const test::ToolRun run = test::RunTool({"inspect", dll});
  EXPECT_EQ(run.exitCode, 1) << run.output;
  EXPECT_NE(run.output.find("font atlas (103): its DDS header"), std::string::npos) << run.output;
  EXPECT_NE(run.output.find("manifest (RT_MANIFEST 2) is missing"), std::string::npos) << run.output;
  std::remove(dll.c_str());

  const std::string text = test::TempPath("not-a-dll.txt");
  test::WriteBytes(text, {'h', 'e', 'l', 'l', 'o'});
  const test::ToolRun notPe = test::RunTool({"inspect", text});
  EXPECT_EQ(notPe.exitCode, 1);
  EXPECT_NE(notPe.output.find("not a PE image"), std::string::npos) << notPe.output;
  std::remove(text.c_str());
}

}  // namespace
}  // namespace vykcn::tool
