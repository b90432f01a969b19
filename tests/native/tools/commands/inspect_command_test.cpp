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
using test::TestSection;

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
  AtlasSize recordsFor{};  // the atlas size the glyph records address
  AtlasSize atlas{};       // the size of resource 103
  std::vector<TestSection> sections{};  // beside .rsrc
};

// Writes the module; `glyphs`, when given, receives the number of glyph records packed.
std::string WriteModule(const test::TempDir& dir, const std::string& name, const ModuleParts& parts,
                        size_t* glyphs = nullptr) {
  FontPackOptions options;
  options.atlas = parts.recordsFor;
  const FontPack pack = BuildFontPack(test::kMicroHei, BuildGlyphCharset(parts.glyphTexts), options);
  if (glyphs != nullptr) *glyphs = pack.records.size();
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
  test::WriteBytes(path, BuildTestPe(resources, parts.sections));
  return path;
}

// A sound module passes whatever other sections it has; debug sections, by short or long name, are
// named in a warning with their size. --summary prints the one line and the same warning.
TEST(Inspect, PassesASoundModuleAndListsItsResources) {
  struct Case {
    const char* name;
    std::vector<TestSection> sections;
    std::string warning;  // on stderr; "" for none
  };
  const Case cases[] = {
      {"resources only", {}, ""},
      {"the debug file's link", {{".gnu_debuglink", 0x20}, {".reloc", 0x200}}, ""},
      {"debug sections", {{".reloc", 0x200}, {".debug_info", 0x400}, {".debug_line", 0x200}},
       "carries debug sections .debug_info, .debug_line (1536 bytes): strip them before shipping\n"},
      {"a short debug name", {{".debug_a", 0x80}}, "carries debug sections .debug_a (128 bytes)"},
  };
  const test::TempDir dir;
  for (const Case& c : cases) {
    ModuleParts parts{{"你好，世界", "再见"}, {"你好，世界", "再见\n你好"}};
    parts.sections = c.sections;
    size_t glyphs = 0;
    const std::string dll = WriteModule(dir, std::string(c.name) + ".dll", parts, &glyphs);
    const test::ToolRun run = test::RunTool({"inspect", dll});
    EXPECT_EQ(run.exitCode, 0) << c.name << "\n" << run.out << run.err;
    EXPECT_NE(run.out.find("\"IDR_DATA\"      101      2052"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("RT_RCDATA       103      2052    2097280"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("RT_MANIFEST       2      1033"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("2 records"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("all checks passed"), std::string::npos) << run.out;

    const test::ToolRun summary = test::RunTool({"inspect", "--summary", dll});
    EXPECT_EQ(summary.exitCode, 0) << c.name << "\n" << summary.err;
    EXPECT_EQ(summary.out, "2 records, " + std::to_string(glyphs) + " glyphs, 'M' 25 px, 2048 x 1024 atlas\n")
        << c.name;
    for (const test::ToolRun* r : {&run, &summary}) {
      if (c.warning.empty()) {
        EXPECT_EQ(r->err, "") << c.name;
      } else {
        EXPECT_EQ(r->err.rfind("warning: " + dll + " ", 0), 0u) << c.name << "\n" << r->err;
        EXPECT_NE(r->err.find(c.warning), std::string::npos) << c.name << "\n" << r->err;
      }
    }
  }
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

  // A module that fails its checks has no summary: the problems instead.
  const test::ToolRun summary = test::RunTool({"inspect", "--summary", dll});
  EXPECT_EQ(summary.exitCode, 1);
  EXPECT_EQ(summary.out.find("records,"), std::string::npos) << summary.out;
  EXPECT_NE(summary.out.find("glyph table lacks 3 characters"), std::string::npos) << summary.out;
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
  const std::string dll = WriteModule(dir, "large.dll", large);
  const test::ToolRun run = test::RunTool({"inspect", dll});
  EXPECT_EQ(run.exitCode, 0) << run.out;
  EXPECT_NE(run.out.find("DDS, 4096 x 2048 DXT5"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("larger than the documented 2048 x 1024"), std::string::npos) << run.out;
  const test::ToolRun summary = test::RunTool({"inspect", "--summary", dll});
  EXPECT_NE(summary.out.find(" glyphs, 'M' 25 px, 4096 x 2048 atlas\n"), std::string::npos) << summary.out;

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

TEST(Inspect, RefusesAFileWhoseStructureIsBroken) {
  const test::TempDir dir;
  const std::vector<uint8_t> sound = test::ReadBytes(WriteModule(dir, "sound.dll", {{"好"}, {"好"}}));
  struct Case {
    const char* name;
    std::vector<uint8_t> bytes;
    std::string problem;  // on stdout
  };
  auto cut = [&](size_t size) { return std::vector<uint8_t>(sound.begin(), sound.begin() + long(size)); };
  auto patched = [&](size_t at, uint8_t value) {
    std::vector<uint8_t> bytes = sound;
    bytes[at] = value;
    return bytes;
  };
  const size_t optional = 0x58, section = optional + 240;
  const Case cases[] = {
      {"one byte short", cut(sound.size() - 1), "section 1 \".rsrc\": raw data 0x200+"},
      {"cut inside the section", cut(0x300), "runs past the end of the file"},
      {"headers only", cut(0x200), "runs past the end of the file"},
      {"odd file alignment", patched(optional + 36, 0x33), "PE alignments are inconsistent"},
      {"section beyond the image", patched(optional + 58, 0), "ends beyond the image size"},
      {"directory outside", patched(optional + 112 + 16 + 2, 0x7F), "resource directory (0x"},
      {"sections past the file", patched(0x47, 0xFF), "section table (65281 sections) runs past"},
      {"raw data moved off", patched(section + 22, 0x40), "runs past the end of the file"},
      {"symbols past the end", patched(0x4C + 3, 0x01), "COFF symbol table (0 symbols at 0x1000000) runs past"},
  };
  for (const Case& c : cases) {
    const std::string path = dir.Path(c.name);
    test::WriteBytes(path, c.bytes);
    const test::ToolRun run = test::RunTool({"inspect", path});
    EXPECT_EQ(run.exitCode, 1) << c.name << "\n" << run.out << run.err;
    EXPECT_NE((run.out + run.err).find(c.problem), std::string::npos) << c.name << "\n" << run.out << run.err;
    EXPECT_EQ(run.out.find("all checks passed"), std::string::npos) << c.name;
  }
}

TEST(UnpackText, ReadsAModulesTranslations) {
  const test::TempDir dir;
  const std::string dll = WriteModule(dir, "sound.dll", {{"你好"}, {"你好", "再见"}});
  const test::ToolRun run = test::RunTool({"unpack-text", dll});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("0x00001000\t你好\n0x00001001\t再见\n"), std::string::npos) << run.out;

  const std::string bare = dir.Path("bare.dll");
  test::WriteBytes(bare, BuildTestPe({{"", 24, 2, 1033, std::vector<uint8_t>(kManifest.begin(), kManifest.end())}}));
  const test::ToolRun none = test::RunTool({"unpack-text", bare});
  EXPECT_EQ(none.exitCode, 1);
  EXPECT_NE(none.err.find("is a module without translations"), std::string::npos) << none.err;
}

}  // namespace
}  // namespace vykcn::tool
