// Every subcommand refuses a wrong path before any work: one line on stderr, exit 1, and every
// file in the folder exactly as it was. Usage mistakes are told the same way, and the README names
// what the help does.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "checks/finding.h"
#include "tool_runner.h"
#include "tools/support/test_files.h"
#include "tools/support/test_fonts.h"

namespace vykcn::test {
namespace {

namespace fs = std::filesystem;

std::map<std::string, std::vector<uint8_t>> Snapshot(const std::string& folder) {
  std::map<std::string, std::vector<uint8_t>> files;
  for (const fs::directory_entry& entry : fs::recursive_directory_iterator(folder)) {
    if (entry.is_regular_file()) files[entry.path().string()] = ReadBytes(entry.path().string());
  }
  return files;
}

void ExpectOneLineFailure(const ToolRun& run, const std::string& expected, const std::string& label) {
  EXPECT_EQ(run.exitCode, 1) << label << "\n" << run.err;
  EXPECT_EQ(run.err.rfind("vykcn-tool: ", 0), 0u) << label << "\n" << run.err;
  EXPECT_EQ(std::count(run.err.begin(), run.err.end(), '\n'), 1) << label << "\n" << run.err;
  EXPECT_NE(run.err.find(expected), std::string::npos) << label << "\n" << run.err;
}

TEST(CommandPaths, EveryCommandRefusesBadPathsAndLosesNothing) {
  TempDir dir;
  const std::string po = dir.Write("in.po", "msgid \"Hello\"\nmsgstr \"你好\"\n");
  const std::string bin = dir.Write("in.bin", "some bytes that are no resource");
  const std::string folder = dir.Path("folder");
  fs::create_directory(folder);
  const std::string hardLink = dir.Path("hard.po");
  fs::create_hard_link(po, hardLink);
  const std::string symLink = dir.Path("sym.bin");
  fs::create_symlink(bin, symLink);
  const std::string glyphs = dir.Write("glyphs.bin", std::string(48, 'g'));
  const std::string glyphsLink = dir.Path("glyphs-link.bin");
  fs::create_hard_link(glyphs, glyphsLink);
  const std::string atlas = dir.Write("atlas.dds", "not really an atlas");
  const std::string missing = dir.Path("missing.po");
  const std::string victim = dir.Write("victim.po", "msgid \"Keep\"\nmsgstr \"\xE7\x95\x99\"\n");
  const std::string out = dir.Path("out.bin");
  const std::string same = dir.Path("same.bin");
  // A file that is no regular file, in the test's own folder: were the check ever lost, the tool
  // would replace this, never a device of the system.
  const std::string fifo = dir.Path("fifo");
  ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);

