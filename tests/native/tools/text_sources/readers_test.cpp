// Reading translators' files: PO through libgettextpo with msgfmt's rules, CSV by RFC 4180.
#include <gtest/gtest.h>

#include <iconv.h>

#include <string>
#include <vector>

#include "common/command_error.h"
#include "text_sources/csv_reader.h"
#include "text_sources/po_reader.h"
#include "text_sources/text_entry.h"
#include "text_sources/text_sources.h"
#include "tools/support/test_files.h"

namespace vykcn::test {
namespace {

using tool::TextEntry;

std::vector<TextEntry> Usable(const std::vector<TextEntry>& entries) {
  std::vector<TextEntry> out;
  for (const auto& e : entries) {
    if (e.usable) out.push_back(e);
  }
  return out;
}

TEST(PoReader, MsgfmtRulesEscapesPluralsAndLines) {
  TempDir dir;
  const std::string po = dir.Write("a.po",
                                   "msgid \"\"\n"
                                   "msgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n"
                                   "\n"
                                   "msgid \"Tab\\there \\\"quoted\\\"\\n\"\n"
                                   "msgstr \"\xE5\x88\xB6\xE8\xA1\xA8\\t\"\n"
                                   "\n"
                                   "#, fuzzy\n"
                                   "msgid \"Fuzzy\"\n"
                                   "msgstr \"F\"\n"
                                   "\n"
                                   "msgid \"Untranslated\"\n"
                                   "msgstr \"\"\n"
                                   "\n"
                                   "msgid \"one file\"\n"
                                   "msgid_plural \"%d files\"\n"
                                   "msgstr[0] \"%d \xE4\xB8\xAA\xE6\x96\x87\xE4\xBB\xB6\"\n"
                                   "msgstr[1] \"unused\"\n"
                                   "\n"
                                   "msgctxt \"menu\"\n"
                                   "msgid \"Open\"\n"
                                   "msgstr \"\xE6\x89\x93\xE5\xBC\x80\"\n"
                                   "\n"
                                   "#~ msgid \"Old\"\n"
                                   "#~ msgstr \"Obsolete\"\n");
  const auto entries = tool::ReadPoFile(po);
  ASSERT_EQ(entries.size(), 5u);  // header and obsolete entries are not entries
  const auto usable = Usable(entries);
  ASSERT_EQ(usable.size(), 3u);
  EXPECT_EQ(usable[0].host, "Tab\there \"quoted\"\n");
  EXPECT_EQ(usable[0].translation, "\xE5\x88\xB6\xE8\xA1\xA8\t");
  EXPECT_EQ(usable[0].line, 4);
  EXPECT_EQ(usable[1].host, "one file");
  EXPECT_EQ(usable[1].translation, "%d \xE4\xB8\xAA\xE6\x96\x87\xE4\xBB\xB6");
  EXPECT_EQ(usable[1].line, 14);
  EXPECT_EQ(usable[2].host, "Open");
  EXPECT_EQ(usable[2].context, "menu");
  EXPECT_EQ(usable[2].line, 20);
  EXPECT_EQ(entries[1].host, "Fuzzy");
  EXPECT_FALSE(entries[1].usable);
  EXPECT_EQ(entries[2].host, "Untranslated");
  EXPECT_FALSE(entries[2].usable);
}

TEST(PoReader, ErrorsNameFileAndLine) {
  TempDir dir;
  struct Case {
    const char* file;
    const char* text;
    std::vector<std::string> inError;
  };
  const Case cases[] = {
      {"bad.po", "msgid \"a\"\nmsgstr \"b\"\n\nmsgid \"c\"\nmsgstr unquoted\n", {"bad.po:5"}},
      {"nul.po", "msgid \"a\"\nmsgstr \"b\"\n\nmsgid \"c\"\nmsgstr \"x\\000y\"\n", {"nul.po:5", "NUL"}},
  };
  for (const Case& c : cases) {
    try {
      tool::ReadPoFile(dir.Write(c.file, c.text));
      ADD_FAILURE() << c.file << " was accepted";
    } catch (const tool::CommandError& e) {
      for (const std::string& part : c.inError) EXPECT_NE(std::string(e.what()).find(part), std::string::npos) << e.what();
    }
  }
  // \012 is a newline, not a NUL.
  const std::string newline = dir.Write("nl.po", "msgid \"a\"\nmsgstr \"x\\012y\"\n");
  EXPECT_EQ(tool::ReadPoFile(newline).at(0).translation, "x\ny");
}

TEST(CsvReader, QuotedFieldsAndRecordLines) {
  TempDir dir;
  const std::string csv = dir.Write("t.csv",
                                    "\xEF\xBB\xBFnotes,Source,translation\r\n"
                                    "n1,plain,\xE5\xB9\xB3\r\n"
                                    "n2,\"with, comma\",\"say \"\"hi\"\"\"\r\n"
                                    "n3,\"two\nlines\",\"\xE4\xB8\xA4\n\xE8\xA1\x8C\"\n"
                                    "n4,untranslated,\n");
  const auto entries = tool::ReadCsvFile(csv);
  ASSERT_EQ(entries.size(), 4u);
  EXPECT_EQ(entries[0].host, "plain");
  EXPECT_EQ(entries[0].line, 2);
  EXPECT_EQ(entries[1].host, "with, comma");
  EXPECT_EQ(entries[1].translation, "say \"hi\"");
  EXPECT_EQ(entries[2].host, "two\nlines");
  EXPECT_EQ(entries[2].translation, "\xE4\xB8\xA4\n\xE8\xA1\x8C");
  EXPECT_EQ(entries[2].line, 4);
  EXPECT_EQ(entries[3].line, 7);  // the record before spans lines 4 to 6
  EXPECT_FALSE(entries[3].usable);
}

TEST(CsvReader, MalformedInputsAreRefusedWithTheirLine) {
  TempDir dir;
  using namespace std::string_literals;
  const struct {
    std::string content;
    const char* where;
  } cases[] = {
      {"source,translation\na,\"open\n", "bad.csv:2"},           // quote never closed
      {"source,translation\na,b\nc\n", "bad.csv:3"},             // too few fields
      {"host,text\na,b\n", "bad.csv:1"},                          // columns not named
      {"source,translation\na,\"b\"x\n", "bad.csv:2"},           // text after a closing quote
      {"source,translation\na,b\0c\n"s, "bad.csv:2"},
  };
  for (const auto& c : cases) {
    const std::string file = dir.Write("bad.csv", c.content);
    try {
      tool::ReadCsvFile(file);
      ADD_FAILURE() << "accepted: " << c.content;
    } catch (const tool::CommandError& e) {
      EXPECT_NE(std::string(e.what()).find(c.where), std::string::npos) << e.what();
    }
  }
}

// The text in another charset, by glibc's iconv (the test's own way of writing such files).
std::string Encoded(const std::string& utf8, const char* charset) {
  iconv_t cd = iconv_open(charset, "UTF-8");
  std::string in = utf8, out(utf8.size() * 4 + 8, '\0');
  char* inPtr = in.data();
  char* outPtr = out.data();
  size_t inLeft = in.size(), outLeft = out.size();
  const size_t result = iconv(cd, &inPtr, &inLeft, &outPtr, &outLeft);
  iconv_close(cd);
  EXPECT_NE(result, static_cast<size_t>(-1)) << charset;
  out.resize(out.size() - outLeft);
  return out;
}

std::vector<std::pair<std::string, std::string>> Pairs(const std::vector<TextEntry>& entries) {
  std::vector<std::pair<std::string, std::string>> pairs;
  for (const auto& e : entries) pairs.emplace_back(e.host, e.translation);
  return pairs;
}

TEST(TextSources, CharsetsDelimitersAndCaseGiveTheSameEntries) {
  TempDir dir;
  // U+4E57 is 81 5C in GBK: its second byte is a backslash to a reader that ignores the charset.
  const std::string body =
      "msgid \"Open\"\nmsgstr \"\xE6\x89\x93\xE5\xBC\x80\"\n\n"
      "msgid \"Count %d\"\nmsgstr \"\xE6\x95\xB0\xE9\x87\x8F %d\"\n\n"
      "msgid \"Can\"\nmsgstr \"\xE8\x83\xBD\xE4\xB9\x97\"\n";
  const std::string utf8Po = dir.Write("u.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n" + body);
  const std::string gbkPo =
      dir.Write("g.PO", Encoded("msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=GBK\\n\"\n\n" + body, "GBK"));
  const auto expected = Pairs(tool::ReadTextSourceFile(utf8Po).entries);
  ASSERT_EQ(expected.size(), 3u);
  EXPECT_EQ(Pairs(tool::ReadTextSourceFile(gbkPo).entries), expected);
  EXPECT_EQ(tool::ReadTextSourceFile(gbkPo).entries.at(1).line, 7);

  const std::string rows =
      "Open|\xE6\x89\x93\xE5\xBC\x80\n\"Count %d\"|\"\xE6\x95\xB0\xE9\x87\x8F %d\"\nCan|\xE8\x83\xBD\xE4\xB9\x97\n";
  const auto withDelimiter = [&](char delimiter) {
    std::string text = "source|translation\n" + rows;
    for (char& c : text) {
      if (c == '|') c = delimiter;
    }
    return text;
  };
  const std::string files[] = {
      dir.Write("comma.csv", withDelimiter(',')),
      dir.Write("semicolon.csv", withDelimiter(';')),
      dir.Write("tab.Csv", withDelimiter('\t')),
      dir.Write("bom.csv", "\xEF\xBB\xBF" + withDelimiter(',')),
      dir.Write("le.csv", "\xFF\xFE" + Encoded(withDelimiter('\t'), "UTF-16LE")),
      dir.Write("be.CSV", "\xFE\xFF" + Encoded(withDelimiter(';'), "UTF-16BE")),
  };
  for (const std::string& file : files) {
    const auto entries = tool::ReadTextSourceFile(file).entries;
    EXPECT_EQ(Pairs(entries), expected) << file;
    EXPECT_EQ(entries.size() == 3 ? entries[2].line : 0, 4) << file;
  }
  // A field may hold the other delimiters.
  const std::string mixed = dir.Write("mixed.csv", "source;translation\n\"a, b\";c\td\n");
  EXPECT_EQ(Pairs(tool::ReadCsvFile(mixed)), (std::vector<std::pair<std::string, std::string>>{{"a, b", "c\td"}}));
}

TEST(TextSources, RefusesWhatCannotBeConverted) {
  TempDir dir;
  const struct {
    std::string name, content, where;
  } cases[] = {
      {"unknown.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=NO-SUCH-SET\\n\"\n\nmsgid \"a\"\nmsgstr \"b\"\n",
       "NO-SUCH-SET"},
      {"badgbk.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=GBK\\n\"\n\nmsgid \"a\"\nmsgstr \"\x81\"\n", "badgbk.po:5"},
      {"odd.csv", "\xFF\xFE" + Encoded("source,translation\na,b\n", "UTF-16LE") + "\x41", "odd.csv"},
      {"notes.txt", "source,translation\na,b\n", "notes.txt"},
  };
  for (const auto& c : cases) {
    const std::string file = dir.Write(c.name, c.content);
    try {
      tool::ReadTextSourceFile(file);
      ADD_FAILURE() << "accepted: " << c.name;
    } catch (const tool::CommandError& e) {
      EXPECT_NE(std::string(e.what()).find(c.where), std::string::npos) << e.what();
    }
  }
}

TEST(PoReader, LinesAndOrderWithDomains) {
  TempDir dir;
  const std::string po = dir.Write("d.po",
                                   "msgid \"one\"\n"        // 1
                                   "msgstr \"1\"\n"
                                   "\n"
                                   "domain \"other\"\n"
                                   "msgid \"two\"\n"        // 5
                                   "msgstr \"2\"\n"
                                   "\n"
                                   "domain \"messages\"\n"
                                   "msgid \"three\"\n"      // 9
                                   "msgstr \"3\"\n"
                                   "\n"
                                   "domain \"other\"\n"
                                   "msgid \"four\"\n"       // 13
                                   "msgstr \"4\"\n");
  std::vector<std::pair<std::string, int>> seen;
  for (const auto& e : tool::ReadPoFile(po)) seen.emplace_back(e.host, e.line);
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, int>>{{"one", 1}, {"two", 5}, {"three", 9}, {"four", 13}}));
}

TEST(CsvReader, CrLfInsideQuotedCellsIsALineFeedAndSaidSo) {
  TempDir dir;
  const std::string csv = dir.Write("w.csv", "source,translation\r\n\"a\r\nb\",\"x\r\ny\"\r\nplain,\"lone\rcr\"\r\n");
  const auto entries = tool::ReadCsvFile(csv);
  ASSERT_EQ(entries.size(), 2u);
  EXPECT_EQ(entries[0].host, "a\nb");
  EXPECT_EQ(entries[0].translation, "x\ny");
  EXPECT_TRUE(entries[0].crLfInCell);
  EXPECT_EQ(entries[1].line, 5);  // the first record spans lines 2 to 4
  EXPECT_EQ(entries[1].translation, "lone\rcr");  // a lone CR is no line end; the checks refuse it
  EXPECT_FALSE(entries[1].crLfInCell);
}

}  // namespace
}  // namespace vykcn::test
