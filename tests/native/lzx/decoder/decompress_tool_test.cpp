// vykcn-tool decompress as a user runs it: the output only on success, the module's two messages
// (worded as the toolkit's other readers of resources word them).
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "lzx/decoder/stream_writer.h"
#include "tool_runner.h"

namespace vykcn::lzx::test {
namespace {

namespace fs = std::filesystem;

using ::vykcn::test::RunTool;
using ::vykcn::test::ToolRun;

void WriteFile(const fs::path& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
}

std::vector<uint8_t> ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

class DecompressTool : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("vykcn-decompress-" + std::to_string(::getpid()));
    fs::create_directories(dir_);
    LzxWriter w;
    w.StreamHeader(0);
    w.UncompressedHeader(11);
    w.bits().PutRaw(payload_);
    stream_ = FramedStream().Sized(11, w.bits().bytes()).WithTrailer();
  }
  void TearDown() override { fs::remove_all(dir_); }

  std::vector<uint8_t> Resource(uint32_t storedSize, const std::vector<uint8_t>& stream) {
    std::vector<uint8_t> resource = {static_cast<uint8_t>(storedSize), static_cast<uint8_t>(storedSize >> 8),
                                     static_cast<uint8_t>(storedSize >> 16), static_cast<uint8_t>(storedSize >> 24)};
    resource.insert(resource.end(), stream.begin(), stream.end());
    return resource;
  }
  std::string Path(const char* name) { return (dir_ / name).string(); }

  fs::path dir_;
  std::vector<uint8_t> payload_ = {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'};
  std::vector<uint8_t> stream_;
};

TEST_F(DecompressTool, WritesTheImageWhenSizesAgree) {
  WriteFile(Path("in"), Resource(11, stream_));
  const ToolRun run = RunTool({"decompress", "--data", Path("in"), Path("out")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(Path("out")), payload_);
}

// The module's message, in one wording wherever the toolkit decodes a resource.
TEST_F(DecompressTool, SizeMismatchIsReportedAndNothingIsWritten) {
  WriteFile(Path("in"), Resource(12, stream_));
  const std::string message = "decomp size mismatch; produced 11 bytes, the resource's size field says 12";
  ToolRun run = RunTool({"decompress", Path("in"), Path("out")});
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find(message), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Path("out")));
  run = RunTool({"unpack-text", Path("in")});
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find(Path("in") + ": " + message), std::string::npos) << run.err;
}

TEST_F(DecompressTool, CorruptStreamIsReportedAndNothingIsWritten) {
  std::vector<uint8_t> truncated(stream_.begin(), stream_.begin() + 12);
  WriteFile(Path("in"), Resource(11, truncated));
  const ToolRun run = RunTool({"decompress", Path("in"), Path("out")});
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find("data corrupted"), std::string::npos) << run.err;
  EXPECT_NE(run.err.find("produced 0 bytes"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Path("out")));
}

TEST_F(DecompressTool, RawStreamWithCapacity) {
  WriteFile(Path("in"), stream_);
  ToolRun run = RunTool({"decompress", "--raw", "--size", "100", Path("in"), Path("out")});
  EXPECT_EQ(run.exitCode, 0) << run.err;
  EXPECT_EQ(ReadFile(Path("out")), payload_);
  run = RunTool({"decompress", "--raw", "--size", "5", Path("in"), Path("small")});
  EXPECT_NE(run.exitCode, 0);
  EXPECT_NE(run.err.find("data corrupted"), std::string::npos) << run.err;
  EXPECT_FALSE(fs::exists(Path("small")));
}

}  // namespace
}  // namespace vykcn::lzx::test
