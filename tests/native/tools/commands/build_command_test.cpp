// `vykcn-tool build` on modules built test-side, from a folder as translators keep one on Windows:
// a Chinese name with a space, a subfolder, a GBK and a CR LF catalogue, a UTF-16 spreadsheet.
// Run against the Linux tool and, under Wine, against vykcn-tool.exe (tests/windows).
#include <gtest/gtest.h>

#include <filesystem>

#include "tool_runner.h"
#include "tools/support/test_files.h"
#include "tools/support/test_fonts.h"
#include "tools/support/test_pe_writer.h"

namespace vykcn::test {
namespace {

const std::string kManifest = "<requestedExecutionLevel level='asInvoker' uiAccess='false' />";

std::vector<uint8_t> Module(uint16_t atlasLanguage, bool atlas = true) {
  std::vector<TestResource> resources = {
      {"IDR_DATA", 0, 101, 2052, std::vector<uint8_t>(48, 1)},
      {"IDR_DATA", 0, 102, 2052, BuildTranslationResource({{0x1234, "\xE6\x97\xA7"}})},
      {"", 24, 2, 1033, std::vector<uint8_t>(kManifest.begin(), kManifest.end())},
  };
  if (atlas) resources.insert(resources.begin() + 2, {"", 10, 103, atlasLanguage, std::vector<uint8_t>(300, 2)});
  return BuildTestPe(resources, {{".reloc", 0x200}, {".gnu_debuglink", 0x20}});
}

TEST(BuildCommand, PutsAFoldersSetIntoAModuleAlikeEverywhereAndRefusesWhatIsNoModule) {
  const TempDir dir;
  const std::string set = dir.Path("\xE7\xBF\xBB\xE8\xAF\x91 set");  // 翻译 set
  std::filesystem::create_directories(set + "/sub");
  const std::string header = "msgid \"\"\r\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\r\n\r\n";
  dir.Write("\xE7\xBF\xBB\xE8\xAF\x91 set/a.po",
            header + "msgid \"Hello\"\r\nmsgstr \"\xE4\xBD\xA0\xE5\xA5\xBD\"\r\n\r\nmsgid \"Two\\n\"\r\n\"lines\"\r\n"
                     "msgstr \"\xE4\xB8\xA4\\n\"\r\n\"\xE8\xA1\x8C\"\r\n");
  dir.Write("\xE7\xBF\xBB\xE8\xAF\x91 set/gbk.PO",  // 打开 in GBK
            "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=GBK\\n\"\n\nmsgid \"Open\"\nmsgstr \"\xB4\xF2\xBF\xAA\"\n");
  static const char kSpreadsheet[] =  // source,translation / Bye,再见 in UTF-16LE
      "\xFF\xFEs\0o\0u\0r\0c\0e\0,\0t\0r\0a\0n\0s\0l\0a\0t\0i\0o\0n\0\n\0B\0y\0e\0,\0\x8D\x51\xC1\x89\n\0";
  dir.Write("\xE7\xBF\xBB\xE8\xAF\x91 set/sub/b.csv", std::string(kSpreadsheet, sizeof kSpreadsheet - 1));
  const std::string broken = dir.Path("broken");
  std::filesystem::create_directories(broken);
  dir.Write("broken/bell.po", "msgid \"Hi\"\nmsgstr \"\xE5\x97\xA8\"\n\nmsgid \"Bell\"\nmsgstr \"\xE9\x93\x83\\a\"\n");
  // 81 20 is no GBK character: libgettextpo says so at its line, through the platform's iconv or the toolkit's.
  const std::string badGbk = dir.Write("bad-gbk.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=GBK\\n\"\n\n"
                                                     "msgid \"a\"\nmsgstr \"\x81 \"\n\nmsgid \"b\"\nmsgstr \"\xBA\xC3\"\n");
  const std::string module = dir.Path("vykcn.dll");
  WriteBytes(module, Module(2052));
  WriteBytes(dir.Path("no-atlas.dll"), Module(2052, false));
  WriteBytes(dir.Path("english-atlas.dll"), Module(1033));
  const std::string out = dir.Path("out.dll");

  // The set is read alike by check, whatever the file's charset, line ends or folder.
  const ToolRun check = RunTool({"check", set + "/a.po", set + "/gbk.PO", set + "/sub/b.csv"});
  EXPECT_EQ(check.exitCode, 0) << check.out << check.err;
  EXPECT_NE(check.out.find(set + "/a.po: 2 entries: 2 records"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("records: 4, distinct characters: 8\natlas: 215 glyphs fit at 25 px\n0 errors, 0 warnings"), std::string::npos) << check.out;

  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    std::string expected;  // the start of stdout or of stderr
  };
  const Case cases[] = {
      {{"check", badGbk}, 1, badGbk + ":5: error: invalid multibyte sequence\n"},
      {{"build", set, "--module", module, "--font", kMicroHei, "-o", out}, 0,
       "built " + out + " (2104627 bytes) from 3 files: 4 records, 215 glyphs, 'M' 25 px, 2048 x 1024 atlas\n"},
      {{"build", set, "--module", set + "/a.po", "--font", kMicroHei, "-o", dir.Path("x.dll")}, 1,
       "vykcn-tool: " + set + "/a.po is no vykcn module: not a PE image (no MZ header)\n"},
      {{"build", set, "--module", dir.Path("no-atlas.dll"), "--font", kMicroHei, "-o", dir.Path("x.dll")}, 1,
       "vykcn-tool: " + dir.Path("no-atlas.dll") + " is no vykcn module: it has no font atlas (RT_RCDATA 103)\n"},
      {{"build", set, "--module", dir.Path("english-atlas.dll"), "--font", kMicroHei, "-o", dir.Path("x.dll")}, 1,
       "vykcn-tool: " + dir.Path("english-atlas.dll") + " is no vykcn module: its font atlas (RT_RCDATA 103) has "
       "language 1033, not 2052\n"},
      {{"build", broken, "--module", module, "--font", kMicroHei, "-o", dir.Path("x.dll")}, 1,
       broken + "/bell.po:4: error: control characters in the translation"},
      {{"build", set, "--module", module, "--font", kMicroHei, "-o", module}, 1,
       "vykcn-tool: will not overwrite " + module + ": it is also an input\n"},
  };
  for (const Case& c : cases) {
    const ToolRun run = RunTool(c.arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << c.arguments[1] << "\n" << run.out << run.err;
    EXPECT_TRUE(run.out.rfind(c.expected, 0) == 0 || run.err.rfind(c.expected, 0) == 0) << run.out << run.err;
  }
  EXPECT_FALSE(std::filesystem::exists(dir.Path("x.dll")));
  EXPECT_EQ(ReadBytes(module), Module(2052));

  // The module it wrote passes inspect and serves the set; built again, from it or as before, it
  // comes out the same, byte for byte.
  const ToolRun inspect = RunTool({"inspect", out});
  EXPECT_EQ(inspect.exitCode, 0) << inspect.out << inspect.err;
  const ToolRun pairs = RunTool({"unpack-text", out});
  EXPECT_NE(pairs.out.find("\xE4\xBD\xA0\xE5\xA5\xBD\n"), std::string::npos) << pairs.out;
  EXPECT_NE(pairs.out.find("\xE5\x86\x8D\xE8\xA7\x81\n"), std::string::npos) << pairs.out;
  EXPECT_EQ(RunTool({"build", set, "--module", out, "--font", kMicroHei, "-o", dir.Path("again.dll")}).exitCode, 0);
  EXPECT_EQ(ReadBytes(dir.Path("again.dll")), ReadBytes(out));
}

TEST(BuildCommand, DrawsWithTheFontsBesideTheProgramAndKeepsWhatItsStampSaysIsMade) {
  const TempDir dir;
  const std::string set = dir.Path("set");
  std::filesystem::create_directories(set);
  const std::string po = dir.Write("set/a.po", "msgid \"Hello\"\nmsgstr \"\xE4\xBD\xA0\xE5\xA5\xBD\"\n\n"  // 你好
                                               "msgid \"Gee\"\nmsgstr \"Ge\xCA\xBBez\"\n");  // ʻ: DejaVu Sans alone has it
  const std::string module = dir.Path("vykcn.dll");
  WriteBytes(module, Module(2052));

  // Without --font: WenQuanYi Micro Hei, then DejaVu Sans, as they lie beside the program.
  ASSERT_EQ(RunTool({"build", set, "--module", module, "--font", kMicroHei, "--fallback-font", kDejaVuSans, "-o",
                     dir.Path("chain.dll")}).exitCode, 0);
  const ToolRun byDefault = RunTool({"build", set, "--module", module, "-o", dir.Path("default.dll")});
  EXPECT_EQ(byDefault.exitCode, 0) << byDefault.out << byDefault.err;
  EXPECT_EQ(ReadBytes(dir.Path("default.dll")), ReadBytes(dir.Path("chain.dll")));
  // A copy of the program with no fonts beside it says where it looked, and writes nothing.
  const char* const exe = WindowsToolUnderTest();
  std::filesystem::create_directories(dir.Path("lone"));
  const std::string lone = dir.Path(exe != nullptr ? "lone/vykcn-tool.exe" : "lone/vykcn-tool");
  std::filesystem::copy_file(exe != nullptr ? exe : VYKCN_TOOL_PATH, lone);
  const ToolRun fontless =
      exe != nullptr ? RunProgram({"/bin/bash", VYKCN_SOURCE_ROOT "/scripts/wine-run.sh", "--windows-paths", lone},
                                  {"build", set, "--module", module, "-o", dir.Path("x.dll")})
                     : RunProgram({lone}, {"build", set, "--module", module, "-o", dir.Path("x.dll")});
  EXPECT_EQ(fontless.exitCode, 1);
  EXPECT_NE(fontless.err.find("wqy-microhei.ttc: the toolkit looks for its fonts beside the program; give --font FONT"),
            std::string::npos) << fontless.err;
  EXPECT_FALSE(std::filesystem::exists(dir.Path("x.dll")));

  // With --stamp: the same set again writes nothing; an edit that adds no character draws no glyph
  // again, and gives what a build without the stamp gives.
  const std::string stamped = dir.Path("stamped.dll");
  const std::vector<std::string> build = {"build", set, "--module", module, "--stamp", dir.Path("stamp"), "-o", stamped};
  EXPECT_EQ(RunTool(build).exitCode, 0);
  EXPECT_EQ(ReadBytes(stamped), ReadBytes(dir.Path("chain.dll")));
  const ToolRun again = RunTool(build);
  EXPECT_EQ(again.out, "up to date: " + stamped + " from 1 file: 2 records\n") << again.err;
  dir.Write("set/a.po", "msgid \"Hello\"\nmsgstr \"\xE5\xA5\xBD\xE4\xBD\xA0\"\n\nmsgid \"Gee\"\nmsgstr \"Ge\xCA\xBBez\"\n");
  const ToolRun edited = RunTool(build);
  EXPECT_NE(edited.out.find(" glyphs (as drawn before), "), std::string::npos) << edited.out << edited.err;
  EXPECT_EQ(RunTool({"build", set, "--module", module, "-o", dir.Path("fresh.dll")}).exitCode, 0);
  EXPECT_EQ(ReadBytes(stamped), ReadBytes(dir.Path("fresh.dll")));
  EXPECT_NE(ReadBytes(stamped), ReadBytes(dir.Path("chain.dll")));
}

}  // namespace
}  // namespace vykcn::test
