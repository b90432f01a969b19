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
  const auto entries = tool::ReadPoFile(po).entries;
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

// "LINE: error|warning: MESSAGE" for each problem, as a reader reports them.
std::vector<std::string> Problems(const tool::SourceFile& file) {
  std::vector<std::string> out;
  for (const auto& p : file.problems) {
    out.push_back(std::to_string(p.line) + (p.severity == tool::Severity::kWarning ? ": warning: " : ": error: ") + p.message);
  }
  return out;
}

std::vector<std::pair<std::string, int>> HostsAndLines(const tool::SourceFile& file) {
  std::vector<std::pair<std::string, int>> out;
  for (const auto& e : file.entries) out.emplace_back(e.host, e.line);
  return out;
}

TEST(PoReader, EverySlipAtItsLineAndTheRestStillRead) {
  TempDir dir;
  // With bytes that are not UTF-8 at line 20, and with all of the file UTF-8 (which the library
  // lexes a byte at a time): the same slips, at the same lines.
  const struct {
    const char* bytes;  // line 20's translation
    std::vector<std::string> notUtf8;
    std::vector<std::pair<std::string, int>> read;
  } variants[] = {{"\xE4\xBD", {"20: error: invalid multibyte sequence"}, {}},
                  {"\xE4\xBD\xA0", {}, {{"Bytes", 19}}}};
  for (const auto& variant : variants) {
    const tool::SourceFile file = tool::ReadPoFile(dir.Write("slips.po",
        "\xEF\xBB\xBFmsgid \"\"\n"                                  // 1: a byte order mark
        "msgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
        "msgid \"Open\"\nmsgstr \"\xE5\xBC\x80\"\n\n"               // 4
        "msgid \"Broken\nmsgstr \"\xE6\x96\xAD\"\n\n"               // 7: string not closed
        "msgid \"Fine\"\nmsgstr \"\xE5\xA5\xBD\"\n\n"               // 10
        "msgid \"Cut\"\nmsgstr \"x\\000y\"\n\n"                      // 13: NUL escape, left out
        "msgid \"Also\" x\nmsgstr \"x\"\n\n"                           // 16: unknown keyword, dropped
        "msgid \"Bytes\"\nmsgstr \"" + std::string(variant.bytes) + "\"\n\n"  // 19
        "msgid \"Open\"\nmsgstr \"\xE6\x89\x93\"\n\n"               // 22: duplicate
        "msgid \"Last\"\nmsgstr \"\xE6\x9C\xAB\"\n"));               // 25
    std::vector<std::string> problems = {
        "1: warning: a UTF-8 byte order mark, which gettext's tools refuse: read as UTF-8",
        "7: error: end-of-line within string", "14: error: a text contains a NUL byte",
        "16: error: keyword \"x\" unknown"};
    problems.insert(problems.end(), variant.notUtf8.begin(), variant.notUtf8.end());
    problems.push_back("22: error: duplicate message definition");
    EXPECT_EQ(Problems(file), problems) << variant.bytes;
    // The messages left out (a NUL, a keyword unknown, bytes the library found not UTF-8, a
    // duplicate) are counted, each once.
    std::vector<std::pair<std::string, int>> read = {{"Open", 4}, {"Broken", 7}, {"Fine", 10}};
    read.insert(read.end(), variant.read.begin(), variant.read.end());
    read.emplace_back("Last", 25);
    EXPECT_EQ(HostsAndLines(file), read) << variant.bytes;
    EXPECT_EQ(file.unreadable, 4u - variant.read.size()) << variant.bytes;
  }
  // \012 is a newline, not a NUL.
  EXPECT_EQ(tool::ReadPoFile(dir.Write("nl.po", "msgid \"a\"\nmsgstr \"x\\012y\"\n")).entries.at(0).translation,
            "x\ny");
}