  struct Case {
    std::vector<std::string> arguments;
    std::string expected;
  };
  const Case cases[] = {
      {{"check", folder}, folder + ": no .po or .csv files in the folder or its subfolders"},
      {{"check", po, "--font", missing}, "cannot read " + missing},
      {{"compress", folder, out}, "cannot read " + folder + ": Is a directory"},
      {{"compress", missing, out}, "cannot read " + missing + ": No such file or directory"},
      {{"compress", bin, folder}, "cannot write " + folder + ": Is a directory"},
      {{"compress", bin, bin}, "will not overwrite " + bin + ": it is also an input"},
      {{"compress", bin, fifo}, "cannot write " + fifo + ": not a regular file"},
      {{"decompress", folder, out}, "Is a directory"},
      {{"decompress", bin, bin}, "it is also an input"},
      {{"decompress", "--raw", "--size", "10", bin, symLink}, "will not overwrite " + symLink},
      {{"hash", "--file", folder}, "cannot read " + folder + ": Is a directory"},
      {{"inspect", folder}, "cannot read " + folder + ": Is a directory"},
      {{"inspect", missing}, "No such file or directory"},
      {{"pack-text", po, "-o", po}, "will not overwrite " + po},
      {{"pack-text", po, "-o", hardLink}, "will not overwrite " + hardLink},
      {{"pack-text", folder, "-o", out}, folder + ": no .po or .csv files in the folder or its subfolders"},
      {{"files", folder}, folder + ": no .po or .csv files in the folder or its subfolders"},
      {{"pack-text", po, "-o", folder}, "cannot write " + folder},
      {{"pack-text", po, "-o", victim}, "will not write binary data to " + victim},
      {{"pack-text", po, "--host-texts", missing, "-o", out}, "cannot read " + missing},
      {{"compress", bin, dir.Path("notes.CSV")}, "will not write binary data to " + dir.Path("notes.CSV")},
      {{"pack-font", "--font", kMicroHei, "--glyphs", same, "--atlas", same, po}, "two outputs name the same file"},
      {{"pack-font", "--font", kMicroHei, "--glyphs", glyphs, "--atlas", glyphsLink, po}, "the same file as " + glyphs},
      {{"pack-font", "--font", folder, "--glyphs", out, "--atlas", same, po}, "Is a directory"},
      {{"pack-font", "--font", kMicroHei, "--glyphs", po, "--atlas", out, po}, "will not overwrite " + po},
      {{"pack-font", "--glyphs", BesideTheTool("wqy-microhei.ttc"), "--atlas", out, po},  // the default font is an input
       "will not overwrite " + BesideTheTool("wqy-microhei.ttc") + ": it is also an input"},
      {{"pack-font", "--font", kMicroHei, "--fallback-font", folder, "--glyphs", out, "--atlas", same, po},
       "cannot read " + folder + ": Is a directory"},
      {{"preview", "--glyphs", folder, "--atlas", atlas, "-o", out, "x"}, "Is a directory"},
      {{"preview", "--glyphs", glyphs, "--atlas", atlas, "-o", glyphs, "x"}, "will not overwrite " + glyphs},
      {{"preview", "--dll", missing, "-o", out, "x"}, "No such file or directory"},
      {{"unpack-text", folder}, "Is a directory"},
      {{"unpack-text", bin, "--source", folder}, "cannot read " + folder},
      {{"unpack-text", bin, "--source", po, "-o", po}, "will not overwrite " + po},
      {{"unpack-text", bin, "-o", dir.Path("out.txt")}, "unknown kind of file (expected .po or .csv)"},
      {{"watch", missing, "--into", folder}, missing + ": not a folder"},
      {{"watch", folder, "--into", po}, po + ": not a folder (--into takes the folder of the game's executable)"},
      {{"watch", folder, "--into", folder, "--font", missing}, "cannot read " + missing},
  };
  const auto before = Snapshot(dir.Path(""));
  for (const Case& c : cases) {
    std::string label;
    for (const std::string& argument : c.arguments) label += argument + " ";
    ExpectOneLineFailure(RunTool(c.arguments), c.expected, label);
    EXPECT_EQ(Snapshot(dir.Path("")), before) << label;
  }
}

TEST(CommandUsage, MistakesAreNamedInOneLine) {
  TempDir dir;
  const std::string bin = dir.Write("in.bin", "bytes");
  struct Case {
    std::vector<std::string> arguments;
    std::string expected;
  };
  const Case cases[] = {
      {{"hash"}, "hash needs a TEXT or --file FILE"},
      {{"frobnicate", "x"}, "unknown command 'frobnicate'"},
      {{"compress", "--window", "100000", bin, dir.Path("out")}, "power of two from 32768 to 2097152"},
      {{"compress", "--window", "4194304", bin, dir.Path("out")}, "power of two"},
      {{"decompress", "--raw", bin, dir.Path("out")}, "--size"},
      {{"preview", "--glyphs", bin, "--atlas", bin, "--samples", "100000", "-o", dir.Path("p.png")}, "--samples"},
      {{"check", "--accept-shared-hash", "0xABCDEFGH", bin}, "'0xABCDEFGH' is no hash: write 0x and one to eight hex"},
      {{"check", "--accept-shared-hash", "0x123456789", bin}, "'0x123456789' is no hash"},
      {{"pack-text", "--disable", "spelling", bin, "-o", dir.Path("out")}, "'spelling' is no warning class (placeholder,"},
      {{"check", "--wrap", "600", "--glyphs", bin, bin}, "is not a glyph table"},
      {{"pack-text", "--wrap", "600", "--glyphs", bin, bin, "-o", dir.Path("out")}, "is not a glyph table"},
      {{"check", "--list", "done", bin}, "'done' is none of untranslated, fuzzy, all"},
      {{"preview", "--font", kMicroHei, "--glyphs", bin, "-o", dir.Path("p.png"), "x"}, "--font builds the glyph table"},
  };
  for (const Case& c : cases) ExpectOneLineFailure(RunTool(c.arguments), c.expected, c.arguments[0]);
  EXPECT_FALSE(fs::exists(dir.Path("out")));

  const ToolRun version = RunTool({"--version"});
  EXPECT_EQ(version.exitCode, 0);
  EXPECT_EQ(version.out.rfind("vykcn-tool ", 0), 0u) << version.out;
  EXPECT_NE(RunTool({"hash", ""}).out, "");  // an empty text is a text

  // Output that never reaches its file is a failure, not a listing cut short.
  ExpectOneLineFailure(RunTool({"hash", "abc"}, "/dev/full"), "write error on standard output: No space left on device",
                       "hash > /dev/full");
}

// The README is the user's manual: it lists every warning class as the code's table has it, and
// names every command and every option the help shows; the help lists the classes too.
TEST(CommandUsage, ReadmeAndHelpSayWhatTheCodeHas) {
  const std::vector<uint8_t> bytes = ReadBytes(std::string(VYKCN_SOURCE_ROOT) + "/README.md");
  const std::string readme(bytes.begin(), bytes.end()), help = RunTool({"check", "--help"}).out;
  // The table's rows, "| `name` | what it warns of |", as plain text: no backticks, "\|" a bar.
  std::vector<std::string> documented, coded;
  for (size_t at = readme.find("| class | warns of |"); at != std::string::npos && readme.compare(at, 2, "\n\n") != 0;
       at = readme.find('\n', at + 1)) {
    if (readme.compare(at, 4, "\n| `") != 0) continue;
    std::string row;
    for (size_t i = at + 3; readme.compare(i, 3, " |\n") != 0; ++i) {
      if (readme[i] != '`' && readme.compare(i, 2, "\\|") != 0) row += readme[i];
    }
    documented.push_back(row.replace(row.find(" | "), 3, ": "));
  }
  for (const tool::WarningClass& c : tool::WarningClassTable()) {
    coded.push_back(std::string(c.name) + ": " + c.warnsOf);
    EXPECT_NE(help.find("\n  " + coded.back() + "\n"), std::string::npos) << coded.back();
  }
  EXPECT_EQ(documented, coded);

  // "vykcn-tool NAME" for each command of the help, and each of its options ("-o" for "-o,--output").
  const auto mentions = [&readme](const std::string& word) {
    for (size_t at = readme.find(word); at != std::string::npos; at = readme.find(word, at + 1)) {
      const char next = readme[at + word.size()];
      if (!std::isalnum(static_cast<unsigned char>(next)) && next != '-') return true;
    }
    return false;
  };
  const std::string top = RunTool({"--help"}).out;
  ASSERT_NE(top.find("\nSubcommands:\n"), std::string::npos);
  for (size_t at = top.find("\nSubcommands:\n") + 14; top.compare(at, 2, "  ") == 0; at = top.find('\n', at) + 1) {
    const std::string command = top.substr(at + 2, top.find(' ', at + 2) - at - 2), usage = RunTool({command, "--help"}).out;
    EXPECT_TRUE(mentions("vykcn-tool " + command)) << command;
    for (size_t line = usage.find("\n  -"); line != std::string::npos; line = usage.find("\n  -", line + 1)) {
      const size_t dashes = usage.find("--", line), end = usage.find_first_of(" ,\n", dashes);
      const std::string name = usage.substr(dashes, end - dashes);
      const bool shortForm = usage[line + 5] == ',' && mentions(usage.substr(line + 3, 2));
      EXPECT_TRUE(name == "--help" || mentions(name) || shortForm) << command << " " << name;
    }
  }
}

}  // namespace
}  // namespace vykcn::test
