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

// The untranslated host text is drawn with the module's font too: Latin extras, and an arrow.
const char kCsv[] = "source,translation\nBye,再见！\n\"Café — “Wait”… →\",\n";

// A PNG file's pixels, `channels` bytes each; empty when it does not decode.
struct Png {
  int width = 0;
  int height = 0;
  std::vector<uint8_t> pixels;
};

Png ReadPng(const std::string& path, int channels) {
  const std::vector<uint8_t> bytes = ReadBytes(path);
  Png png;
  int stored = 0;
  stbi_uc* pixels = stbi_load_from_memory(bytes.data(), int(bytes.size()), &png.width, &png.height, &stored, channels);
  if (pixels == nullptr) return Png{};
  png.pixels.assign(pixels, pixels + size_t(png.width) * png.height * channels);
  stbi_image_free(pixels);
  return png;
}

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
  // ASCII (96) + 你好第一二再见！ + the Latin extras + the host text's arrow; the fuzzy entry's 鬼 is not
  // carried, so it gets no glyph.
  EXPECT_EQ(ReadBytes(files.glyphs).size(), (96u + 8u + 111u + 1u) * 24u);
  const std::vector<uint8_t> atlas = ReadBytes(files.atlas);
  ASSERT_EQ(atlas.size(), 2097280u);
  EXPECT_EQ(std::vector<uint8_t>(atlas.begin(), atlas.begin() + 128), ExpectedAtlasPrefix());
  EXPECT_NE(run.out.find("216 glyphs"), std::string::npos) << run.out;
  EXPECT_NE(run.out.find("PSNR"), std::string::npos) << run.out;
  const ToolRun untranslated = RunTool({"preview", "--glyphs", files.glyphs, "--atlas", files.atlas, "-o", files.png,
                                        "Café — “Wait”… →"});
  EXPECT_EQ(untranslated.exitCode, 0) << untranslated.err;

  // The same input gives the same bytes.
  const std::vector<uint8_t> glyphs = ReadBytes(files.glyphs);
  ASSERT_EQ(RunTool({"pack-font", "--font", kMicroHei, "--glyphs", files.glyphs, "--atlas", files.atlas, files.po,
                     files.csv}).exitCode, 0);
  EXPECT_EQ(ReadBytes(files.glyphs), glyphs);
  EXPECT_EQ(ReadBytes(files.atlas), atlas);

  // With a stamp, a run that would make the same files makes nothing; a lost output is made again.
  const std::string stamp = files.dir.Path("font.stamp");
  const std::vector<std::string> stamped = {"pack-font", "--font", kMicroHei, "--glyphs", files.glyphs, "--atlas",
                                            files.atlas, "--stamp", stamp, files.po, files.csv};
  EXPECT_NE(RunTool(stamped).out.find("PSNR"), std::string::npos);
  EXPECT_EQ(RunTool(stamped).out, "216 glyphs, up to date in " + files.glyphs + ", " + files.atlas + "\n");
  std::filesystem::remove(files.atlas);
  EXPECT_NE(RunTool(stamped).out.find("PSNR"), std::string::npos);
  EXPECT_EQ(ReadBytes(files.atlas), atlas);
  // The fallback fonts' bytes are part of what they are made from.
  const std::string fallback = files.dir.Path("fallback.ttf");
  WriteBytes(fallback, ReadBytes(kDejaVuSans));
  std::vector<std::string> withFallback = stamped;
  withFallback.insert(withFallback.begin() + 1, {"--fallback-font", fallback});
  EXPECT_NE(RunTool(withFallback).out.find("PSNR"), std::string::npos);
  EXPECT_EQ(RunTool(withFallback).out, "216 glyphs, up to date in " + files.glyphs + ", " + files.atlas + "\n");
  std::vector<uint8_t> changed = ReadBytes(kDejaVuSans);
  changed.push_back(0);  // a byte past the tables: the same glyphs, another file
  WriteBytes(fallback, changed);
  EXPECT_NE(RunTool(withFallback).out.find("PSNR"), std::string::npos);
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
  const Png png = ReadPng(files.png, 3);
  ASSERT_FALSE(png.pixels.empty());
  // Two lines of ideographs at twice the table's size: taller than two 50-pixel 'M's.
  EXPECT_GT(png.height, 100);
  EXPECT_GT(png.width, 100);

  // Wrapped to a box: no wider than the box and its margins, and the box's edge drawn in red.
  const ToolRun boxed = RunTool({"preview", "--glyphs", files.glyphs, "--atlas", files.atlas, "--max-width", "80", "-o",
                                 files.png, "你好你好你好你好"});
  ASSERT_EQ(boxed.exitCode, 0) << boxed.err;
  const Png box = ReadPng(files.png, 3);
  EXPECT_LT(box.width, 80 + 2 * 13 + 2);
  EXPECT_GT(box.height, 3 * 25);  // four ideographs of 32 px a line: two lines or more
  size_t red = 0;
  for (size_t i = 0; i + 2 < box.pixels.size(); i += 3) red += box.pixels[i] == 200 && box.pixels[i + 1] == 40;
  EXPECT_EQ(red, size_t(box.height));
  // The widest lines of a set, each under its width and place.
  const ToolRun widest = RunTool({"preview", "--glyphs", files.glyphs, "--atlas", files.atlas, "--widest", "2",
                                  "--translations", files.po, "-o", files.png});
  EXPECT_EQ(widest.exitCode, 0) << widest.err;
  // A line that never breaks and is far wider than a picture may be (a list of names without a
  // space), among a real catalogue's: lines broken at 1,600 px, the list cut, ending in a red arrow.
  std::string names;
  for (int i = 0; names.size() < 60000; ++i) names += "Name" + std::to_string(i) + ",";
  const std::string list = files.dir.Write("names.csv", "source,translation\nNames,\"" + names + "\"\n");
  const ToolRun cut = RunTool({"preview", "--glyphs", files.glyphs, "--atlas", files.atlas, "--widest", "10",
                               "--translations", list, "--translations",
                               std::string(VYKCN_TEST_DATA) + "/data/wesnoth-zh_CN.po", "--allow-missing", "-o",
                               files.png});
  ASSERT_EQ(cut.exitCode, 0) << cut.err;
  const Png wide = ReadPng(files.png, 3);
  EXPECT_LE(int64_t{wide.width} * wide.height, int64_t{16} << 20);
  size_t marked = 0;
  for (size_t i = 0; i + 2 < wide.pixels.size(); i += 3) marked += wide.pixels[i] == 200 && wide.pixels[i + 1] == 40;
  EXPECT_GT(marked, size_t(wide.height) + 100);  // the box's edge at 1,600 px, and the arrow

  const ToolRun broken = RunTool({"preview", "--glyphs", files.glyphs, "--atlas", files.po, "-o", files.png, "x"});
  EXPECT_EQ(broken.exitCode, 1);
  EXPECT_NE(broken.err.find("is not a font atlas"), std::string::npos) << broken.err;
}

