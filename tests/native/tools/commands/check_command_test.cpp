// check, and the same checks guarding pack-text and pack-font, as a user runs them.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>

#include "tool_runner.h"
#include "tools/support/test_files.h"
#include "tools/support/test_fonts.h"

namespace vykcn::test {
namespace {

const char kBase[] =
    "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
    "msgid \"Open\"\n"                           // 4
    "msgstr \"\xE5\xBC\x80\"\n\n"
    "msgid \"Bell\"\n"                           // 7: control character
    "msgstr \"\xE9\x93\x83\\a\"\n\n"
    "#, fuzzy\nmsgid \"Maybe\"\nmsgstr \"\xE4\xB9\x9F\"\n\n"
    "msgid \"Later\"\nmsgstr \"\"\n\n"
    "#~ msgid \"Old\"\n#~ msgstr \"\xE6\x97\xA7\"\n";
const char kPatch[] = "source;translation\nOpen;\xE6\x89\x93\xE5\xBC\x80\nSave %s;\xE4\xBF\x9D\xE5\xAD\x98\n";

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

// The "error" lines of a run's output (and the "warning" lines), in order.
std::vector<std::string> FindingLines(const std::string& output, bool warnings = false) {
  std::vector<std::string> lines;
  for (size_t at = 0; at < output.size();) {
    const size_t end = std::min(output.find('\n', at), output.size());
    const std::string line = output.substr(at, end - at);
    if (line.find(": error: ") != std::string::npos || line.rfind("error: ", 0) == 0 ||
        (warnings && line.find(": warning: ") != std::string::npos)) {
      lines.push_back(line);
    }
    at = end + 1;
  }
  return lines;
}

TEST(CheckCommand, ReportsAllThenRefusesTheBuildOnTheSameErrors) {
  TempDir dir;
  const std::string base = dir.Write("base.po", kBase);
  const std::string patch = dir.Write("PATCH.CSV", kPatch);
  // Slips that used to hide the rest of a file, and texts that would show another's translation.
  const std::string slips = dir.Write("slips.po",
      "msgid \"YFokxZcx\"\nmsgstr \"\xE7\x94\xB2\"\n\n"   // 1
      "msgid \"Broken\nmsgstr \"\xE6\x96\xAD\"\n\n"          // 4: string not closed
      "msgid \"LuMaOBaQ\"\nmsgstr \"\"\n\n"                 // 7: untranslated, shares YFokxZcx's hash
      "msgid \"Opens\"\nmsgstr \"\"\n");                      // 10: the fallback finds "Open"
  const std::string cells = dir.Write("cells.csv", "source,translation\nWait, what?,\xE7\xAD\x89\nYes,\xE6\x98\xAF\n");
  const std::string out = dir.Path("t.res");
  const std::vector<std::string> set = {base, patch, slips, cells};

  std::vector<std::string> arguments = {"check", "--font", kMicroHei};
  arguments.insert(arguments.end(), set.begin(), set.end());
  const ToolRun check = RunTool(arguments);
  EXPECT_EQ(check.exitCode, 1) << check.err;
  const std::vector<std::string> errors = FindingLines(check.out);
  const std::vector<std::string> expected = {
      base + ":7: error: control characters in the translation (only tab and line feed are drawn): U+0007",
      patch + ":2: error: host text \"Open\" has another translation at " + base + ":4: \"\xE5\xBC\x80\" there, "
          "\"\xE6\x89\x93\xE5\xBC\x80\" here",
      slips + ":4: error: end-of-line within string",
      slips + ":7: error: host text \"LuMaOBaQ\" has no translation but shares the hash 0x5FFA70D4: the game would "
          "show \"\xE7\x94\xB2\" (the translation of \"YFokxZcx\" at " + slips + ":1) (--accept-shared-hash 0x5FFA70D4 "
          "if every text with that hash may show it)",
      cells + ":2: error: 3 cells, the header names 2 columns: text past the last column would be lost (quote a cell "
          "that holds the separator)",
  };
  EXPECT_EQ(errors, expected) << check.out;
  EXPECT_NE(check.out.find(patch + ":3: warning: placeholders differ"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find(slips + ":10: warning: host text \"Opens\" has no translation: at the subtitle site the "
                           "game would show \"\xE5\xBC\x80\""), std::string::npos) << check.out;
  EXPECT_NE(check.out.find(base + ": 5 entries: 1 record, 1 with an error, 1 fuzzy, 1 untranslated, 1 obsolete\n"),
            std::string::npos) << check.out;
  EXPECT_NE(check.out.find("5 errors, 2 warnings"), std::string::npos) << check.out;

  // The work left, listed and counted as msgfmt counts it.
  const ToolRun work = RunTool({"check", "--list", "all", "--statistics", base});
  EXPECT_NE(work.out.find(base + ":11: fuzzy: \"Maybe\"\n" + base + ":14: untranslated: \"Later\"\n"), std::string::npos)
      << work.out;
  EXPECT_NE(work.err.find(base + ": 2 translated messages, 1 fuzzy translation, 1 untranslated message.\n"),
            std::string::npos) << work.err;

  // pack-text and pack-font say the same errors and write nothing.
  std::vector<std::string> packText = {"pack-text", "-o", out};
  packText.insert(packText.end(), set.begin(), set.end());
  std::vector<std::string> packFont = {"pack-font", "--font", kMicroHei, "--glyphs", dir.Path("g.bin"), "--atlas",
                                       dir.Path("a.dds")};
  packFont.insert(packFont.end(), set.begin(), set.end());
  for (const auto& build : {packText, packFont}) {
    const ToolRun pack = RunTool(build);
    EXPECT_EQ(pack.exitCode, 1);
    EXPECT_EQ(FindingLines(pack.err), expected) << pack.err;
    EXPECT_NE(pack.err.find("vykcn-tool: 5 errors (listed above); nothing written"), std::string::npos) << pack.err;
  }
  EXPECT_FALSE(std::filesystem::exists(out) || std::filesystem::exists(dir.Path("g.bin")));

  // With the bell gone and the patch winning, the build goes through and lists the override.
  const std::string fixed = dir.Write("fixed.po", std::string(kBase).replace(std::string(kBase).find("\\a"), 2, ""));
  const ToolRun layered = RunTool({"pack-text", "--later-wins", fixed, patch, "-o", out});
  EXPECT_EQ(layered.exitCode, 0) << layered.err;
  EXPECT_NE(layered.err.find(patch + ":2: note: overrides " + fixed + ":4 [override]\n"), std::string::npos) << layered.err;
  EXPECT_NE(layered.out.find("records: 3 from 7 entries (1 overridden, 1 fuzzy, 1 untranslated, 1 obsolete)\n"),
            std::string::npos) << layered.out;
  EXPECT_TRUE(std::filesystem::exists(out));
}

TEST(CheckCommand, BuildsShowAScreenfulOfWarningsAndNotesCheckShowsThemAllAsAsked) {
  TempDir dir;
  std::string csv = "source,translation\n", base = csv, patch = csv;
  for (int i = 0; i < 25; ++i) {
    csv += "Same " + std::to_string(i) + ",Same " + std::to_string(i) + "\n";
    base += "Open " + std::to_string(i) + ",\xE5\xBC\x80\n";
    patch += "Open " + std::to_string(i) + ",\xE6\x89\x93\xE5\xBC\x80\n";
  }
  const std::string file = dir.Write("same.csv", csv);
  // The warnings left out are counted by class: one of another class is named, if not shown.
  const std::string fallback = dir.Write("fallback.csv", "source,translation\nSame 0!,\n");
  const ToolRun pack = RunTool({"pack-text", file, fallback, "-o", dir.Path("t.res")});
  EXPECT_EQ(pack.exitCode, 0) << pack.err;
  EXPECT_EQ(Count(pack.err, ": warning: the translation is the host text unchanged [unchanged]\n"), 20u) << pack.err;
  EXPECT_NE(pack.err.find("warnings: 25 [unchanged], 1 [fallback] (the first 20 shown); run vykcn-tool check to see "
                          "them all\n"), std::string::npos) << pack.err;
  const ToolRun layered = RunTool({"pack-text", "--later-wins", dir.Write("base.csv", base),
                                   dir.Write("patch.csv", patch), "-o", dir.Path("t.res")});
  EXPECT_EQ(Count(layered.err, ": note: overrides "), 20u) << layered.err;
  EXPECT_NE(layered.err.find("notes: 25 [override] (the first 20 shown); run vykcn-tool check to see them all\n"),
            std::string::npos) << layered.err;

  // Classes switched off or made errors; errors are never switched off.
  const struct {
    std::vector<std::string> options;
    int exitCode;
    size_t warnings, errors;
  } cases[] = {
      {{}, 0, 25, 0},
      {{"--disable", "unchanged"}, 0, 0, 0},
      {{"--disable", "placeholder"}, 0, 25, 0},
      {{"--error", "unchanged"}, 1, 0, 25},
      {{"--strict"}, 1, 0, 25},
      {{"--disable", "unchanged", "--strict"}, 0, 0, 0},
  };
  const std::string bell = dir.Write("bell.csv", "source,translation\nBell,\xE9\x93\x83\a\n");
  for (const auto& c : cases) {
    std::vector<std::string> arguments = {"check", file};
    arguments.insert(arguments.end(), c.options.begin(), c.options.end());
    const ToolRun check = RunTool(arguments);
    EXPECT_EQ(check.exitCode, c.exitCode) << check.err;
    EXPECT_EQ(Count(check.out, ": warning: "), c.warnings) << check.out;
    EXPECT_EQ(Count(check.out, ": error: the translation is the host text unchanged [unchanged]"), c.errors);
    arguments[1] = bell;
    EXPECT_EQ(RunTool(arguments).exitCode, 1);
  }
}

TEST(CheckCommand, FontCoverageAtItsPlaceAndTheAtlasFit) {
  TempDir dir;
  const std::string csv = dir.Write("t.csv", "source,translation\nYes,\xE6\x98\xAF\nYi,\xEA\x80\x80\n"
                                             "Yi \xEA\x80\x81,\n\"Smile \xF0\x9F\x98\x80\",\n");
  const std::string glyphs = dir.Path("g.bin"), atlas = dir.Path("a.dds");
  const ToolRun pack = RunTool({"pack-font", "--font", kMicroHei, "--glyphs", glyphs, "--atlas", atlas, csv});
  EXPECT_EQ(pack.exitCode, 1);
  EXPECT_NE(pack.err.find(csv + ":3: error: the font lacks U+A000"), std::string::npos) << pack.err;
  // An untranslated host text is drawn with the module's font too.
  EXPECT_NE(pack.err.find(csv + ":4: error: the font lacks U+A001 \xEA\x80\x81 of the host text"), std::string::npos)
      << pack.err;
  EXPECT_NE(pack.err.find(csv + ":5: warning: U+1F600 \xF0\x9F\x98\x80 of the host text: no glyph record can hold it"),
            std::string::npos) << pack.err;
  EXPECT_FALSE(std::filesystem::exists(glyphs) || std::filesystem::exists(atlas));

  // A translated host text is never drawn: a character the font lacks there is no error. The extra
  // characters are held too, and checked at their line.
  const std::string good = dir.Write("good.csv", "source,translation\nYes,\xE6\x98\xAF\nYi \xEA\x80\x81,\xE5\xBD\x9D\n");
  const std::string extra = dir.Write("extra.txt", "\xE2\x86\x92 \xE2\x86\x90\n\xE3\x80\x8C\xE3\x80\x8D\n");
  const ToolRun check = RunTool({"check", "--font", kMicroHei, "--extra-chars", extra, good});
  EXPECT_EQ(check.exitCode, 0) << check.out;
  EXPECT_NE(check.out.find("records: 2, distinct characters: 2\natlas: 213 glyphs fit at 25 px\n"), std::string::npos)
      << check.out;  // ASCII, the Latin extras, 是 and 彝, and four extra characters
  // In a build, pack-font prints the findings about glyphs and pack-text the rest: together they
  // say each of check's findings once.
  const std::string mixed = dir.Write("mixed.csv", "source,translation\nSave %s,\xE4\xBF\x9D\nYi,\xEA\x80\x80\n"
                                                   "Bell,\xE9\x93\x83\a\n\"Smile \xF0\x9F\x98\x80\",\n");
  const ToolRun all = RunTool({"check", "--font", kMicroHei, mixed});
  const ToolRun text = RunTool({"pack-text", mixed, "-o", dir.Path("t.res")});
  const ToolRun font = RunTool({"pack-font", "--glyph-findings-only", "--font", kMicroHei, "--glyphs", glyphs,
                                "--atlas", atlas, mixed});
  EXPECT_EQ(text.exitCode + font.exitCode, 2);  // Bell; the font lacks U+A000
  std::vector<std::string> build = FindingLines(text.err + font.err, true), checked = FindingLines(all.out, true);
  std::sort(build.begin(), build.end());
  std::sort(checked.begin(), checked.end());
  EXPECT_EQ(checked, build) << text.err << font.err;
  EXPECT_EQ(checked.size(), 4u);

  const std::string badExtra = dir.Write("bad.txt", "\xE2\x86\x92\n\xEA\x80\x80\n\xE4\xBD\n");
  const ToolRun refused = RunTool({"check", "--font", kMicroHei, "--extra-chars", badExtra, good});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.out.find(badExtra + ":2: error: the font lacks U+A000 \xEA\x80\x80 (fonts tried: " + kMicroHei + ")\n" +
                             badExtra +
                             ":3: error: not valid UTF-8\n"),
            std::string::npos) << refused.out;
}

// A real game's files that must never build with a wrong line: each case is a set of files, a
// command, and what it must say. In arguments and expected lines, "@" stands for the case's folder
// (with its slash); commands before a ";" prepare the case and must succeed; an expected line
// ending in "..." is a line's start. A refused command leaves the folder as it was. A case whose
// check fails is run again as make runs pack-text and pack-font (with make's fonts unless the case
// names one): the error lines of the two together must be check's, each packer that has one
// refuses, and a packer that refuses writes nothing. "make NAME=VALUE ..." runs make in the source
// tree up to the settings it checks and remembers, with the case's folder as its build folder and
// this build's tool in it.
TEST(CheckCommand, NoWrongLineFromAGamesFiles) {
  // make's fonts, which check takes when given none: those beside the tool.
  const std::string kDefaultFont = BesideTheTool("wqy-microhei.ttc"), kDefaultFallback = BesideTheTool("DejaVuSans.ttf");
  const std::string kPo = "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n";
  // 语言：（Geʻez）, with U+02BB, which WenQuanYi Micro Hei lacks and DejaVu Sans has.
  const std::string kGeez = kPo + "msgid \"Language: (Ge\xCA\xBB" "ez)\"\n"
                                  "msgstr \"\xE8\xAF\xAD\xE8\xA8\x80\xEF\xBC\x9A\xEF\xBC\x88Ge\xCA\xBB" "ez\xEF\xBC\x89\"\n";
  // Texts that share a hash, found by a search over ASCII letters (and, for a translation,
  // ideographs): "LuMaOBaQ" and "YFokxZcx" (0x5FFA70D4); "打开阿侗来急\xE3", the translation below
  // without its last two bytes, and "Close" (0xA6ACC0BC).
  const std::string kShared = kPo + "msgid \"YFokxZcx\"\nmsgstr \"甲\"\n\nmsgid \"Open\"\nmsgstr \"打开阿侗来急。\"\n\n"
                                    "msgid \"Close\"\nmsgstr \"关闭\"\n\n";
  // 2,300 ideographs from U+4E00 on, 20 a line: more than the atlas holds at 'M' 25 px.
  std::string kMany = kPo;
  for (uint32_t line = 0, c = 0x4E00; line < 115; ++line) {
    kMany += "msgid \"Names " + std::to_string(line) + "\"\nmsgstr \"";
    for (int i = 0; i < 20; ++i, ++c) kMany += {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
    kMany += "\"\n\n";
  }
  const struct {
    const char* name;
    std::vector<std::pair<std::string, std::string>> files;  // name in the folder, content
    std::vector<std::string> arguments;
    int exitCode;
    std::vector<std::string> lines;  // each a whole line of the output (standard output and error);
                                     // "TEXT...": a line starts with TEXT; "!TEXT": no line holds TEXT
    std::vector<std::string> then{};  // run next (unpack-text of what was written, a packer, or cat); its output checked too
    bool onlyOnStandardOutput = false;  // `lines` are the whole standard output, in order
    std::vector<std::string> same{};    // a command whose output (both streams) must be this one's
  } cases[] = {
      {"a host text that shares an entry's hash",
       {{"t.po", kPo + "msgid \"YFokxZcx\"\nmsgstr \"\xE7\x94\xB2\"\n\nmsgid \"LuMaOBaQ\"\nmsgstr \"\"\n"}},
       {"check", "@t.po"},
       1,
       {"@t.po:7: error: host text \"LuMaOBaQ\" has no translation but shares the hash 0x5FFA70D4: the game would "
        "show \"\xE7\x94\xB2\" (the translation of \"YFokxZcx\" at @t.po:4) (--accept-shared-hash 0x5FFA70D4 if "
        "every text with that hash may show it)"}},
      // Charsets that do not match the bytes, and translations left in another language.
      {"UTF-8 under a windows-1252 header",
       {{"t.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=windows-1252\\n\"\n\n"
                 "msgid \"Good.\"\nmsgstr \"\xE5\xA5\xBD\xE7\x9A\x84\xE3\x80\x82\"\n\n"
                 "msgid \"Caf\xC3\xA9.\"\nmsgstr \"\xE5\x92\x96\"\n"}},
       {"check", "@t.po"},
       1,
       {"@t.po:2: error: the header declares charset=windows-1252, but the texts are UTF-8 (\"\xE5\xA5\xBD\xE7\x9A\x84"
        "\xE3\x80\x82\" would become \"\xC3\xA5\xC2\xA5\xC2\xBD\xC3\xA7\xC5\xA1\xE2\x80\x9E\xC3\xA3\xE2\x82\xAC"
        "\xE2\x80\x9A\"); write charset=UTF-8"}},
      {"UTF-8 under an ISO-8859-1 header",
       {{"t.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=ISO-8859-1\\n\"\n\n"
                 "msgid \"Good.\"\nmsgstr \"\xE5\xA5\xBD\xE7\x9A\x84\xE3\x80\x82\"\n"}},
       {"check", "@t.po"},
       1,
       {"@t.po:2: error: the header declares charset=ISO-8859-1, but the texts are UTF-8 (\"\xE5\xA5\xBD\xE7\x9A\x84"
        "\xE3\x80\x82\" would become \"\xC3\xA5\xC2\xA5\xC2\xBD\xC3\xA7\\x9A\\x84\xC3\xA3\\x80\\x82\"); "
        "write charset=UTF-8"}},
      {"a genuine windows-1252 file",
       {{"t.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=windows-1252\\n\"\n\n"
                 "msgid \"Caf\xE9.\"\nmsgstr \"\"\n\nmsgid \"Menu\"\nmsgstr \"Men\xFA del d\xED" "a\"\n"}},
       {"check", "--list", "untranslated", "@t.po"},
       0,
       {"@t.po:4: untranslated: \"Caf\xC3\xA9.\"",
        "@t.po:7: warning: the translation has Latin letters but no Chinese character: "
        "\"Men\xC3\xBA del d\xC3\xAD" "a\" [untranslated-text]"}},
      {"translations left in another language; letters only in placeholders, a name kept alone, values the game reads",
       {{"t.po", kPo + "msgid \"Open the door.\"\nmsgstr \"Open door.\"\n\n"
                       "msgid \"<b>$name</b> wins %s {0}\"\nmsgstr \"<b>$name</b> %s {0}\"\n\n"
                       "msgid \"Battle for Wesnoth\"\nmsgstr \"Wesnoth\"\n\nmsgid \"Hit points\"\nmsgstr \"HP\"\n\n"
                       "msgid \"Good.\"\nmsgstr \"Bon.\"\n\n"
                       "msgid \"Next\"\nmsgstr \"\xEF\xBC\xAE\xEF\xBD\x85\xEF\xBD\x98\xEF\xBD\x94\"\n\n"
                       "msgid \"%A, %I:%M %p\"\nmsgstr \"%A, %H:%M %p\"\n\nmsgid \"DejaVu Sans\"\n"
                       "msgstr \"DejaVu Sans,Droid Sans Fallback\"\n\nmsgid \"code^en_US\"\nmsgstr \"zh_CN\"\n"}},
       {"check", "@t.po"},
       0,
       {"@t.po:4: warning: the translation has Latin letters but no Chinese character: \"Open door.\" "
        "[untranslated-text]",
        "@t.po:16: warning: the translation has Latin letters but no Chinese character: \"Bon.\" [untranslated-text]",
        "!@t.po:7: warning: the translation has Latin", "!@t.po:10: warning: the translation has Latin",
        "!@t.po:13: warning: the translation has Latin", "!@t.po:19: warning: the translation has Latin",
        "!@t.po:22: warning: the translation has Latin", "!@t.po:25: warning: the translation has Latin",
        "!@t.po:28: warning: the translation has Latin"}},
      // Placeholders of the formats games use: printf, brace, $name, %name%; tags and entities.
      {"a variable of each syntax dropped",
       {{"t.po", kPo + "msgid \"Saved %s\"\nmsgstr \"已保存\"\n\nmsgid \"Total {0:N2}\"\nmsgstr \"合计\"\n\n"
                       "msgid \"Hello $name, welcome to $place.\"\nmsgstr \"欢迎。\"\n\n"
                       "msgid \"%count% left\"\nmsgstr \"剩余 %c\"\n"}},
       {"check", "@t.po"},
       0,
       {"@t.po:4: warning: placeholders differ from the host text: %s missing [placeholder]",
        "@t.po:7: warning: placeholders differ from the host text: {0:N2} missing [placeholder]",
        "@t.po:10: warning: placeholders differ from the host text: $name $place missing [placeholder]",
        "@t.po:13: warning: placeholders differ from the host text: %count% missing, %c added [placeholder]"}},
      {"tags restyled and an entity dropped: markup, apart from a dropped $name",
       {{"t.po", kPo + "msgid \"<i>Stop</i>, $name\"\nmsgstr \"<b>停</b>\"\n\nmsgid \"A &amp; B\"\nmsgstr \"甲和乙\"\n"}},
       {"check", "@t.po"},
       0,
       {"@t.po:4: warning: placeholders differ from the host text: $name missing [placeholder]",
        "@t.po:4: warning: markup differs from the host text: </i> <i> missing, </b> <b> added [markup]",
        "@t.po:7: warning: markup differs from the host text: &amp; missing [markup]"}},
      {"markup disabled: the dropped $name still warned",
       {{"t.po", kPo + "msgid \"<i>Stop</i>, $name\"\nmsgstr \"<b>停</b>\"\n\nmsgid \"A &amp; B\"\nmsgstr \"甲和乙\"\n"}},
       {"check", "--disable", "markup", "@t.po"},
       0,
       {"@t.po:4: warning: placeholders differ from the host text: $name missing [placeholder]", "0 errors, 1 warning"}},
      {"printf conversions reordered without positions",
       {{"t.po", kPo + "msgid \"%d of %s\"\nmsgstr \"%s 的 %d\"\n\nmsgid \"%1$d of %2$s\"\nmsgstr \"%2$s 的 %1$d\"\n"}},
       {"check", "@t.po"},
       1,
       {"@t.po:4: error: order of printf conversions changed: \"%d %s\" in the host text, \"%s %d\" here: the "
        "arguments would be swapped (positions, as in %2$s, let a translation reorder them)",
        "1 error, 0 warnings"}},
      // What real catalogues hold on purpose is no warning (the punctuation rules' own are in their
      // table); each slip is one message, at one line.
      {"false alarms of a real catalogue: none",
       {{"t.po", kPo + "msgid \"[%H:%M]\"\nmsgstr \"[%H:%M]\"\n\nmsgid \"%A, %H:%M\"\nmsgstr \"%A, %H:%M\"\n\n"
                       "msgid \"Cost: \"\nmsgstr \"花费：\"\n\nmsgid \" (inactive)\"\nmsgstr \"（未激活）\"\n\n"
                       "msgid \"...fine.\"\nmsgstr \"……很好。\"\n"}},
       {"check", "@t.po"},
       0,
       {"@t.po: 5 entries: 5 records", "0 errors, 0 warnings"}},
      {"one problem, one message, at its line",
       {{"t.po", kPo + "msgid \"Hello\"\nmsgstr \" \"\n\nmsgid \"Name\"\nmsgstr \"Name\"\n\n"
                       "msgid \"Bytes\"\nmsgstr \"\xE4\xBD\"\n"},
        {"t.csv", "source,translation\nBytes,\xE4\xBD\n"}},
       {"check", "@t.po", "@t.csv"},
       1,
       {"@t.po:4: warning: the translation is only white space: \" \" [white-space]",
        "@t.po:7: warning: the translation is the host text unchanged [unchanged]",
        "@t.po:11: error: invalid multibyte sequence", "@t.csv:2: error: the translation is not valid UTF-8",
        "@t.po: 3 entries: 2 records, 1 unreadable", "@t.csv: 1 entry: 0 records, 1 with an error",
        "2 errors, 2 warnings"}},
      // Every entry counted once, by what became of it.
      {"check's and pack-text's counts add up to the entries",
       {{"a.po", kPo + "msgid \"Open\"\nmsgstr \"开\"\n\nmsgid \"Keep\"\nmsgstr \"留\"\n\n"
                       "#, fuzzy\nmsgid \"Maybe\"\nmsgstr \"也\"\n\nmsgid \"Later\"\nmsgstr \"\"\n\n"
                       "#~ msgid \"Old\"\n#~ msgstr \"旧\"\n"},
        {"b.csv", "source,translation\nOpen,打开\nKeep,留\nLater,\n"}},
       {"check", "--later-wins", "@a.po", "@b.csv"},
       0,
       {"@a.po: 5 entries: 1 record, 1 overridden, 1 fuzzy, 1 untranslated, 1 obsolete",
        "@b.csv: 3 entries: 1 record, 1 repeating a record, 1 untranslated",
        "records: 2 from 8 entries (1 repeating a record, 1 overridden, 1 fuzzy, 2 untranslated, 1 obsolete)"},
       {"pack-text", "--later-wins", "@a.po", "@b.csv", "-o", "@t.res"}},
      // A plain list of the game's texts writes a line feed as \n and a backslash as \\.
      {"a plain list's escapes",
       {{"t.po", kPo + "msgid \"Two\\nlines\"\nmsgstr \"两\\n行\"\n"}, {"hosts.txt", "Two\\nlines\nC:\\Games\\\\new\n"}},
       {"check", "--list", "untranslated", "@t.po", "--host-texts", "@hosts.txt"},
       0,
       {"@hosts.txt:2: untranslated: \"C:\\\\Games\\\\new\"", "0 errors, 0 warnings"}},
      {"--wrap at each syntax, a tag with attributes, runs of ASCII: whole; too wide alone, a [width] warning",
       {{"t.po", kPo + "msgid \"Saved %1$s\"\nmsgstr \"已经保存好了%1$s\"\n\n"
                       "msgid \"Total {0, -8}\"\nmsgstr \"总计为{0, -8}\"\n\n"
                       "msgid \"Hello $name\"\nmsgstr \"你好你好你好$name\"\n\n"
                       "msgid \"%count% left\"\nmsgstr \"还剩下的是%count%\"\n\n"
                       "msgid \"See <ref>dst='unit_Mage' text='Mage'</ref>\"\n"
                       "msgstr \"参见<ref>dst='unit_Mage' text='法师'</ref>\"\n\n"
                       "msgid \"Tom &amp; Jerry\"\nmsgstr \"汤姆和杰瑞和&amp;杰瑞\"\n\n"
                       "msgid \"Press alt+s\"\nmsgstr \"请按下alt+s\"\n\n"
                       "msgid \"Run --option\"\nmsgstr \"请运行--option\"\n"}},
       {"pack-text", "--wrap", "150", "--font", kMicroHei, "@t.po", "-o", "@t.res"},
       0,
       {"0xF7E618D4\t已经保存\\n好了\\n%1$s\tSaved %1$s", "0x6EEA71A5\t总计为\\n{0, -8}\tTotal {0, -8}",
        "0xC26DC431\t你好你好\\n你好\\n$name\tHello $name", "0xCF388108\t还剩下的\\n是\\n%count%\t%count% left",
        "0xBC7579EB\t参见\\n<ref>dst='unit_Mage' text='法师'</ref>\tSee <ref>dst='unit_Mage' text='Mage'</ref>",
        "@t.po:16: warning: line 2 is 601 px wide at 'M' 25 px, over the limit of 150 px [width]",
        "0xEBF4D069\t汤姆和杰\\n瑞和\\n&amp;杰\\n瑞\tTom &amp; Jerry", "0x509719D4\t请按下\\nalt+s\tPress alt+s",
        "0x9015D7D6\t请运行\\n--option\tRun --option"},
       {"unpack-text", "@t.res", "--source", "@t.po"}},
      // Fallback fonts: a character the font lacks comes from the first fallback that has it; one that
      // no font of the chain has is an error at its place, naming the fonts tried.
      {"a character the font lacks, without a fallback",
       {{"ge.po", kGeez}},
       {"check", "--font", kMicroHei, "@ge.po"},
       1,
       {"@ge.po:4: error: the font lacks U+02BB \xCA\xBB (fonts tried: " + kMicroHei + ")"}},
      {"a character the font lacks, from the fallback",
       {{"ge.po", kGeez}},
       {"check", "--font", kMicroHei, "--fallback-font", kDejaVuSans, "@ge.po"},
       0,
       {"atlas: 213 glyphs fit at 25 px", "0 errors, 0 warnings"}},
      {"a character that no font of the chain has",
       {{"yi.po", kPo + "msgid \"Yi\"\nmsgstr \"\xE5\xBD\x9D\xEA\x80\x80\"\n"}},
       {"check", "--font", kMicroHei, "--fallback-font", kDejaVuSans, "@yi.po"},
       1,
       {"@yi.po:4: error: the fonts lack U+A000 \xEA\x80\x80 (fonts tried: " + kMicroHei + ", " + kDejaVuSans + ")"}},
      {"pack-font takes the character from the fallback",
       {{"ge.po", kGeez}},
       {"pack-font", "--font", kMicroHei, "--fallback-font", kDejaVuSans, "--glyphs", "@g.bin", "--atlas", "@a.dds",
        "@ge.po"},
       0,
       {"1 glyph from the fallback font " + kDejaVuSans}},
      {"preview draws with the fallback",
       {},
       {"preview", "--font", kMicroHei, "--fallback-font", kDejaVuSans, "-o", "@p.png", "(Ge\xCA\xBB" "ez)"},
       0,
       {}},
      {"preview without the fallback",
       {},
       {"preview", "--font", kMicroHei, "-o", "@p.png", "(Ge\xCA\xBB" "ez)"},
       1,
       {"vykcn-tool: no glyph for 1 characters: U+02BB (--allow-missing draws them as spaces)"}},

      // A fallback that reaches a record through its hash alone; options checked before they are kept.
      {"the fallback's first pass meets an entry's hash",
       {{"t.po", kShared + "msgid \"LuMaOBaQ!\"\nmsgstr \"\"\n"}},
       {"check", "@t.po"},
       1,
       {"@t.po:13: error: host text \"LuMaOBaQ!\" has no translation: at the subtitle site the fallback looks up the "
        "text without its last byte, \"LuMaOBaQ\", which only shares the hash 0x5FFA70D4 with \"YFokxZcx\" at "
        "@t.po:4: the game would show \"甲\", its translation (--accept-shared-hash 0x5FFA70D4 if every text with "
        "that hash may show it)"}},
      {"the second pass, on the translation the first found, meets an entry's hash",
       {{"t.po", kShared + "msgid \"Opens\"\nmsgstr \"\"\n"}},
       {"check", "@t.po"},
       1,
       {"@t.po:13: error: host text \"Opens\" has no translation: at the subtitle site the fallback looks up the "
        "translation it found for the text without its last byte, \"打开阿侗来急。\" (the translation of \"Open\" at "
        "@t.po:7), without its last two bytes, \"打开阿侗来急\\xE3\", which only shares the hash 0xA6ACC0BC with "
        "\"Close\" at @t.po:10: the game would show \"关闭\", its translation (--accept-shared-hash 0xA6ACC0BC if "
        "every text with that hash may show it)"}},
      {"a game's text listed by --host-texts, through the second pass on the text",
       {{"t.po", kShared}, {"hosts.txt", "LuMaOBaQ!?\n"}},
       {"check", "@t.po", "--host-texts", "@hosts.txt"},
       1,
       {"@hosts.txt:1: error: host text \"LuMaOBaQ!?\" has no translation: at the subtitle site the fallback looks "
        "up the text without its last two bytes, \"LuMaOBaQ\", which only shares the hash 0x5FFA70D4 with "
        "\"YFokxZcx\" at @t.po:4: the game would show \"甲\", its translation (--accept-shared-hash 0x5FFA70D4 if "
        "every text with that hash may show it)"}},
      {"accepted hashes, as a comma list, make them notes",
       {{"t.po", kShared + "msgid \"LuMaOBaQ!\"\nmsgstr \"\"\n\nmsgid \"Opens\"\nmsgstr \"\"\n"}},
       {"check", "@t.po", "--accept-shared-hash", "0x5FFA70D4,0xA6ACC0BC", "--disable", "sentence-end"},
       0,
       {"@t.po:13: note: host text \"LuMaOBaQ!\" has no translation: at the subtitle site the fallback looks up the "
        "text without its last byte, \"LuMaOBaQ\", which shares the accepted hash 0x5FFA70D4 with \"YFokxZcx\" at "
        "@t.po:4: the game shows \"甲\", its translation [shared-hash]",
        "@t.po:16: note: host text \"Opens\" has no translation: at the subtitle site the fallback looks up the ...",
        "0 errors, 0 warnings"}},
      {"a decimal hash", {{"t.po", kShared}}, {"check", "@t.po", "--accept-shared-hash", "123"}, 1,
       {"vykcn-tool: --accept-shared-hash: '123' is no hash: write 0x and one to eight hex digits, as check prints "
        "it (0x1A2B3C4D) (--help for usage)"}},
      {"unpack-text -o onto a translators' file",
       {{"t.po", kShared}, {"team.po", kPo + "msgid \"Yes\"\nmsgstr \"是\"\n"}},
       {"pack-text", "@t.po", "-o", "@t.res", ";", "unpack-text", "@t.res", "-o", "@team.po"},
       1,
       {"vykcn-tool: will not overwrite @team.po: it is a translators' file (--force replaces it)"}},
      {"unpack-text -o onto a translators' file, with --force",
       {{"t.po", kShared}, {"team.po", kPo + "msgid \"Yes\"\nmsgstr \"是\"\n"}},
       {"pack-text", "@t.po", "-o", "@t.res", ";", "unpack-text", "@t.res", "-o", "@team.po", "--force"},
       0,
       {"records: 3 (0 with their host text, 3 left out)"}},

      // check says what make would say of a set: a folder taken as make takes it, make's fonts,
      // glyph height and atlas; every file that cannot be read; a list alone on standard output.
      {"a folder: its translators' files and its subfolders', in path order",
       {{"set/b.po", kPo}, {"set/a/x.PO", kPo}, {"set/a-z.csv", "source,translation\n"}, {"set/a/notes.txt", "x"}},
       {"files", "@set"},
       0,
       {"@set/a-z.csv", "@set/a/x.PO", "@set/b.po"},
       {},
       true},
      {"check of a folder, as make packs it",
       {{"set/base.po", kPo + "msgid \"Yes\"\nmsgstr \"是\"\n"},
        {"set/patches/B.PO", kPo + "msgid \"%d of %s\"\nmsgstr \"%s 的 %d\"\n"}},
       {"check", "@set"},
       1,
       {"@set/patches/B.PO:4: error: order of printf conversions changed: \"%d %s\" in the host text, \"%s %d\" here: "
        "the arguments would be swapped (positions, as in %2$s, let a translation reorder them)"}},
      {"every file that cannot be read, then exit 1",
       {{"c.po", kShared}, {"docs/notes.txt", "x"}},
       {"check", "@a.po", "@docs", "@c.po", "@b.csv"},
       1,
       {"vykcn-tool: @docs: no .po or .csv files in the folder or its subfolders",
        "vykcn-tool: cannot read @a.po: No such file or directory",
        "vykcn-tool: cannot read @b.csv: No such file or directory"}},
      {"pack-text names every file that cannot be read",
       {{"c.po", kShared}},
       {"pack-text", "@a.po", "@c.po", "@b.csv", "-o", "@t.res"},
       1,
       {"vykcn-tool: cannot read @a.po: No such file or directory",
        "vykcn-tool: cannot read @b.csv: No such file or directory"}},
      {"check without --font: make's fonts, the fallback's character",
       {{"ge.po", kGeez}},
       {"check", "@ge.po"},
       0,
       {"atlas: 213 glyphs fit at 25 px", "0 errors, 0 warnings"}},
      {"check without --font: a character none of make's fonts has",
       {{"yi.po", kPo + "msgid \"Yi\"\nmsgstr \"\xE5\xBD\x9D\xEA\x80\x80\"\n"}},
       {"check", "@yi.po"},
       1,
       {"@yi.po:4: error: the fonts lack U+A000 \xEA\x80\x80 (fonts tried: " + kDefaultFont + ", " + kDefaultFallback + ")"}},
      {"check --glyph-height: glyphs that do not fit it, as pack-font says",
       {{"many.po", kMany}},
       {"check", "--glyph-height", "25", "@many.po"},
       1,
       {kDefaultFont + ": error: the glyphs do not fit the 2048 x 1024 atlas with 'M' 25 px high: ..."}},
      {"check measures with the glyph records pack-font writes, at the height it chooses",
       {{"many.po", kMany}},
       {"pack-font", "--font", kMicroHei, "--fallback-font", kDejaVuSans, "--glyphs", "@g.bin", "--atlas", "@a.dds",
        "@many.po", ";", "check", "--max-width", "400", "@many.po"},
       0,
       {"atlas: 2507 glyphs do not fit at 25 px; they would at 22 px",
        "@many.po:4: warning: the line is 700 px wide at 'M' 25 px, over the limit of 400 px [width]"},
       {},
       false,
       {"check", "--glyphs", "@g.bin", "--max-width", "400", "@many.po"}},
      {"check --wrap: what the wrapping leaves over-wide, as pack-text --wrap",
       {{"t.po", kPo + "msgid \"See <ref>dst='unit_Mage' text='Mage'</ref>\"\n"
                       "msgstr \"参见<ref>dst='unit_Mage' text='法师'</ref>\"\n"}},
       {"check", "--wrap", "150", "@t.po"},
       0,
       {"@t.po:4: warning: line 2 is 601 px wide at 'M' 25 px, over the limit of 150 px [width]"}},
      {"check --list: the list alone on standard output",
       {{"t.po", kPo + "msgid \"Yes\"\nmsgstr \"是\"\n\nmsgid \"Later\"\nmsgstr \"\"\n\n"
                       "msgid \"Saved %s\"\nmsgstr \"已保存\"\n"}},
       {"check", "--list", "untranslated", "@t.po"},
       0,
       {"@t.po:7: untranslated: \"Later\""},
       {},
       true},
      {"make takes its fonts' defaults from the tool", {}, {"make"}, 0,
       {"set(VYKCN_FONT \"" + FolderOf(VYKCN_TOOL_PATH) + "/wqy-microhei.ttc\" CACHE FILEPATH \"\" FORCE)",
        "set(VYKCN_GLYPH_OPTIONS \"--fallback-font;" + FolderOf(VYKCN_TOOL_PATH) + "/DejaVuSans.ttf\" CACHE STRING \"\" FORCE)"},
       {"cat", "@build/settings.cmake"}},
      {"make WRAP=abc, with a setting remembered", {{"build/settings.txt", "WRAP=600\n"}}, {"make", "WRAP=abc"}, 2,
       {"settings: WRAP=abc: --wrap: Value abc not in range 1 to 1048576"}},
      {"make GLYPH_HEIGHT=200", {}, {"make", "GLYPH_HEIGHT=200"}, 2,
       {"settings: GLYPH_HEIGHT=200: --glyph-height: Value 200 not in range 6 to 100"}},
      {"make ATLAS_SIZE=1000x1000", {}, {"make", "ATLAS_SIZE=1000x1000"}, 2,
       {"settings: ATLAS_SIZE=1000x1000: --atlas-size: 1000x1000 is not one of 2048x1024, 4096x2048, 4096x4096"}},
      {"make DISABLE=nosuch", {}, {"make", "DISABLE=unchanged nosuch"}, 2,
       {"settings: DISABLE=unchanged nosuch: --disable: 'nosuch' is no warning class (placeholder, ..."}},
      {"make ACCEPT_SHARED_HASH=123", {}, {"make", "ACCEPT_SHARED_HASH=123"}, 2,
       {"settings: ACCEPT_SHARED_HASH=123: --accept-shared-hash: '123' is no hash: write 0x and one to eight hex "
        "digits, as check prints it (0x1A2B3C4D)"}},
      {"make TRANSLATION=x", {}, {"make", "TRANSLATION=x"}, 2,
       {"settings: TRANSLATION: no such setting; did you mean TRANSLATIONS?"}},
      {"make with a bad value remembered", {{"build/settings.txt", "MAX_LINES=0\n"}}, {"make"}, 2,
       {"settings: MAX_LINES=0: --max-lines: Value 0 not in range 1 to 1048576 (remembered in @build/settings.txt; "
        "MAX_LINES= restores the default)"}},
      {"make with comma lists", {{"build/settings.txt", "WRAP=600\n"}},
       {"make", "DISABLE=unchanged,fallback", "ACCEPT_SHARED_HASH=0x5FFA70D4,0xA6ACC0BC"}, 0,
       {"settings remembered in @build/settings.txt: WRAP=600 (NAME= restores a default)"}},
  };
  const auto expand = [](std::string text, const std::string& folder) {
    for (size_t at = text.find('@'); at != std::string::npos; at = text.find('@', at + folder.size())) {
      text.replace(at, 1, folder);
    }
    return text;
  };
  const auto lines = [](const std::string& output) {
    std::vector<std::string> all;
    for (size_t at = 0; at < output.size();) {
      const size_t end = std::min(output.find('\n', at), output.size());
      all.push_back(output.substr(at, end - at));
      at = end + 1;
    }
    return all;
  };
  // Each file by its content, a link by where it points.
  const auto snapshot = [](const std::string& folder) {
    std::map<std::string, std::string> files;
    for (const auto& entry : std::filesystem::recursive_directory_iterator(folder)) {
      const std::vector<uint8_t> bytes = entry.is_symlink() || !entry.is_regular_file() ? std::vector<uint8_t>()
                                                                                        : ReadBytes(entry.path());
      files[entry.path()] = entry.is_symlink() ? "-> " + std::filesystem::read_symlink(entry.path()).string()
                                               : std::string(bytes.begin(), bytes.end());
    }
    return files;
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    TempDir dir;
    const std::string folder = dir.Path("");
    for (const auto& [name, content] : c.files) {
      std::filesystem::create_directories(std::filesystem::path(folder + name).parent_path());
      dir.Write(name, content);
    }
    std::vector<std::string> arguments;
    for (const std::string& argument : c.arguments) arguments.push_back(expand(argument, folder));
    for (auto end = std::find(arguments.begin(), arguments.end(), ";"); end != arguments.end();
         end = std::find(arguments.begin(), arguments.end(), ";")) {
      const ToolRun step = RunTool({arguments.begin(), end});
      ASSERT_EQ(step.exitCode, 0) << step.err;
      arguments.erase(arguments.begin(), end + 1);
    }
    const bool make = arguments.front() == "make";
    if (make) {
      std::filesystem::create_directories(folder + "build/native/tools");
      std::filesystem::create_symlink(VYKCN_TOOL_PATH, folder + "build/native/tools/vykcn-tool");
      arguments.insert(arguments.begin() + 1, {"--no-print-directory", "-C", VYKCN_SOURCE_ROOT, "-o", "tool",
                                               "BUILD=" + folder + "build", "settings"});
      // Not the variables of a make that runs this test.
      for (const char* variable : {"MAKEFLAGS", "MFLAGS", "MAKELEVEL", "MAKEOVERRIDES", "GNUMAKEFLAGS"}) {
        arguments.insert(arguments.begin(), {"-u", variable});
      }
    }
    const auto before = snapshot(folder);
    ToolRun run = make ? RunProgram({"/usr/bin/env"}, arguments) : RunTool(arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << run.out << run.err;
    if (run.exitCode != 0) {
      EXPECT_EQ(snapshot(folder), before) << "a refused command changed the folder";
    }
    if (c.onlyOnStandardOutput) {
      std::vector<std::string> expected;
      for (const std::string& line : c.lines) expected.push_back(expand(line, folder));
      EXPECT_EQ(lines(run.out), expected) << run.err;
    }
    if (!c.same.empty()) {
      std::vector<std::string> same;
      for (const std::string& argument : c.same) same.push_back(expand(argument, folder));
      const ToolRun other = RunTool(same);
      EXPECT_EQ(other.exitCode, run.exitCode);
      EXPECT_EQ(other.out + other.err, run.out + run.err);
    }
    if (!c.then.empty()) {
      std::vector<std::string> then;
      for (const std::string& argument : c.then) then.push_back(expand(argument, folder));
      const ToolRun next = then.front() == "cat" ? RunProgram({"/bin/cat"}, {then.begin() + 1, then.end()}) : RunTool(then);
      EXPECT_EQ(next.exitCode, 0) << next.err;
      run.out += next.out + next.err;
    }
    const std::vector<std::string> said = lines(run.out + run.err);
    for (std::string line : c.lines) {
      line = expand(line, folder);
      if (line[0] == '!') {
        EXPECT_EQ((run.out + run.err).find(line.substr(1)), std::string::npos) << line << "\nin:\n" << run.out
                                                                               << run.err;
        continue;
      }
      const bool start = line.size() > 3 && line.compare(line.size() - 3, 3, "...") == 0;
      if (start) line.resize(line.size() - 3);
      EXPECT_TRUE(std::any_of(said.begin(), said.end(), [&](const std::string& s) {
        return start ? s.rfind(line, 0) == 0 : s == line;
      })) << line << "\nnot in:\n" << run.out << run.err;
    }
    if (arguments.front() != "check" || c.exitCode != 1) continue;
    std::vector<std::string> inputs(arguments.begin() + 1, arguments.end());
    std::vector<std::string> packText = {"pack-text", "-o", dir.Path("t.res")};
    // Without --font, pack-font takes the fonts check takes.
    const std::vector<std::string> packFont = {"pack-font", "--glyphs", dir.Path("g.bin"), "--atlas", dir.Path("a.dds")};
    std::vector<std::string> packed;  // the error lines of both, each once, in order
    bool refused = false;
    for (std::vector<std::string> pack : {packText, packFont}) {
      pack.insert(pack.end(), inputs.begin(), inputs.end());
      const ToolRun build = RunTool(pack);
      const std::vector<std::string> errors = FindingLines(build.err);
      if (!errors.empty()) {
        EXPECT_EQ(build.exitCode, 1) << pack.front() << ": " << build.err;
      }
      refused |= build.exitCode != 0;
      for (const std::string& line : errors) {
        if (std::find(packed.begin(), packed.end(), line) == packed.end()) packed.push_back(line);
      }
      if (build.exitCode != 0) {
        EXPECT_FALSE(std::filesystem::exists(pack.front() == "pack-text" ? dir.Path("t.res") : dir.Path("g.bin")));
      }
    }
    EXPECT_TRUE(refused);
    std::vector<std::string> checked = FindingLines(run.out);
    std::sort(checked.begin(), checked.end());
    std::sort(packed.begin(), packed.end());
    EXPECT_EQ(packed, checked);
  }
}

}  // namespace
}  // namespace vykcn::test
