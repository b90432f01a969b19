// pack-text, unpack-text, compress and decompress as a user runs them.
#include <gtest/gtest.h>

#include <filesystem>

#include "base/byte_order.h"
#include "tool_runner.h"
#include "tools/support/reference_formats.h"
#include "tools/support/test_files.h"

namespace vykcn::test {
namespace {

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

  char hash[16];
  std::snprintf(hash, sizeof(hash), "0x%08X", TestHash("Tab\there"));
  const ToolRun tsv = RunTool({"unpack-text", out});
  EXPECT_EQ(tsv.exitCode, 0) << tsv.err;
  EXPECT_NE(tsv.out.find(std::string(hash) + "\t\xE5\x88\xB6\xE8\xA1\xA8\xE7\xAC\xA6\n"), std::string::npos) << tsv.out;

  const ToolRun joined = RunTool({"unpack-text", out, "--source", po, csv});
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
  ASSERT_EQ(RunTool({"decompress", out, back}).exitCode, 0);
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
  ASSERT_EQ(RunTool({"decompress", e8, back}).exitCode, 0);
  EXPECT_EQ(ReadBytes(back), ReadBytes(codeIn));
}

}  // namespace
}  // namespace vykcn::test