// A text of `count` distinct ideographs from U+4E00 on (all in the font).
std::string Ideographs(uint32_t count) {
  std::string text;
  for (uint32_t c = 0x4E00; c < 0x4E00 + count; ++c) {
    text += char(0xE0 | (c >> 12));
    text += char(0x80 | ((c >> 6) & 0x3F));
    text += char(0x80 | (c & 0x3F));
  }
  return text;
}

uint8_t MHeight(const std::vector<uint8_t>& table) {
  for (size_t at = 0; at + 24 <= table.size(); at += 24) {
    if (table[at] == 'M' && table[at + 1] == 0) return table[at + 6];
  }
  return 0;
}

TEST(PackFontCommand, AtlasSizeGlyphHeightAndFaceOptions) {
  Files files;
  const std::vector<std::string> base = {"pack-font", "--font", kMicroHei, "--glyphs", files.glyphs, "--atlas",
                                         files.atlas, files.po};
  auto with = [&](std::vector<std::string> extra) {
    std::vector<std::string> args = base;
    args.insert(args.end(), extra.begin(), extra.end());
    return RunTool(args);
  };
  const ToolRun large = with({"--atlas-size", "4096x2048"});
  ASSERT_EQ(large.exitCode, 0) << large.err;
  const std::vector<uint8_t> atlas = ReadBytes(files.atlas);
  ASSERT_EQ(atlas.size(), 128u + 4096u * 2048u);
  EXPECT_EQ(std::vector<uint8_t>(atlas.begin(), atlas.begin() + 128), ExpectedAtlasPrefix(4096, 2048));
  EXPECT_NE(large.out.find("4096 x 2048 atlas"), std::string::npos) << large.out;
  EXPECT_NE(large.out.find("larger than the documented"), std::string::npos) << large.out;
  EXPECT_EQ(MHeight(ReadBytes(files.glyphs)), 25);

  const ToolRun forced = with({"--glyph-height", "18", "--face", "1"});
  ASSERT_EQ(forced.exitCode, 0) << forced.err;
  EXPECT_EQ(MHeight(ReadBytes(files.glyphs)), 18);
  EXPECT_NE(forced.out.find("'M' 18 px high"), std::string::npos) << forced.out;
  EXPECT_EQ(forced.out.find("chose"), std::string::npos) << forced.out;  // forced, not chosen

  struct Case {
    std::vector<std::string> extra;
    std::string expected;
  };
  const Case cases[] = {
      {{"--atlas-size", "3000x1000"}, "--atlas-size: 3000x1000 is not one of 2048x1024, 4096x2048, 4096x4096"},
      {{"--atlas-size", "1024x2048"}, "--atlas-size: 1024x2048 is not one of"},
      {{"--glyph-height", "5"}, "--glyph-height: Value 5 not in range 6 to 100"},
      {{"--glyph-height", "101"}, "--glyph-height: Value 101 not in range 6 to 100"},
      {{"--glyph-height", "15"}, "no size renders 'M' 15 pixels high"},
      {{"--face", "2"}, "has no face 2 (it has 2 faces, numbered from 0)"},
      {{"--face", "-1"}, "--face: Value -1 not in range 0 to 65535"},
  };
  for (const Case& c : cases) {
    std::filesystem::remove(files.glyphs);
    std::filesystem::remove(files.atlas);
    const ToolRun run = with(c.extra);
    EXPECT_EQ(run.exitCode, 1) << c.extra[1];
    EXPECT_NE(run.err.find(c.expected), std::string::npos) << run.err;
    EXPECT_FALSE(std::filesystem::exists(files.glyphs)) << c.extra[1];
    EXPECT_FALSE(std::filesystem::exists(files.atlas)) << c.extra[1];
  }
}

