// pack-font and preview as a user runs them: files in, files out, errors that leave nothing behind.
#include <gtest/gtest.h>

#include <stb_image.h>

#include <filesystem>

#include "tool_runner.h"
#include "tools/support/reference_formats.h"
#include "tools/support/test_files.h"
#include "tools/support/test_fonts.h"

namespace vykcn::test {
namespace {

const char kPo[] =
    "msgid \"\"\n"
    "msgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
    "msgid \"Hello\"\n"
    "msgstr \"你好\"\n\n"
    "msgid \"Two lines\"\n"
    "msgstr \"第一\\n第二\"\n\n"
    "#, fuzzy\n"
    "msgid \"Unsure\"\n"
    "msgstr \"鬼\"\n";

const char kCsv[] = "source,translation\nBye,再见！\n";

struct Files {
  TempDir dir;
  std::string po = dir.Write("lines.po", kPo);
  std::string csv = dir.Write("lines.csv", kCsv);
  std::string glyphs = dir.Path("glyphs.bin");
  std::string atlas = dir.Path("atlas.dds");
  std::string png = dir.Path("preview.png");
};

TEST(PackFontCommand, WritesTheGlyphTableAndTheExactAtlasFile) {
  Files files;
  const ToolRun run = RunTool({"pack-font", "--font", kMicroHei, "--glyphs", files.glyphs, "--atlas", files.atlas,
                               files.po, files.csv});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  // ASCII (96) + 你好第一二再见！; the fuzzy entry's 鬼 is not carried, so it gets no glyph.
  EXPECT_EQ(ReadBytes(files.glyphs).size(), (96u + 8u) * 24u);
  const std::vector<uint8_t> atlas = ReadBytes(files.atlas);
  ASSERT_EQ(atlas.size(), 2097280u);
  EXPECT_EQ(std::vector<uint8_t>(atlas.begin(), atlas.begin() + 128), ExpectedAtlasPrefix());
  EXPECT_NE(run.out.find("104 glyphs"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("PSNR"), std::string::npos) << run.out;

  // The same input gives the same bytes.
  const std::vector<uint8_t> glyphs = ReadBytes(files.glyphs);
  ASSERT_EQ(RunTool({"pack-font", "--font", kMicroHei, "--glyphs", files.glyphs, "--atlas", files.atlas, files.po,
                     files.csv}).exitCode, 0);
  EXPECT_EQ(ReadBytes(files.glyphs), glyphs);
  EXPECT_EQ(ReadBytes(files.atlas), atlas);
}

TEST(PackFontCommand, FailsClearlyAndWritesNothing) {
  Files files;
  struct Case {
    std::string font;
    std::string expected;
  };
  const Case cases[] = {
      {kDroidFallback, "lacks 94 characters: U+0021 U+0022"},  // a space and ideographs, no Latin
      {"/nonexistent/font.ttc", "cannot read /nonexistent/font.ttc"},
      {files.po, "cannot read font"},  // a text file is no font
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool({"pack-font", "--font", c.font, "--glyphs", files.glyphs, "--atlas", files.atlas, files.po});
    EXPECT_EQ(run.exitCode, 1) << c.font;
    EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(files.glyphs)) << c.font;
    EXPECT_FALSE(std::filesystem::exists(files.atlas)) << c.font;
  }
}

TEST(PreviewCommand, DrawsAPngAndReportsCharactersWithoutGlyphs) {
  Files files;
  ASSERT_EQ(RunTool({"pack-font", "--font", kMicroHei, "--glyphs", files.glyphs, "--atlas", files.atlas, files.po})
                .exitCode, 0);
  const ToolRun run = RunTool({"preview", "--glyphs", files.glyphs, "--atlas", files.atlas, "--height", "50",
                               "--allow-missing", "-o", files.png, "你好\n第二鬼"});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("no glyph for 1 characters: U+9B3C"), std::string::npos) << run.err;
  const std::vector<uint8_t> png = ReadBytes(files.png);
  int width = 0, height = 0, channels = 0;
  stbi_uc* pixels = stbi_load_from_memory(png.data(), int(png.size()), &width, &height, &channels, 3);
  ASSERT_NE(pixels, nullptr);
  // Two lines of ideographs at twice the table's size: taller than two 50-pixel 'M's.
  EXPECT_GT(height, 100);
  EXPECT_GT(width, 100);
  stbi_image_free(pixels);

  const ToolRun broken = RunTool({"preview", "--glyphs", files.glyphs, "--atlas", files.po, "-o", files.png, "x"});
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_NE(broken.err.find("is not a font atlas"), std::string::npos) << broken.err;
}

TEST(PreviewCommand, RefusesWhatItCannotDrawFaithfully) {
  Files files;
  ASSERT_EQ(RunTool({"pack-font", "--font", kMicroHei, "--glyphs", files.glyphs, "--atlas", files.atlas, files.po})
                .exitCode, 0);
  std::string manyLines;
  for (int i = 0; i < 400; ++i) manyLines += "你好\n";
  struct Case {
    std::vector<std::string> arguments;  // before -o PNG TEXT
    std::string text;
    std::string error;  // "" = drawn
  };
  const Case cases[] = {
      {{"--glyphs", files.glyphs, "--atlas", files.atlas}, "你好鬼", "no glyph for 1 characters: U+9B3C (--allow-missing"},
      {{"--glyphs", files.glyphs, "--atlas", files.atlas}, "你\t好", ""},  // tab needs no glyph
      {{"--glyphs", files.po, "--atlas", files.atlas}, "你好", files.po + " is not a glyph table"},
      {{"--glyphs", files.atlas, "--atlas", files.atlas}, "你好", "is not a glyph table: 2097280 bytes"},
      {{"--glyphs", files.glyphs, "--atlas", files.atlas, "--height", "255"}, manyLines, "more than 16 megapixels"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"preview"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    arguments.insert(arguments.end(), {"-o", files.png, c.text});
    const ToolRun run = RunTool(arguments);
    EXPECT_EQ(run.exitCode, c.error.empty() ? 0 : 1) << c.text.substr(0, 20) << "\n" << run.err;
    EXPECT_EQ(std::filesystem::exists(files.png), c.error.empty()) << c.text.substr(0, 20);
    if (c.error.empty()) {
      EXPECT_EQ(run.err, "") << c.text;
    } else {
      EXPECT_NE(run.err.find(c.error), std::string::npos) << run.err;
    }
    std::filesystem::remove(files.png);
  }
}

}  // namespace
}  // namespace vykcn::test
