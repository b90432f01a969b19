// `vykcn-tool inspect` on modules built test-side.
#include <gtest/gtest.h>

#include "font_building/atlas_file.h"
#include "font_building/font_pack.h"
#include "font_building/glyph_charset.h"
#include "formats/dds_atlas.h"
#include "formats/glyph_table.h"
#include "tool_runner.h"
#include "tools/support/test_files.h"
#include "tools/support/test_fonts.h"
#include "tools/support/test_pe_writer.h"

namespace vykcn::tool {
namespace {

using test::BuildTestPe;
using test::BuildTranslationResource;
using test::TestResource;

const std::string kManifest =
    "<assembly><trustInfo><security><requestedPrivileges>"
    "<requestedExecutionLevel level='asInvoker' uiAccess='false' />"
    "</requestedPrivileges></security></trustInfo></assembly>";

// A module whose glyph table covers `glyphTexts` and whose translations are `translations`.
struct ModuleParts {
  std::vector<std::string> glyphTexts;
  std::vector<std::string> translations;
  bool goodAtlasHeader = true;
  bool manifest = true;
  AtlasSize recordsFor;  // the atlas size the glyph records address
  AtlasSize atlas;       // the size of resource 103
};

std::string WriteModule(const test::TempDir& dir, const std::string& name, const ModuleParts& parts) {
  FontPackOptions options;
  options.atlas = parts.recordsFor;
  const FontPack pack = BuildFontPack(test::kMicroHei, BuildGlyphCharset(parts.glyphTexts), options);
  std::vector<uint8_t> atlas = BuildAtlasFile(std::vector<uint8_t>(AtlasBlockBytes(parts.atlas), 0), parts.atlas);
  if (!parts.goodAtlasHeader) atlas[dds_offset::kFourCC + 3] = '1';  // "DXT1"
  std::vector<std::pair<uint32_t, std::string>> texts;
  for (size_t i = 0; i < parts.translations.size(); ++i) texts.emplace_back(0x1000 + uint32_t(i), parts.translations[i]);
  std::vector<TestResource> resources = {
      {"IDR_DATA", 0, 101, 2052, SerializeGlyphTable(pack.records)},
      {"IDR_DATA", 0, 102, 2052, BuildTranslationResource(texts)},
      {"", 10, 103, 2052, atlas},
  };
  if (parts.manifest) resources.push_back({"", 24, 2, 1033, std::vector<uint8_t>(kManifest.begin(), kManifest.end())});
  const std::string path = dir.Path(name);
  test::WriteBytes(path, BuildTestPe(resources));
  return path;
}

TEST(Inspect, PassesASoundModuleAndListsItsResources) {
  const test::TempDir dir;
  const std::string dll = WriteModule(dir, "sound.dll", {{"你好，世界", "再见"}, {"你好，世界", "再见\n你好"}});
  const test::ToolRun run = test::RunTool({"inspect", dll});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("\"IDR_DATA\"      101      2052"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("RT_RCDATA       103      2052    2097280"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("RT_MANIFEST       2      1033"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("2 records"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("all checks passed"), std::string::npos) << run.out;
}

TEST(Inspect, FailsWhenTheAtlasLacksATranslatedCharacter) {
  // 界 (U+754C) and 见 (U+89C1) are translated but were not packed.
  const test::TempDir dir;
  const std::string dll = WriteModule(dir, "lacking.dll", {{"你好，世"}, {"你好，世界", "再见"}});
  const test::ToolRun run = test::RunTool({"inspect", dll});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_NE(run.out.find("glyph table lacks 3 characters used by the translations: U+518D U+754C U+89C1"),
            std::string::npos) << run.out;
  EXPECT_NE(run.err.find("1 problem"), std::string::npos) << run.err;
}

TEST(Inspect, FailsOnAWrongAtlasHeaderAMissingManifestOrAnUnreadableFile) {
  const test::TempDir dir;
  const std::string dll = WriteModule(dir, "bad-parts.dll", {{"好"}, {"好"}, false, false});
  const test::ToolRun run = test::RunTool({"inspect", dll});
  EXPECT_EQ(run.exitCode, 1) << run.err;
  EXPECT_NE(run.out.find("font atlas (103): its DDS header"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("manifest (RT_MANIFEST 2) is missing"), std::string::npos) << run.out;

  const std::string text = dir.Write("not-a-dll.txt", "hello");
  const test::ToolRun notPe = test::RunTool({"inspect", text});
  EXPECT_EQ(notPe.exitCode, 1);
  EXPECT_NE(notPe.err.find("not a PE image"), std::string::npos) << notPe.err;
}

// A larger atlas passes, said to be larger; records must address the atlas the module carries.
TEST(Inspect, ChecksTheRecordsAgainstTheAtlasOwnSize) {
  const test::TempDir dir;
  ModuleParts large{{"你好"}, {"你好"}};
  large.recordsFor = large.atlas = AtlasSize{4096, 2048};
  const test::ToolRun run = test::RunTool({"inspect", WriteModule(dir, "large.dll", large)});
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("DDS, 4096 x 2048 DXT5"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("larger than the documented 2048 x 1024"), std::string::npos) << run.out;

  struct Case {
    AtlasSize recordsFor, atlas;
  };
  for (const Case& c : {Case{{4096, 2048}, {2048, 1024}}, Case{{2048, 1024}, {4096, 4096}}}) {
    ModuleParts mismatched{{"你好"}, {"你好"}};
    mismatched.recordsFor = c.recordsFor;
    mismatched.atlas = c.atlas;
    const test::ToolRun wrong = test::RunTool({"inspect", WriteModule(dir, "mismatched.dll", mismatched)});
    EXPECT_EQ(wrong.exitCode, 1) << wrong.out;
    EXPECT_NE(wrong.out.find(": atlas rectangle "), std::string::npos) << wrong.out;
  }
}

}  // namespace
}  // namespace vykcn::tool
