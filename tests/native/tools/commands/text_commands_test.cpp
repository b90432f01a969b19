// pack-text, unpack-text, compress and decompress as a user runs them.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>

#include "base/byte_order.h"
#include "common/hash_label.h"
#include "text_sources/po_reader.h"
#include "text_syntax/placeholder_syntax.h"
#include "tool_runner.h"
#include "tools/support/reference_formats.h"
#include "tools/support/test_files.h"
#include "tools/support/test_fonts.h"

namespace vykcn::test {
namespace {

using tool::HashLabel;

const char kPo[] =
    "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
    "msgid \"Yes\"\nmsgstr \"\xE6\x98\xAF\"\n\n"
    "msgid \"No\"\nmsgstr \"\xE5\x90\xA6\"\n\n"
    "msgid \"Later\"\nmsgstr \"\"\n";
const char kCsv[] = "source,translation\n\"Tab\there\",\"\xE5\x88\xB6\xE8\xA1\xA8\xE7\xAC\xA6\"\nYes,\xE6\x98\xAF\n";

TEST(PackTextCommand, MergesFilesAndUnpacksAsTsv) {
  TempDir dir;
  const std::string po = dir.Write("a.po", kPo);
  const std::string csv = dir.Write("b.csv", kCsv);
  const std::string out = dir.Path("t.res");
  const ToolRun summary = RunTool({"pack-text", po, csv, "-o", out});
  ASSERT_EQ(summary.exitCode, 0) << summary.err;
  EXPECT_NE(summary.out.find("records: 3"), std::string::npos) << summary.out;
  const auto first = ReadBytes(out);
  RunTool({"pack-text", po, csv, "-o", out});
  EXPECT_EQ(ReadBytes(out), first) << "two runs gave different bytes";

  // The best level and a stamp: the same image, and a run with nothing new writes nothing.
  const std::string best = dir.Path("best.res"), stamp = dir.Path("best.stamp");
  const ToolRun packed = RunTool({"pack-text", "--best", "--stamp", stamp, po, csv, "-o", best});
  EXPECT_NE(packed.out.find("compressed at the best level"), std::string::npos) << packed.out;
  EXPECT_LE(ReadBytes(best).size(), first.size());
  ASSERT_EQ(RunTool({"decompress", best, dir.Path("best.img")}).exitCode, 0);
  ASSERT_EQ(RunTool({"decompress", out, dir.Path("default.img")}).exitCode, 0);
  EXPECT_EQ(ReadBytes(dir.Path("best.img")), ReadBytes(dir.Path("default.img")));
  EXPECT_EQ(RunTool({"pack-text", "--best", "--stamp", stamp, po, csv, "-o", best}).out, "records: 3, up to date in " + best + "\n");
  EXPECT_NE(RunTool({"pack-text", "--stamp", stamp, po, csv, "-o", best}).out.find("at the default level"),
            std::string::npos);  // another level is another output

  char hash[16];
  std::snprintf(hash, sizeof(hash), "0x%08X", TestHash("Tab\there"));
  const ToolRun tsv = RunTool({"unpack-text", out});
  EXPECT_EQ(tsv.exitCode, 0) << tsv.err;
  EXPECT_NE(tsv.out.find(std::string(hash) + "\t\xE5\x88\xB6\xE8\xA1\xA8\xE7\xAC\xA6\n"), std::string::npos) << tsv.out;

  const ToolRun joined = RunTool({"unpack-text", out, "--source", po, "--source", csv});
  EXPECT_EQ(joined.exitCode, 0) << joined.err;
  EXPECT_NE(joined.out.find(std::string(hash) + "\t\xE5\x88\xB6\xE8\xA1\xA8\xE7\xAC\xA6\tTab\\there\n"), std::string::npos)
      << joined.out;
  const size_t missing = joined.out.find("# host texts without a record");
  ASSERT_NE(missing, std::string::npos) << joined.out;
  EXPECT_NE(joined.out.find("\tLater\t", missing), std::string::npos) << joined.out;
}

TEST(PackTextCommand, RefusesAndWritesNothing) {
  TempDir dir;
  const std::string a = dir.Write("a.po", kPo);
  const std::string conflict = dir.Write("c.csv", "source,translation\nYes,\xE5\xAF\xB9\n");
  const std::string empty = dir.Write("e.csv", "");
  const std::string out = dir.Path("t.res");
  ToolRun run = RunTool({"pack-text", a, conflict, "-o", out});
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find("c.csv:2"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("a.po:4"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));
  run = RunTool({"pack-text", empty, "-o", out});
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find("e.csv"), std::string::npos) << run.err;
  EXPECT_FALSE(std::filesystem::exists(out));
}

// A real game's catalogue (help markup, $names, plural forms) wrapped at 600 px, as the game would
// draw it: every line feed the wrap put in falls outside placeholders, tags with their attribute
// values, and runs of ASCII that is not a space.
TEST(PackTextCommand, WrapsARealCatalogueOnlyBetweenTokens) {
  TempDir dir;
  const std::string po = std::string(VYKCN_TEST_DATA) + "/data/wesnoth-zh_CN.po";
  const ToolRun pack = RunTool({"pack-text", "--wrap", "600", "--font", kMicroHei, po, "-o", dir.Path("t.res")});
  ASSERT_EQ(pack.exitCode, 0) << pack.err;
  ASSERT_EQ(RunTool({"unpack-text", dir.Path("t.res"), "--source", po, "-o", dir.Path("back.po")}).exitCode, 0);
  std::map<std::string, std::string> written;
  for (const tool::TextEntry& entry : tool::ReadPoFile(po).entries) written[entry.host] = entry.translation;
  const auto ascii = [](char c) { return c > ' ' && c < 0x7F; };
  size_t inserted = 0;
  for (const tool::TextEntry& entry : tool::ReadPoFile(dir.Path("back.po")).entries) {
    const std::string& text = written.at(entry.host);
    const std::string& wrapped = entry.translation;
    const std::vector<tool::Placeholder> placeholders = tool::FindPlaceholders(text);
    for (size_t i = 0, j = 0; j < wrapped.size(); ++j) {
      if (i < text.size() && wrapped[j] == text[i]) {
        ++i;
        continue;
      }
      ASSERT_EQ(wrapped[j], '\n') << wrapped;  // before text[i], or in place of its space
      ++inserted;
      const std::string place = text.substr(0, i) + "<BREAK>" + text.substr(i);
      EXPECT_FALSE(text[i] != ' ' && i > 0 && ascii(text[i - 1]) && ascii(text[i])) << place;
      for (const tool::Placeholder& p : placeholders) EXPECT_FALSE(p.begin < i && i < p.begin + p.text.size()) << place;
      if (text[i] == ' ') ++i;
    }
  }
  EXPECT_GT(inserted, 500u);
}

bool HasMsgfmt() { return std::system("command -v msgfmt >/dev/null 2>&1") == 0; }

// unpack-text -o gives back files that pack-text turns into the very image, and keeps what it cannot
// name where pack-text does not read it.
TEST(UnpackTextCommand, GivesBackFilesThatPackTheSameImage) {
  TempDir dir;
  const std::string po = dir.Write("a.po",
                                   "msgid \"\"\nmsgstr \"Content-Type: text/plain; charset=UTF-8\\n\"\n\n"
                                   "msgid \"Yes\"\nmsgstr \"是\"\n\n"
                                   "msgid \"Tab\\there \\\"quoted\\\" back\\\\slash\"\nmsgstr \"制表\\t“引” \\\\\"\n\n"
                                   "msgid \"Line one\\nLine two\\n\"\nmsgstr \"第一行\\n第二行\\n\"\n\n"
                                   "msgctxt \"menu\"\nmsgid \"Open\"\nmsgstr \"打开\"\n\n"
                                   "msgid \"Shared A\"\nmsgstr \"同\"\n");
  const std::string csv = dir.Write("b.csv",
                                    "source,translation\n"
                                    "Yes,是\n"
                                    "Shared B,同\n"
                                    "\"Comma, \"\"quote\"\"\",\"逗号，引号\"\n");
  const std::string pot = dir.Write("c.pot", "msgid \"\"\nmsgstr \"\"\n\nmsgid \"Open\"\nmsgstr \"\"\n\nmsgid \"Yes\"\nmsgstr \"\"\n");
  const std::string packed = dir.Path("t.res");
  ASSERT_EQ(RunTool({"pack-text", po, csv, "-o", packed}).exitCode, 0);

  struct Case {
    std::string output;
    std::vector<std::string> sources;
    std::vector<std::pair<std::string, std::string>> packedBack;  // what pack-text makes of the output
    std::vector<std::string> written;                             // in the output
  };
  const std::vector<std::pair<std::string, std::string>> all = {
      {"Yes", "是"},         {"Tab\there \"quoted\" back\\slash", "制表\t“引” \\"}, {"Line one\nLine two\n", "第一行\n第二行\n"},
      {"Open", "打开"},      {"Shared A", "同"}, {"Shared B", "同"}, {"Comma, \"quote\"", "逗号，引号"}};
  const std::string yesHash = HashLabel(TestHash("Yes")), tabHash = HashLabel(TestHash(all[1].first));
  const Case cases[] = {
      {"back.po", {po, csv}, all,
       {"#: " + AsGiven(po) + ":4\nmsgid \"Yes\"\n", "msgctxt \"menu\"\nmsgid \"Open\"", "#: " + AsGiven(csv) + ":3\n"}},
      {"back.CSV", {csv, po}, all, {"Yes,是," + AsGiven(csv) + ":2," + yesHash + ",,\r\n", "\"Comma, \"\"quote\"\"\""}},
      {"known.po", {pot}, {{"Yes", "是"}, {"Open", "打开"}},
       {"# unknown host text, hash " + tabHash + ": \"制表\\t“引” \\\\\"\n", "#: " + AsGiven(pot) + ":7\nmsgid \"Yes\""}},
      {"known.csv", {pot}, {{"Yes", "是"}, {"Open", "打开"}}, {",,," + tabHash + ",\"制表\t“引” \\\",unknown host text\r\n"}},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = {"unpack-text", packed, "-o", dir.Path(c.output)};
    for (const std::string& source : c.sources) arguments.insert(arguments.end(), {"--source", source});
    const ToolRun unpacked = RunTool(arguments);
    ASSERT_EQ(unpacked.exitCode, 0) << c.output << "\n" << unpacked.err;
    const size_t leftOut = all.size() - c.packedBack.size();
    EXPECT_EQ(unpacked.err.find(std::to_string(leftOut) + " of 7 records left out"), leftOut == 0 ? std::string::npos : 12)
        << c.output << "\n" << unpacked.err;
    const std::vector<uint8_t> bytes = ReadBytes(dir.Path(c.output));
    const std::string text(bytes.begin(), bytes.end());
    for (const std::string& expected : c.written) EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
    if (HasMsgfmt() && c.output.back() == 'o') {
      EXPECT_EQ(std::system(("msgfmt -c -o /dev/null '" + dir.Path(c.output) + "'").c_str()), 0) << text;
    }

    const std::string again = dir.Path(c.output + ".res");
    const ToolRun repacked = RunTool({"pack-text", dir.Path(c.output), "-o", again});
    ASSERT_EQ(repacked.exitCode, 0) << c.output << "\n" << repacked.err;
    if (leftOut == 0) {
      EXPECT_EQ(ReadBytes(again), ReadBytes(packed)) << c.output;
    }
    const std::string image = dir.Path("image.bin");
    ASSERT_EQ(RunTool({"decompress", again, image}).exitCode, 0);
    EXPECT_EQ(ReadBytes(image), ExpectedImage(c.packedBack)) << c.output;
  }

  // A CR LF in a host text does not survive a CSV cell: refused, and nothing written.
  const std::string windows = dir.Path("crlf.res");
  ASSERT_EQ(RunTool({"pack-text", dir.Write("crlf.po", "msgid \"Two\\r\\nlines\"\nmsgstr \"两行\"\n"), "-o", windows}).exitCode, 0);
  const ToolRun refused = RunTool({"unpack-text", windows, "--source", dir.Path("crlf.po"), "-o", dir.Path("crlf.csv")});
  EXPECT_EQ(refused.exitCode, 1);
  EXPECT_NE(refused.err.find("holds a CR LF, which a CSV cell gives back as LF"), std::string::npos) << refused.err;
  EXPECT_FALSE(std::filesystem::exists(dir.Path("crlf.csv")));
}

TEST(CompressCommand, RoundTripsThroughDecompress) {
  TempDir dir;
  std::string content;
  for (int i = 0; i < 5000; ++i) content += "\xE8\x8F\x9C\xE5\x8D\x95 " + std::to_string(i % 97) + "\n";
  const std::string in = dir.Write("in.bin", content);
  const std::string out = dir.Path("out.res");
  ASSERT_EQ(RunTool({"compress", in, out}).exitCode, 0);
  const auto resource = ReadBytes(out);
  ASSERT_GE(resource.size(), 4u);
  EXPECT_EQ(ReadU32LE(resource.data()), content.size());
  const std::string back = dir.Path("back.bin");
  ASSERT_EQ(RunTool({"decompress", "--data", out, back}).exitCode, 0);
  EXPECT_EQ(ReadBytes(back), ReadBytes(in));

  // Code-like bytes with calls, with translation on.
  std::string codeBytes;
  for (int i = 0; i < 20000; ++i) {
    const int32_t relative = (i * 7919) % 40000 - 20000;
    codeBytes += "\x48\x89\xC1\xE8";
    for (int k = 0; k < 4; ++k) codeBytes += static_cast<char>(static_cast<uint32_t>(relative) >> (8 * k));
  }
  const std::string codeIn = dir.Write("code.bin", codeBytes);
  const std::string e8 = dir.Path("e8.res");
  ASSERT_EQ(RunTool({"compress", "--e8", "12000000", codeIn, e8}).exitCode, 0);
  const std::string plain = dir.Path("plain.res");
  ASSERT_EQ(RunTool({"compress", codeIn, plain}).exitCode, 0);
  EXPECT_NE(ReadBytes(e8), ReadBytes(plain));
  ASSERT_EQ(RunTool({"decompress", "--data", e8, back}).exitCode, 0);
  EXPECT_EQ(ReadBytes(back), ReadBytes(codeIn));
}

// decompress succeeds only for what the module would take: the stored size produced and, unless
// --data, an image that fills the table; a raw stream that yields nothing is a failure too.
TEST(DecompressCommand, ExitsZeroOnlyForWhatTheModuleAccepts) {
  TempDir dir;
  const std::string po = dir.Write("a.po", kPo);
  const std::string translations = dir.Path("t.res");
  ASSERT_EQ(RunTool({"pack-text", po, "-o", translations}).exitCode, 0);
  const std::string bytes = dir.Write("bytes.bin", "hello world, no translation image at all");
  const std::string container = dir.Path("bytes.res");
  ASSERT_EQ(RunTool({"compress", bytes, container}).exitCode, 0);
  std::vector<uint8_t> hugeSize = ReadBytes(translations);
  WriteU32LE(hugeSize.data(), 0xFFFFFFFFu);
  const std::string huge = dir.Path("huge.res");
  WriteBytes(huge, hugeSize);
  std::string repeated;
  for (int i = 0; i < 200; ++i) repeated += "hello world, translation ";
  const std::string wideWindow = dir.Path("wide.res");
  ASSERT_EQ(RunTool({"compress", "--window", "2097152", dir.Write("repeated.txt", repeated), wideWindow}).exitCode, 0);
  const std::string empty = dir.Write("empty.bin", "");
  const std::string trailerOnly = dir.Write("trailer.bin", std::string(5, '\0'));

  struct Case {
    std::vector<std::string> arguments;
    int exitCode;
    std::string message;  // in stderr
  };
  const Case cases[] = {
      {{"decompress", translations}, 0, ""},
      {{"decompress", container}, 1, "not a translation image: the first 4 of the 40 decoded bytes would count"},
      {{"decompress", "--data", container}, 0, ""},
      {{"decompress", "--data", wideWindow}, 1, "(the window does not match: it decodes with --window 2097152, not 262144)"},
      {{"decompress", "--data", "--window", "2097152", wideWindow}, 0, ""},
      {{"decompress", huge}, 1, "decomp size mismatch; produced"},
      {{"decompress", "--raw", "--size", "1000", empty}, 1, "nothing decoded from " + empty},
      {{"decompress", "--raw", "--size", "1000", trailerOnly}, 1, "nothing decoded"},
  };
  for (const Case& c : cases) {
    std::vector<std::string> arguments = c.arguments;
    const std::string out = dir.Path("out.bin");
    arguments.push_back(out);
    const ToolRun run = RunTool(arguments);
    EXPECT_EQ(run.exitCode, c.exitCode) << arguments[arguments.size() - 2] << "\n" << run.err;
    EXPECT_EQ(std::filesystem::exists(out), c.exitCode == 0) << arguments[arguments.size() - 2];
    if (!c.message.empty()) {
      EXPECT_NE(run.err.find(c.message), std::string::npos) << run.err;
    }
    std::filesystem::remove(out);
  }
}

}  // namespace
}  // namespace vykcn::test