TEST(PackFontCommand, TooManyCharactersForTheSizeAreFittedOrRefusedAsAsked) {
  Files files;
  const std::string many = files.dir.Write("many.csv", "source,translation\nAll," + Ideographs(2200) + "\n");
  const ToolRun automatic =
      RunTool({"pack-font", "--font", kMicroHei, "--glyphs", files.glyphs, "--atlas", files.atlas, many});
  ASSERT_EQ(automatic.exitCode, 0) << automatic.err;
  const int chosen = MHeight(ReadBytes(files.glyphs));
  EXPECT_LT(chosen, 25);
  EXPECT_GE(chosen, 12);
  EXPECT_NE(automatic.out.find("chose " + std::to_string(chosen) + " px"), std::string::npos) << automatic.out;
  EXPECT_NE(automatic.out.find("scaled by"), std::string::npos) << automatic.out;

  std::filesystem::remove(files.glyphs);
  std::filesystem::remove(files.atlas);
  const ToolRun forced = RunTool({"pack-font", "--font", kMicroHei, "--glyphs", files.glyphs, "--atlas", files.atlas,
                                  "--glyph-height", "25", many});
  EXPECT_EQ(forced.exitCode, 1);
  EXPECT_NE(forced.err.find("do not fit the 2048 x 1024 atlas with 'M' 25 px high"), std::string::npos)
      << forced.err;
  EXPECT_FALSE(std::filesystem::exists(files.glyphs));
  EXPECT_FALSE(std::filesystem::exists(files.atlas));
}

TEST(PreviewCommand, DrawsTheAtlasItselfAtItsOwnSize) {
  Files files;
  // Not the documented size, so the picture's size is surely the atlas's own.
  ASSERT_EQ(RunTool({"pack-font", "--font", kMicroHei, "--glyphs", files.glyphs, "--atlas", files.atlas,
                     "--atlas-size", "4096x2048", files.po}).exitCode, 0);
  const ToolRun run =
      RunTool({"preview", "--glyphs", files.glyphs, "--atlas", files.atlas, "--draw-atlas", "-o", files.png});
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.out.find("the 4096 x 2048 atlas, 212 glyphs"), std::string::npos) << run.out;  // ASCII, 5, Latin
  const Png png = ReadPng(files.png, 1);
  ASSERT_FALSE(png.pixels.empty());
  EXPECT_EQ(png.width, 4096);
  EXPECT_EQ(png.height, 2048);
  // White glyphs on a dark ground: some texels bright, most dark.
  size_t bright = 0, dark = 0;
  for (const uint8_t texel : png.pixels) {
    bright += texel > 200;
    dark += texel < 40;
  }
  EXPECT_GT(bright, 1000u);
  EXPECT_GT(dark, png.pixels.size() * 9 / 10);

  const ToolRun withText = RunTool({"preview", "--glyphs", files.glyphs, "--atlas", files.atlas, "--draw-atlas",
                                    "-o", files.dir.Path("other.png"), "你好"});
  EXPECT_EQ(withText.exitCode, 1);
  EXPECT_NE(withText.err.find("--draw-atlas draws no text"), std::string::npos) << withText.err;
  EXPECT_FALSE(std::filesystem::exists(files.dir.Path("other.png")));
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