TEST(CsvReader, QuotedFieldsAndRecordLines) {
  TempDir dir;
  const std::string csv = dir.Write("t.csv",
                                    "\xEF\xBB\xBFnotes,Source,translation\r\n"
                                    "n1,plain,\xE5\xB9\xB3\r\n"
                                    "n2,\"with, comma\",\"say \"\"hi\"\"\"\r\n"
                                    "n3,\"two\nlines\",\"\xE4\xB8\xA4\n\xE8\xA1\x8C\"\n"
                                    "n4,untranslated,\n");
  const auto entries = tool::ReadCsvFile(csv).entries;
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

TEST(CsvReader, EveryMalformedRecordAtItsLineAndTheRestStillRead) {
  TempDir dir;
  using namespace std::string_literals;
  const struct {
    std::string content;
    std::vector<std::string> problems;
    std::vector<std::pair<std::string, int>> entries;
  } cases[] = {
      {"source,translation\na,\"open\nb,c\n", {"2: error: quoted field is not closed"}, {{"b", 3}}},
      {"source,translation\na,b\nc\nd,e\n", {"3: error: 1 cells, the header names 2 columns"}, {{"a", 2}, {"d", 4}}},
      {"source,translation\na,\"b\"x\nc,d\n", {"2: error: text after a closing quote"}, {{"c", 3}}},
      {"source,translation\na,b\0c\nd,e\n"s, {"2: error: a text contains a NUL byte"}, {{"d", 3}}},
      {"source,translation\nWait, what?,\xE7\xAD\x89\nHi there,\xE4\xBD\xA0,\xE5\x8F\x8B\nOk,\xE5\xA5\xBD,,\n,,\n",
       {"2: error: 3 cells, the header names 2 columns: text past the last column would be lost (quote a cell that "
        "holds the separator)",
        "3: error: 3 cells, the header names 2 columns: text past the last column would be lost (quote a cell that "
        "holds the separator)"},
       {{"Ok", 4}}},
      {"source,translation\nsay \"hi\",x\nz,y\n",
       {"2: error: quote inside an unquoted field (quote the whole cell, and double the quote)"}, {{"z", 3}}},
  };
  for (const auto& c : cases) {
    const tool::SourceFile file = tool::ReadCsvFile(dir.Write("bad.csv", c.content));
    EXPECT_EQ(Problems(file), c.problems) << c.content;
    EXPECT_EQ(HostsAndLines(file), c.entries) << c.content;
  }
  // A header that does not say which columns to read makes the file unreadable.
  const struct {
    std::string content, message;
  } headers[] = {
      {"host,text\na,b\n", ":1: the header row must name a \"source\" and a \"translation\" column"},
      {"source,translation,Source\na,b,c\n", ":1: the header row names \"Source\" twice"},
  };
  for (const auto& h : headers) {
    const std::string file = dir.Write("header.csv", h.content);
    try {
      tool::ReadCsvFile(file);
      ADD_FAILURE() << "accepted: " << h.content;
    } catch (const tool::CommandError& e) {
      EXPECT_EQ(std::string(e.what()), file + h.message);
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
  // UTF-8 under a single-byte charset's name is an error at the header's charset, and is read as
  // UTF-8; text that is truly windows-1252 (an accented letter alone is no UTF-8) is read as it is.
  const struct {
    std::string charset, shown;
  } misnamed[] = {{"windows-1252", "\xC3\xA6\xE2\x80\xB0\xE2\x80\x9C\xC3\xA5\xC2\xBC\xE2\x82\xAC"},
                  {"ISO-8859-1", "\xC3\xA6\\x89\\x93\xC3\xA5\xC2\xBC\\x80"}};
  for (const auto& m : misnamed) {
    const tool::SourceFile file = tool::ReadPoFile(dir.Write(
        m.charset + ".po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=" + m.charset + "\\n\"\n\n" + body));
    EXPECT_EQ(Pairs(file.entries), expected);
    EXPECT_EQ(Problems(file), std::vector<std::string>{"2: error: the header declares charset=" + m.charset +
                                                       ", but the texts are UTF-8 (\"\xE6\x89\x93\xE5\xBC\x80\" would "
                                                       "become \"" + m.shown + "\"); write charset=UTF-8"});
  }
  const tool::SourceFile latin = tool::ReadPoFile(dir.Write("w.po", Encoded(
      "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=windows-1252\\n\"\n\nmsgid \"Caf\xC3\xA9\"\n"
      "msgstr \"Caf\xC3\xA9 cr\xC3\xA8me\"\n", "WINDOWS-1252")));
  EXPECT_TRUE(latin.problems.empty());
  EXPECT_EQ(Pairs(latin.entries),
            (std::vector<std::pair<std::string, std::string>>{{"Caf\xC3\xA9", "Caf\xC3\xA9 cr\xC3\xA8me"}}));

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
  EXPECT_EQ(Pairs(tool::ReadCsvFile(mixed).entries), (std::vector<std::pair<std::string, std::string>>{{"a, b", "c\td"}}));
}

TEST(TextSources, RefusesWhatCannotBeConverted) {
  TempDir dir;
  const struct {
    std::string name, content, where;
  } cases[] = {
      {"unknown.po", "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=NO-SUCH-SET\\n\"\n\nmsgid \"a\"\nmsgstr \"b\"\n",
       "NO-SUCH-SET"},
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
  for (const auto& e : tool::ReadPoFile(po).entries) seen.emplace_back(e.host, e.line);
  EXPECT_EQ(seen, (std::vector<std::pair<std::string, int>>{{"one", 1}, {"two", 5}, {"three", 9}, {"four", 13}}));
  // A text not valid in the header's charset is an error at its line, and its message is left out.
  const tool::SourceFile gbk = tool::ReadPoFile(dir.Write("badgbk.po",
      "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=GBK\\n\"\n\n"
      "msgid \"a\"\nmsgstr \"\x81\"\n\nmsgid \"b\"\nmsgstr \"c\"\n"));
  EXPECT_EQ(Problems(gbk), (std::vector<std::string>{"5: error: invalid multibyte sequence"}));
  EXPECT_EQ(HostsAndLines(gbk), (std::vector<std::pair<std::string, int>>{{"b", 7}}));
}

TEST(TextSources, HostTextListsInEveryForm) {
  TempDir dir;
  const std::string files[] = {
      dir.Write("game.pot", "msgid \"Open\"\nmsgstr \"\"\n\nmsgid \"Wait, what? \"\nmsgstr \"\xE7\xAD\x89\"\n\n"
                            "msgid \"Two\\nlines\"\nmsgstr \"\"\n\nmsgid \"C:\\\\Games\\\\new\"\nmsgstr \"\"\n"),
      dir.Write("game.csv", "id,source\n1,\"Open\"\n2,\"Wait, what? \"\n3,\"Two\nlines\"\n4,C:\\Games\\new\n"),
      // A plain list writes a line feed as \n and a backslash as \\ (or alone, before another letter).
      dir.Write("game.txt", "Open\r\n\nWait, what? \nTwo\\nlines\nC:\\Games\\\\new\n"),
  };
  for (const std::string& file : files) {
    const tool::SourceFile list = tool::ReadHostTextFile(file);
    std::vector<std::string> texts;
    for (const auto& entry : list.entries) {
      texts.push_back(entry.host);
      EXPECT_TRUE(entry.translation.empty() && !entry.usable) << file;
    }
    EXPECT_EQ(texts, (std::vector<std::string>{"Open", "Wait, what? ", "Two\nlines", "C:\\Games\\new"})) << file;
    EXPECT_TRUE(list.problems.empty()) << file;
  }
}

TEST(CsvReader, CrLfInsideQuotedCellsIsALineFeedAndSaidSo) {
  TempDir dir;
  const std::string csv = dir.Write("w.csv", "source,translation\r\n\"a\r\nb\",\"x\r\ny\"\r\nplain,\"lone\rcr\"\r\n");
  const auto entries = tool::ReadCsvFile(csv).entries;
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
