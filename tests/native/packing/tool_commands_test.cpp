// The packing subcommands as a user runs them.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "packing_fixtures.h"

namespace vykcn::test {
namespace {

std::vector<uint8_t> ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

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
  int code;
  const std::string summary = RunTool("pack-text " + po + " " + csv + " -o " + out, &code);
  ASSERT_EQ(code, 0) << summary;
  EXPECT_NE(summary.find("records: 3"), std::string::npos) << summary;
  const auto first = ReadAll(out);
  RunTool("pack-text " + po + " " + csv + " -o " + out, &code);
  EXPECT_EQ(ReadAll(out), first) << "two runs gave different bytes";

  char hash[16];
  std::snprintf(hash, sizeof(hash), "0x%08X", TestHash("Tab\there"));
  const std::string tsv = RunTool("unpack-text " + out, &code);
  EXPECT_EQ(code, 0);
  EXPECT_NE(tsv.find(std::string(hash) + "\t\xE5\x88\xB6\xE8\xA1\xA8\xE7\xAC\xA6\n"), std::string::npos) << tsv;

  const std::string joined = RunTool("unpack-text " + out + " --source " + po + " " + csv, &code);
  EXPECT_EQ(code, 0);
  EXPECT_NE(joined.find(std::string(hash) + "\t\xE5\x88\xB6\xE8\xA1\xA8\xE7\xAC\xA6\tTab\\there\n"), std::string::npos) << joined;
  const size_t missing = joined.find("# host texts without a record");
  ASSERT_NE(missing, std::string::npos) << joined;
  EXPECT_NE(joined.find("\tLater\t", missing), std::string::npos) << joined;
}

TEST(PackTextCommand, RefusesAndWritesNothing) {
  TempDir dir;
  const std::string a = dir.Write("a.po", kPo);
  const std::string conflict = dir.Write("c.csv", "source,translation\nYes,\xE5\xAF\xB9\n");
  const std::string empty = dir.Write("e.csv", "");
  const std::string out = dir.Path("t.res");
  int code;
  std::string message = RunTool("pack-text " + a + " " + conflict + " -o " + out, &code);
  EXPECT_NE(code, 0);
  EXPECT_NE(message.find("c.csv:2"), std::string::npos) << message;
  EXPECT_NE(message.find("a.po:4"), std::string::npos) << message;
  EXPECT_FALSE(std::filesystem::exists(out));
  message = RunTool("pack-text " + empty + " -o " + out, &code);
  EXPECT_NE(code, 0);
  EXPECT_NE(message.find("e.csv"), std::string::npos) << message;
  EXPECT_FALSE(std::filesystem::exists(out));
}

TEST(CompressCommand, RoundTripsThroughDecompress) {
  TempDir dir;
  std::string content;
  for (int i = 0; i < 5000; ++i) content += "\xE8\x8F\x9C\xE5\x8D\x95 " + std::to_string(i % 97) + "\n";
  const std::string in = dir.Write("in.bin", content);
  const std::string out = dir.Path("out.res");
  int code;
  ASSERT_EQ((RunTool("compress " + in + " " + out, &code), code), 0);
  const auto resource = ReadAll(out);
  ASSERT_GE(resource.size(), 4u);
  EXPECT_EQ(resource[0] | resource[1] << 8 | resource[2] << 16 | resource[3] << 24, static_cast<int>(content.size()));
  const std::string back = dir.Path("back.bin");
  ASSERT_EQ((RunTool("decompress " + out + " " + back, &code), code), 0);
  EXPECT_EQ(ReadAll(back), ReadAll(in));

  // Code-like bytes with calls, with translation on.
  std::string code_bytes;
  for (int i = 0; i < 20000; ++i) {
    const int32_t relative = (i * 7919) % 40000 - 20000;
    code_bytes += "\x48\x89\xC1\xE8";
    for (int k = 0; k < 4; ++k) code_bytes += static_cast<char>(static_cast<uint32_t>(relative) >> (8 * k));
  }
  const std::string code_in = dir.Write("code.bin", code_bytes);
  const std::string e8 = dir.Path("e8.res");
  ASSERT_EQ((RunTool("compress --e8 12000000 " + code_in + " " + e8, &code), code), 0);
  const std::string plain = dir.Path("plain.res");
  ASSERT_EQ((RunTool("compress " + code_in + " " + plain, &code), code), 0);
  EXPECT_NE(ReadAll(e8), ReadAll(plain));
  ASSERT_EQ((RunTool("decompress " + e8 + " " + back, &code), code), 0);
  EXPECT_EQ(ReadAll(back), ReadAll(code_in));
}

}  // namespace
}  // namespace vykcn::test
