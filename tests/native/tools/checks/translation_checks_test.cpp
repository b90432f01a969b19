// The checks over a set of translators' files: every problem found in one run, at its file and
// line, in order; what is used; and the later-wins precedence.
#include <gtest/gtest.h>

#include <filesystem>

#include "checks/entry_checks.h"
#include "checks/translation_checks.h"
#include "checks/work_reports.h"
#include "formats/glyph_table.h"
#include "formats/translation_image.h"
#include "tool_runner.h"
#include "tools/support/reference_formats.h"
#include "tools/support/test_files.h"
#include "tools/support/test_fonts.h"

namespace vykcn::test {
namespace {

using tool::CheckedTranslations;
using tool::Problem;

// "a.po:8: warning" for each finding, the file by its name alone.
std::vector<std::string> Places(const CheckedTranslations& checked) {
  static const char* const kKinds[] = {"error", "warning", "note"};
  std::vector<std::string> places;
  for (const Problem& f : checked.findings) {
    places.push_back(std::filesystem::path(f.file).filename().string() + ":" + std::to_string(f.line) + ": " +
                     kKinds[static_cast<int>(f.severity)]);
  }
  return places;
}

// What became of each file's entries, as check counts them; each counted once.
std::vector<std::string> Fates(const CheckedTranslations& checked) {
  std::vector<std::string> fates;
  for (const tool::FileSummary& f : checked.set.summaries) {
    fates.push_back(std::to_string(f.entries) + ": " + std::to_string(f.records) + " records, " +
                    tool::EntriesBesideRecords(f));
    EXPECT_EQ(f.used() + f.overridden + f.withErrors + f.sharingHash + f.fuzzy + f.untranslated + f.obsolete +
                  f.unreadable, f.entries) << f.path;
  }
  return fates;
}

std::string Listing(const CheckedTranslations& checked) {
  std::string out;
  for (const Problem& f : checked.findings) out += tool::FormatProblem(f) + "\n";
  return out;
}

const char kManyProblemsPo[] =
    "msgid \"\"\n"                                   // 1
    "msgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n"
    "\n"
    "msgid \"Open\"\n"                               // 4
    "msgstr \"\xE6\x89\x93\xE5\xBC\x80\"\n"
    "\n"
    "msgid \"Save %s\"\n"                            // 7: printf directive lost
    "msgstr \"\xE4\xBF\x9D\xE5\xAD\x98\"\n"
    "\n"
    "msgid \"Bell\"\n"                               // 10: control character
    "msgstr \"\xE9\x93\x83\\a\"\n"
    "\n"
    "msgid \"Smile\"\n"                              // 13: beyond U+FFFF
    "msgstr \"\xE7\xAC\x91\xF0\x9F\x98\x80\"\n"
    "\n"
    "msgctxt \"menu\"\n"
    "msgid \"\"\n"                                   // 17: empty host text, and a context
    "msgstr \"\xE7\xA9\xBA\"\n"
    "\n"
    "msgid \"Two\\nlines\"\n"                        // 20: line breaks
    "msgstr \"\xE4\xB8\xA4\xE8\xA1\x8C\"\n"
    "\n"
    "msgid \" padded\"\n"                            // 23: leading white space
    "msgstr \"\xE5\xA1\xAB\"\n"
    "\n"
    "msgid \"Name\"\n"                               // 26: unchanged
    "msgstr \"Name\"\n"
    "\n"
    "msgid \"one file\"\n"                           // 29: plural (its %d follows msgid_plural)
    "msgid_plural \"%d files\"\n"
    "msgstr[0] \"%d \xE4\xB8\xAA\"\n"
    "msgstr[1] \"%d \xE4\xB8\xAA\"\n"
    "\n"
    "#, fuzzy\n"
    "msgid \"Unsure\"\n"                             // 35: fuzzy: not used, so not checked
    "msgstr \"\\a\"\n"
    "\n"
    "msgid \"Later\"\n"                              // 38: untranslated
    "msgstr \"\"\n"
    "\n"
    "#~ msgid \"Old\"\n"
    "#~ msgstr \"\xE6\x97\xA7\"\n";

const char kManyProblemsCsv[] =
    "source,translation\n"
    "Open,\xE5\xBC\x80\xE5\x90\xAF\n"                   // 2: another translation of a.po:4
    ",\xE7\xA9\xBA\xE7\x9A\x84\n"                       // 3: empty host text
    "B\x9C,\xE4\xB8\x80\n"                              // 4
    "A\x1F,\xE4\xBA\x8C\n"                              // 5: shares the hash of line 4
    "Bad,\xE4\xBD\n"                                    // 6: not UTF-8
    "\"Line\r\nend\",\"\xE8\xA1\x8C\r\n\xE5\xB0\xBE\"\n"  // 7 to 9: CR LF in quoted cells
    "Trail ,\xE5\xB0\xBE\n"                             // 10: trailing white space
    "Hi <b>there</b>,\xE4\xBD\xA0\xE5\xA5\xBD\n"        // 11: markup lost
    "Hello {name},\xE4\xBD\xA0\xE5\xA5\xBD {0}\n"       // 12: brace field renamed
    "Ring,\xE5\x93\x8D\xEA\x80\x80\n"                   // 13: U+A000, which the font lacks
    "Ring again,\xE5\x8F\x88\xEA\x80\x80\n"             // 14: the same character: said once
    "\"Wrap\n\",\xE5\x8C\x85\n";                           // 15: a line break lost, said once

TEST(TranslationChecks, EveryProblemOfASetAtItsPlaceInOneRun) {
  ASSERT_EQ(TestHash("B\x9C"), TestHash("A\x1F"));
  TempDir dir;
  const std::string po = dir.Write("a.po", kManyProblemsPo);
  const std::string csv = dir.Write("b.csv", kManyProblemsCsv);
  const std::string broken = dir.Write("c.po", "msgid \"x\"\nmsgstr unquoted\n");
  const std::string clean = dir.Write("d.csv", "source,translation\nYes,\xE6\x98\xAF\n");
  tool::CheckOptions options;
  options.fontPath = kMicroHei;
  const CheckedTranslations checked = tool::CheckTranslations({po, csv, broken, clean}, options);
  const std::vector<std::string> expected = {
      "a.po:7: warning",  "a.po:10: error",   "a.po:13: error",   "a.po:17: error",   "a.po:17: warning",
      "a.po:20: warning", "a.po:23: warning", "a.po:26: warning", "a.po:29: warning", "b.csv:2: error",
      "b.csv:3: error",   "b.csv:5: error",   "b.csv:6: error",   "b.csv:7: warning", "b.csv:10: warning",
      "b.csv:11: warning", "b.csv:12: warning", "b.csv:13: error", "b.csv:15: warning", "c.po:2: error",
  };
  EXPECT_EQ(Places(checked), expected) << Listing(checked);
  EXPECT_EQ(checked.errors(), 9u);

  // The conflicts name both places (and the hash), the font check the character.
  const std::string listing = Listing(checked);
  EXPECT_NE(listing.find("b.csv:2: error: host text \"Open\" has another translation at " + po + ":4"),
            std::string::npos) << listing;
  char hash[16];
  std::snprintf(hash, sizeof hash, "0x%08X", TestHash("A\x1F"));
  EXPECT_NE(listing.find(std::string("shares the hash ") + hash), std::string::npos) << listing;
  EXPECT_NE(listing.find(csv + ":4"), std::string::npos) << listing;
  EXPECT_NE(listing.find("U+A000"), std::string::npos) << listing;
  EXPECT_NE(listing.find("U+0007"), std::string::npos) << listing;
  EXPECT_NE(listing.find("U+1F600"), std::string::npos) << listing;

  ASSERT_EQ(checked.set.summaries.size(), 4u);  // c.po is read past its syntax error
  EXPECT_EQ(checked.set.summaries[0].path, po);
  // a.po: 11 messages and the obsolete one; Bell, Smile and the empty msgid have errors. b.csv:5
  // shares the hash of line 4's record.
  EXPECT_EQ(Fates(checked), (std::vector<std::string>{"12: 6 records, 3 with errors, 1 fuzzy, 1 untranslated, 1 obsolete",
                                                      "12: 8 records, 3 with errors, 1 sharing a record's hash",
                                                      "1: 0 records, 1 unreadable", "1: 1 records, "}));
  // The CSV's CR LF came through as LF: its record is "Line\nend".
  bool lineFeed = false;
  for (const auto& kept : checked.set.kept) lineFeed = lineFeed || kept.entry->host == "Line\nend";
  EXPECT_TRUE(lineFeed);

  // Files of the same bytes under other names (diff's other side) come from the cache: the same
  // findings, at the other names and places; a file that differs is read.
  tool::FileCheckCache cache;
  EXPECT_EQ(Listing(tool::CheckTranslations({po, csv, broken, clean}, options, &cache)), listing);
  TempDir other;
  const std::vector<std::string> copies = {other.Write("a.po", kManyProblemsPo), other.Write("b.csv", kManyProblemsCsv),
                                           other.Write("c.po", "msgid \"x\"\nmsgstr unquoted\n"),
                                           other.Write("d.csv", "source,translation\nNo,\xE5\x90\xA6\n")};
  const CheckedTranslations again = tool::CheckTranslations(copies, options, &cache);
  std::string renamed = listing;
  for (size_t at; (at = renamed.find(dir.Path(""))) != std::string::npos;) renamed.replace(at, dir.Path("").size(), other.Path(""));
  EXPECT_EQ(Listing(again), renamed);
  EXPECT_EQ(again.set.kept.back().entry->host, "No");
  EXPECT_EQ(again.set.kept.front().entry->file, copies[0]);
  // The same files in another order (watch, after a file is added before them): the findings the
  // cache holds follow the files' new positions, as a fresh check's do.
  const std::vector<std::string> reordered = {clean, broken, csv, po};
  EXPECT_EQ(Listing(tool::CheckTranslations(reordered, options, &cache)), Listing(tool::CheckTranslations(reordered, options)));

  // Read on two threads, each file is what it is read alone, at its own place; one that cannot be
  // read is its own failure.
  const std::vector<std::string> files = {po, dir.Path("gone.po"), csv, broken, clean, po, csv, clean};
  std::vector<int> places(files.size());
  for (size_t i = 0; i < places.size(); ++i) places[i] = static_cast<int>(i);
  const std::vector<tool::FileReading> readings = tool::ReadAndCheckFiles(files, places, tool::CheckEntry);
  ASSERT_EQ(readings.size(), files.size());
  for (size_t i = 0; i < files.size(); ++i) {
    SCOPED_TRACE(files[i]);
    const tool::FileReading alone = tool::ReadAndCheckFiles({files[i]}, {places[i]}, tool::CheckEntry).front();
    ASSERT_EQ(readings[i].file == nullptr, i == 1);
    EXPECT_EQ(readings[i].failure != nullptr, i == 1);
    if (i == 1) continue;
    EXPECT_EQ(readings[i].file->source.path, files[i]);
    EXPECT_EQ(readings[i].file->passed, alone.file->passed);
    std::string together, apart;
    for (const Problem& f : readings[i].file->findings) together += tool::FormatProblem(f) + " @" + std::to_string(f.fileIndex) + "\n";
    for (const Problem& f : alone.file->findings) apart += tool::FormatProblem(f) + " @" + std::to_string(f.fileIndex) + "\n";
    EXPECT_EQ(together, apart);
  }
}

// check measures lines and fits the atlas with the glyph records pack-font writes for the same
// files and options, field for field: at the height it chooses or is given, in each atlas size,
// with the fallback's glyphs among them.
TEST(TranslationChecks, ArrangesTheGlyphRecordsPackFontWrites) {
  TempDir dir;
  std::string ideographs;
  for (uint32_t c = 0x4E00; c < 0x4E00 + 2300; ++c) {
    ideographs += {char(0xE0 | (c >> 12)), char(0x80 | ((c >> 6) & 0x3F)), char(0x80 | (c & 0x3F))};
  }
  const std::string small = dir.Write("small.csv", "source,translation\nLanguage: (Ge\xCA\xBB" "ez),"
                                                   "\xE8\xAF\xAD\xE8\xA8\x80\xEF\xBC\x9A(Ge\xCA\xBB" "ez)\n");
  const std::string many = dir.Write("many.csv", "source,translation\nAll," + ideographs + "\n");
  const struct {
    std::string file;
    int glyphHeight;
    AtlasSize atlas;
  } cases[] = {
      {small, 0, {2048, 1024}},
      {small, 18, {4096, 2048}},
      {many, 0, {2048, 1024}},  // fits below 25 px only
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.file + " " + std::to_string(c.glyphHeight));
    tool::CheckOptions options;
    options.fontPath = kMicroHei;
    options.fallbackFonts = {kDejaVuSans};
    options.layout.glyphHeight = c.glyphHeight;
    options.layout.atlas = c.atlas;
    options.arrangeFont = true;
    const CheckedTranslations checked = tool::CheckTranslations({c.file}, options);
    ASSERT_TRUE(checked.font.has_value()) << Listing(checked);
    std::vector<std::string> arguments = {"pack-font", "--font", kMicroHei, "--fallback-font", kDejaVuSans,
                                          "--glyphs", dir.Path("g.bin"), "--atlas", dir.Path("a.dds"),
                                          "--atlas-size", std::to_string(c.atlas.width) + "x" + std::to_string(c.atlas.height), c.file};
    if (c.glyphHeight != 0) arguments.insert(arguments.end(), {"--glyph-height", std::to_string(c.glyphHeight)});
    const ToolRun packed = RunTool(arguments);
    ASSERT_EQ(packed.exitCode, 0) << packed.err;
    EXPECT_EQ(SerializeGlyphTable(checked.font->records), ReadBytes(dir.Path("g.bin")));
  }
}

TEST(TranslationChecks, LaterWinsOverridesTheSameHostTextOnlyAndListsEachOverride) {
  TempDir dir;
  const std::string base =
      dir.Write("base.csv", "source,translation\nOpen,\xE5\xBC\x80\nB\x9C,\xE4\xB8\x80\nKeep,\xE7\x95\x99\n");
  const std::string patch =
      dir.Write("patch.csv", "source,translation\nOpen,\xE6\x89\x93\xE5\xBC\x80\nA\x1F,\xE4\xBA\x8C\n");
  const std::string again = dir.Write("again.csv", "source,translation\nOpen,\xE6\x89\x93\xE5\xBC\x80\n");
  // A repeat of the base's translation must not survive the override beside the winner.
  const std::string repeat = dir.Write("repeat.csv", "source,translation\nOpen,\xE5\xBC\x80\n");

  const CheckedTranslations strict = tool::CheckTranslations({base, patch, again}, {});
  EXPECT_EQ(Places(strict), (std::vector<std::string>{"patch.csv:2: error", "patch.csv:3: error", "again.csv:2: error"}))
      << Listing(strict);

  tool::CheckOptions options;
  options.laterWins = true;
  const CheckedTranslations layered = tool::CheckTranslations({base, repeat, patch, again}, options);
  // Another host text with the same hash is no override: it would show the kept translation.
  EXPECT_EQ(Places(layered), (std::vector<std::string>{"patch.csv:2: note", "patch.csv:3: error"})) << Listing(layered);
  EXPECT_EQ(layered.findings.at(0).message, "overrides " + repeat + ":2");
  std::vector<std::string> used;
  for (const auto& kept : layered.set.kept) used.push_back(kept.entry->translation);
  // "again.csv" repeats the winner: one record, no override.
  EXPECT_EQ(used, (std::vector<std::string>{"\xE4\xB8\x80", "\xE7\x95\x99", "\xE6\x89\x93\xE5\xBC\x80",
                                            "\xE6\x89\x93\xE5\xBC\x80"}));
  EXPECT_EQ(layered.set.records(), 3u);
  // Each record where the first entry kept with its hash stands: the override's after "Keep".
  std::vector<std::string> recorded;
  WalkTranslationImage(layered.set.image.data(), layered.set.image.size(),
                       [&recorded](const ImageRecord& record) { recorded.emplace_back(record.text); });
  EXPECT_EQ(recorded, (std::vector<std::string>{"\xE4\xB8\x80", "\xE7\x95\x99", "\xE6\x89\x93\xE5\xBC\x80"}));
  EXPECT_EQ(Fates(layered), (std::vector<std::string>{"3: 2 records, 1 overridden", "1: 0 records, 1 overridden",
                                                      "2: 1 records, 1 sharing a record's hash",
                                                      "1: 0 records, 1 repeating a record"}));

  // Within one file, two translations stay an error: a file does not override itself.
  const std::string twice = dir.Write("twice.csv", "source,translation\nOpen,\xE5\xBC\x80\nOpen,\xE6\x89\x93\xE5\xBC\x80\n");
  const CheckedTranslations self = tool::CheckTranslations({base, twice}, options);
  EXPECT_EQ(Places(self), (std::vector<std::string>{"twice.csv:3: error"})) << Listing(self);
}

// What the game would show, asked of the module's lookups: each set of files gives exactly these
// findings (the places, and the part of each message that names what the game shows).
TEST(TranslationChecks, HostTextsThatWouldShowAnotherTextsTranslation) {
  ASSERT_EQ(TestHash("YFokxZcx"), TestHash("LuMaOBaQ"));
  const std::string hash = "0x5FFA70D4";
  const std::string a =
      "source,translation\nYFokxZcx,\xE7\x94\xB2\nHello,\xE4\xBD\xA0\nTrans,\xE4\xB8\xAD" "AB\n"
      "\xE4\xB8\xAD,\xE4\xBA\x8C\n";
  const struct Case {
    std::vector<std::pair<std::string, std::string>> files;  // the first is a.csv above
    bool laterWins;
    std::vector<uint32_t> accepted;
    std::vector<std::string> expected;  // "file:line: kind: part of the message"
  } cases[] = {
      {{{"c.csv", "source,translation\nLuMaOBaQ,\n"}}, false, {},
       {"c.csv:2: error: has no translation but shares the hash " + hash + ": the game would show \"\xE7\x94\xB2\" "
        "(the translation of \"YFokxZcx\" at a.csv:2)"}},
      {{{"c.csv", "source,translation\nLuMaOBaQ,\n"}}, false, {0x5FFA70D4},
       {"c.csv:2: note: shares the accepted hash " + hash}},
      {{{"b.csv", "source,translation\nLuMaOBaQ,\xE4\xB9\x99\n"}}, true, {},
       {"b.csv:2: error: shares the hash " + hash + ": the game would show \"\xE7\x94\xB2\""}},
      {{{"game.txt", "Hello!\nTransx\nHe\nLuMaOBaQ\nTrans   \n"}}, false, {},
       {"game.txt:1: warning: at the subtitle site the game would show \"\xE4\xBD\xA0\" (the translation of \"Hello\" at "
        "a.csv:3), found for the text without its last byte",
        "game.txt:2: warning: the fallback finds \"\xE4\xB8\xAD" "AB\" (the translation of \"Trans\" at a.csv:4) for the "
        "text without its last byte, then replaces it by \"\xE4\xBA\x8C\" (the translation of \"\xE4\xB8\xAD\" at "
        "a.csv:5)",
        "game.txt:4: error: has no translation but shares the hash " + hash,
        "game.txt:5: warning: has no translation; \"Trans\" at a.csv:4 has one, and differs from it only in white "
        "space at the end or a line feed [near-match]"}},
      {{{"c.csv", "source,translation\nHell,\xE5\x9C\xB0\nHell!!,\n"}}, false, {0x12},
       {"warning: --accept-shared-hash 0x00000012: no two host texts of the set share it",
        "c.csv:3: warning: found for the text without its last two bytes"}},
  };
  for (const Case& c : cases) {
    TempDir dir;
    std::vector<std::string> files = {dir.Write("a.csv", a)};
    tool::CheckOptions options;
    options.laterWins = c.laterWins;
    options.acceptedHashes = c.accepted;
    for (const auto& [name, content] : c.files) {
      (name == "game.txt" ? options.hostTextFiles : files).push_back(dir.Write(name, content));
    }
    const CheckedTranslations checked = tool::CheckTranslations(files, options);
    // The list's texts that the set does not translate: all of them here ("LuMaOBaQ" shows another's).
    EXPECT_EQ(checked.untranslatedHostTexts.size(), options.hostTextFiles.empty() ? 0u : 5u);
    std::string listing = Listing(checked);
    for (size_t at; (at = listing.find(dir.Path(""))) != std::string::npos;) listing.erase(at, dir.Path("").size());
    ASSERT_EQ(checked.findings.size(), c.expected.size()) << listing;
    size_t next = 0;
    for (const std::string& expected : c.expected) {
      const size_t colon = expected.find(": ", expected.find(": ") + 2);
      const std::string place = expected.substr(0, colon), part = expected.substr(colon + 2);
      const std::string line = listing.substr(next, listing.find('\n', next) - next);
      next = listing.find('\n', next) + 1;
      EXPECT_EQ(line.rfind(place, 0), 0u) << line;
      EXPECT_NE(line.find(part), std::string::npos) << line;
    }
  }
  // A set with nothing translated builds nothing: check says so, as pack-text would.
  TempDir dir;
  const CheckedTranslations none = tool::CheckTranslations({dir.Write("u.csv", "source,translation\nOpen,\n")}, {});
  EXPECT_EQ(Listing(none), "error: no translated entry in the set: there is nothing to pack\n");
}

}  // namespace
}  // namespace vykcn::test
