// Writing translators' files: PO as gettext's tools write it, CSV by RFC 4180; each read back by
// the toolkit's own readers to the very bytes written.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "text_sources/csv_reader.h"
#include "text_sources/csv_writer.h"
#include "text_sources/po_reader.h"
#include "text_sources/po_wrap.h"
#include "text_sources/po_writer.h"
#include "tools/support/test_files.h"

namespace vykcn::test {
namespace {

bool HasProgram(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0; }

TEST(PoWriter, EscapesReadBackAndLinesFollowMsgcat) {
  const std::string ideographs36 = [] {
    std::string s;
    for (int i = 0; i < 36; ++i) s += "\xE4\xB8\x80";  // 一: two columns
    return s;
  }();
  struct Case {
    std::string text;
    std::vector<std::string> lines;  // as msgcat writes them after "msgid"
    bool printable;                  // msgcat writes control bytes raw and drops bytes that are not UTF-8
  };
  const Case cases[] = {
      {"Hello\n", {"msgid \"Hello\\n\""}, true},
      {"Tab\there \"quoted\" back\\slash", {"msgid \"Tab\\there \\\"quoted\\\" back\\\\slash\""}, true},
      {"two\nlines", {"msgid \"\"", "\"two\\n\"", "\"lines\""}, true},
      {"\n\n", {"msgid \"\"", "\"\\n\"", "\"\\n\""}, true},
      {"bell\a cr\r del\x7F one\x01 bad\xFF\xC3", {"msgid \"bell\\a cr\\r del\\177 one\\001 bad\\377\\303\""}, false},
      {"A very long string that goes on and on and on and on and on and on and on and on and on and on and on and on and on",
       {"msgid \"\"", "\"A very long string that goes on and on and on and on and on and on and on \"",
        "\"and on and on and on and on and on and on\""},
       true},
      {ideographs36.substr(3) + "a", {"msgid \"" + ideographs36.substr(3) + "a\""}, true},  // 79 columns: fits
      {ideographs36, {"msgid \"\"", "\"" + ideographs36 + "\""}, true},
      {ideographs36 + "\xE4\xB8\x80\xE4\xB8\x80\xEF\xBC\x8C\xE4\xBA\x8C",  // no break before the fullwidth comma
       {"msgid \"\"", "\"" + ideographs36 + "\xE4\xB8\x80\"", "\"\xE4\xB8\x80\xEF\xBC\x8C\xE4\xBA\x8C\""},
       true},
      {"No suitable package manager CLI found. Please make sure that e.g. \"pkcon\" (from PackageKit) is available.",
       {"msgid \"\"", "\"No suitable package manager CLI found. Please make sure that e.g. \"",
        "\"\\\"pkcon\\\" (from PackageKit) is available.\""},
       true},
      {"冲突（重命名/重命名）：在 %3$s 中重命名 %1$s->%2$s，在 %6$s 中重命名 %4$s->%5$s",  // after a hyphen
       {"msgid \"\"", "\"冲突（重命名/重命名）：在 %3$s 中重命名 %1$s->%2$s，在 %6$s 中重命名 %4$s-\"", "\">%5$s\""},
       true},
  };
  std::vector<tool::PoMessage> all, printable;
  for (const Case& c : cases) {
    EXPECT_EQ(tool::PoStringLines("msgid", c.text), c.lines) << c.text;
    all.push_back({"src/a b.po", 7, false, "", c.text, c.text});
    if (c.printable) printable.push_back(all.back());
  }
  TempDir dir;
  const std::string po = dir.Write("all.po", tool::WritePoCatalogue({{"left out: \"x\"\n"}, "zh_CN", all}));
  const tool::SourceFile back = tool::ReadPoFile(po);
  EXPECT_TRUE(back.problems.empty()) << back.problems[0].message;
  ASSERT_EQ(back.entries.size(), all.size());
  for (size_t i = 0; i < all.size(); ++i) EXPECT_EQ(back.entries[i].host, all[i].msgid) << i;
  if (HasProgram("msgfmt")) {
    EXPECT_EQ(std::system(("msgfmt -c -o /dev/null '" + po + "'").c_str()), 0);
  }
  if (HasProgram("msgcat")) {
    const std::string layout = dir.Write("layout.po", tool::WritePoCatalogue({{"comment"}, "zh_CN", printable}));
    ASSERT_EQ(std::system(("msgcat -o '" + dir.Path("msgcat.po") + "' '" + layout + "'").c_str()), 0);
    EXPECT_EQ(ReadBytes(dir.Path("msgcat.po")), ReadBytes(layout));
  }
}

TEST(CsvWriter, CellsQuotedWhereNeededAndReadBackAsWritten) {
  struct Case {
    std::vector<std::string> cells;
    std::string line;
  };
  const Case cases[] = {
      {{"plain", "\xE6\x98\xAF"}, "plain,\xE6\x98\xAF\r\n"},
      {{"a,b", "say \"hi\""}, "\"a,b\",\"say \"\"hi\"\"\"\r\n"},
      {{"two\nlines", " padded "}, "\"two\nlines\",\" padded \"\r\n"},
      {{"semi;colon", "tab\there"}, "\"semi;colon\",\"tab\there\"\r\n"},
      {{"lone\rreturn", "\"quoted\""}, "\"lone\rreturn\",\"\"\"quoted\"\"\"\r\n"},
  };
  std::string file = tool::CsvRecordLine({"source", "translation"});
  for (const Case& c : cases) {
    EXPECT_EQ(tool::CsvRecordLine(c.cells), c.line);
    EXPECT_TRUE(tool::CsvKeepsCell(c.cells[0]) && tool::CsvKeepsCell(c.cells[1]));
    file += c.line;
  }
  TempDir dir;
  const tool::SourceFile back = tool::ReadCsvFile(dir.Write("t.csv", file));
  ASSERT_EQ(back.entries.size(), std::size(cases));
  for (size_t i = 0; i < back.entries.size(); ++i) {
    EXPECT_EQ(back.entries[i].host, cases[i].cells[0]);
    EXPECT_EQ(back.entries[i].translation, cases[i].cells[1]);
  }
  // The one thing a cell cannot carry, as the writer says.
  const std::string crLf = "a\r\nb";
  EXPECT_FALSE(tool::CsvKeepsCell(crLf));
  EXPECT_NE(tool::ReadCsvFile(dir.Write("crlf.csv", "source,translation\r\n" + tool::CsvRecordLine({crLf, "x"}))).entries[0].host,
            crLf);
}

}  // namespace
}  // namespace vykcn::test
