// vykcn-tool diff between modules, resources and folders of translators' files, with diff's exit
// statuses: 0 the same, 1 different, 2 trouble.
#include <gtest/gtest.h>

#include <filesystem>

#include "common/hash_label.h"
#include "tool_runner.h"
#include "tools/support/reference_formats.h"
#include "tools/support/test_files.h"
#include "tools/support/test_fonts.h"
#include "tools/support/test_pe_writer.h"

namespace vykcn::test {
namespace {

using tool::HashLabel;

const char kHeader[] = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";

std::string Hash(const std::string& host) { return HashLabel(TestHash(host)); }

// A folder of translators' files, packed to a resource, and with its glyph table and atlas (at
// 'M' `glyphHeight` px) into a module.
struct Build {
  std::string folder, resource, module;
};

Build MakeBuild(const TempDir& dir, const std::string& name, const std::string& po, const std::string& csv,
                const std::string& glyphHeight = "16") {
  Build build{dir.Path(name), dir.Path(name + ".res"), dir.Path(name + ".dll")};
  std::filesystem::create_directory(build.folder);
  dir.Write(name + "/a.po", kHeader + po);
  dir.Write(name + "/B.CSV", "source,translation\n" + csv);
  const ToolRun packed = RunTool({"pack-text", build.folder + "/a.po", build.folder + "/B.CSV", "-o", build.resource});
  EXPECT_EQ(packed.exitCode, 0) << packed.err;
  const std::string glyphs = dir.Path(name + ".glyphs"), atlas = dir.Path(name + ".dds");
  const ToolRun font = RunTool({"pack-font", "--font", kMicroHei, "--glyph-height", glyphHeight, "--glyphs", glyphs,
                                "--atlas", atlas, build.folder + "/a.po", build.folder + "/B.CSV"});
  EXPECT_EQ(font.exitCode, 0) << font.err;
  WriteBytes(build.module, BuildTestPe({{"IDR_DATA", 0, 101, 2052, ReadBytes(glyphs)},
                                        {"IDR_DATA", 0, 102, 2052, ReadBytes(build.resource)},
                                        {"", 10, 103, 2052, ReadBytes(atlas)}}));
  return build;
}

TEST(DiffCommand, ListsRecordsAddedRemovedAndChangedAndExitsLikeDiff) {
  TempDir dir;
  const std::string oldPo = "msgid \"Yes\"\nmsgstr \"是\"\n\nmsgid \"No\"\nmsgstr \"否\"\n\n"
                            "msgid \"Gone\\nsoon\"\nmsgstr \"去\\n了\"\n";
  const Build old = MakeBuild(dir, "old", oldPo, "\"Tab\there\",制表\n");
  const Build tall = MakeBuild(dir, "tall", oldPo, "\"Tab\there\",制表\n", "21");
  const Build now = MakeBuild(dir, "new",
                              "msgid \"Yes\"\nmsgstr \"是\"\n\nmsgid \"No\"\nmsgstr \"不\"\n\n"
                              "msgid \"Added\"\nmsgstr \"新\"\n",
                              "\"Tab\there\",制表\n");
  const std::string named = "records: 1 added, 1 removed, 1 changed, 2 unchanged\n";
  const std::string removed = "- " + Hash("Gone\nsoon") + " \"Gone\\nsoon\": \"去\\n了\"\n";
  const std::string changed = "~ " + Hash("No") + " \"No\": \"否\" -> \"不\"\n";
  const std::string added = "+ " + Hash("Added") + " \"Added\": \"新\"\n";

  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    std::vector<std::string> lines;  // in stdout, in this order
  };
  const Case cases[] = {
      {{old.resource, old.folder}, 0,
       {"records: 0 added, 0 removed, 0 changed, 4 unchanged\n",
        "records only: " + old.resource + " (a translation resource) and " + old.folder +
            " (translators' files) carry no font\n"}},
      {{old.module, old.resource}, 0,
       {"records: 0 added, 0 removed, 0 changed, 4 unchanged\n",
        "records only: " + old.resource + " (a translation resource) carries no font\n"}},
      // Two modules: glyphs and atlas too. The same translations with 'M' 16 and 21 px high.
      {{old.module, old.module}, 0, {"glyphs: 0 added, 0 removed, 0 changed, 213 unchanged\n",
                                     "atlas: 0 glyphs changed, 213 unchanged\n"}},
      {{old.module, tall.module}, 1,
       {"records: 0 added, 0 removed, 0 changed, 4 unchanged\n", "~ U+0020: advance 6 -> 8\n",
        "~ U+004D M: offsetY -16 -> -21, advance 20 -> 26, width 16 -> 21, height 16 -> 21; drawn differently\n",
        "glyphs: 0 added, 0 removed, 213 changed, 0 unchanged\n", "atlas: 210 glyphs changed, 3 unchanged\n"}},
      {{old.module, now.module}, 1, {"- U+53BB 去\n", "+ U+4E0D 不\n", "+ U+65B0 新\n", "glyphs: 2 added, 3 removed"}},
      // Translators' files packed as pack-text packs them: wrapped at 40 px, 制表 takes two lines.
      {{old.resource, old.folder, "--font", kMicroHei, "--wrap", "40"}, 1,
       {"~ " + Hash("Tab\there") + " \"Tab\\there\": \"制表\" -> \"制\\n表\"\n"}},
      {{old.folder + "/a.po", old.module}, 1, {"+ " + Hash("Tab\there") + ": \"制表\"\n"}},
      {{old.folder, now.folder}, 1, {removed, changed, added, named}},
      {{old.module, now.folder}, 1, {"- " + Hash("Gone\nsoon") + ": \"去\\n了\"\n", changed, added, named}},
      {{old.resource, now.module}, 1,
       {"- " + Hash("Gone\nsoon") + ": \"去\\n了\"\n", "~ " + Hash("No") + ": \"否\" -> \"不\"\n", named}},
      {{old.resource, now.module, "--source", old.folder + "/a.po"}, 1,
       {removed, changed, "+ " + Hash("Added") + ": \"新\"\n", named}},
      {{now.resource, old.folder}, 1, {"- " + Hash("Added") + ": \"新\"\n", "+ " + Hash("Gone\nsoon") + " \"Gone\\nsoon\""}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"diff"};
    arguments.insert(arguments.end(), c.arguments.begin(), c.arguments.end());
    const ToolRun run = RunTool(arguments);
    const std::string label = c.arguments[0] + " " + c.arguments[1] + "\n" + run.out + run.err;
    EXPECT_EQ(run.exitCode, c.exitCode) << label;
    size_t at = 0;
    for (const std::string& line : c.lines) {
      const size_t found = run.out.find(line, at);
      EXPECT_NE(found, std::string::npos) << line << " after " << at << " in\n" << label;
      if (found != std::string::npos) at = found + line.size();
    }
  }
  EXPECT_EQ(RunTool({"diff", old.folder, now.folder}).out,
            removed + changed + added + named + "records only: " + old.folder + " (translators' files) and " +
                now.folder + " (translators' files) carry no font\n");
}

TEST(DiffCommand, TroubleEndsInExitStatusTwoAndSaysWhy) {
  TempDir dir;
  const Build good = MakeBuild(dir, "good", "msgid \"Yes\"\nmsgstr \"是\"\n", "No,否\n");
  const std::string conflicting = dir.Path("conflicting");
  std::filesystem::create_directory(conflicting);
  dir.Write("conflicting/a.po", std::string(kHeader) + "msgid \"Yes\"\nmsgstr \"是\"\n");
  dir.Write("conflicting/b.csv", "source,translation\nYes,对\n");
  const std::string empty = dir.Path("empty");
  std::filesystem::create_directory(empty);
  std::vector<uint8_t> corrupt = ReadBytes(good.resource);
  corrupt.resize(corrupt.size() / 2);
  const std::string cut = dir.Path("cut.res");
  WriteBytes(cut, corrupt);
  const std::string fontless = dir.Path("fontless.dll");  // a module's font is compared: it must have one
  WriteBytes(fontless, BuildTestPe({{"IDR_DATA", 0, 102, 2052, ReadBytes(good.resource)}}));

  struct Case {
    std::vector<std::string> arguments;
    std::string message;  // on the last line of stderr
  };
  const Case cases[] = {
      {{"diff", good.resource, dir.Path("missing.res")}, "cannot read " + dir.Path("missing.res")},
      {{"diff", good.resource, cut}, cut},
      {{"diff", fontless, good.module}, fontless + " has no resource \"IDR_DATA\" 101"},
      {{"diff", conflicting, good.folder}, conflicting + ": 1 error (listed above)"},
      {{"diff", empty, good.folder}, empty + ": no .po or .csv files in the folder"},
      {{"diff", good.resource}, "NEW is required"},
      {{"diff", good.resource, good.resource, "--source", dir.Path("missing.po")}, "cannot read"},
      {{"diff", good.folder, good.resource, "--font", kMicroHei, "--fallback-font", dir.Path("missing.ttf")},
       "cannot read " + dir.Path("missing.ttf")},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.exitCode, 2) << c.arguments[1] << "\n" << run.err;
    EXPECT_TRUE(run.out.empty()) << run.out;
    // The tool's own last line (a sanitizer's report of suppressed leaks in a library may follow it).
    const size_t at = run.err.rfind("vykcn-tool: ");
    ASSERT_NE(at, std::string::npos) << run.err;
    ASSERT_TRUE(at == 0 || run.err[at - 1] == '\n') << run.err;
    const std::string last = run.err.substr(at, run.err.find('\n', at) - at);
    EXPECT_NE(last.find(c.message), std::string::npos) << run.err;
  }
  EXPECT_EQ(RunTool({"diff", good.resource, good.folder}, "/dev/full").exitCode, 2);
  // Other commands keep exit status 1 for their failures.
  EXPECT_EQ(RunTool({"unpack-text", dir.Path("missing.res")}).exitCode, 1);
}

}  // namespace
}  // namespace vykcn::test
