// The streams vykcn-tool writes with --window: libmspack and the tool's own decompress give the
// input back byte for byte at every window, and the window is not ignored.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "decoders.h"
#include "test_inputs.h"
#include "tool_runner.h"

namespace vykcn::lzx::test {
namespace {

namespace fs = std::filesystem;
using ::vykcn::test::RunTool;
using ::vykcn::test::ToolRun;

std::vector<uint8_t> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

TEST(ToolWindows, CompressAndDecompressAtEveryWindowRoundTripAndLibmspackAgrees) {
  const fs::path dir = fs::temp_directory_path() / ("vykcn-tool-window-" + std::to_string(::getpid()));
  fs::create_directories(dir);
  // Text with repeats far apart, so that the larger windows have matches the smaller cannot reach.
  std::vector<uint8_t> input = TextLike(150000, 7);
  const std::vector<uint8_t> head(input.begin(), input.begin() + 60000);
  input.insert(input.end(), head.begin(), head.end());
  const fs::path in = dir / "in.bin";
  std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(input.data()), std::streamsize(input.size()));
  const std::string size = std::to_string(input.size());

  for (const uint32_t window : {32768u, 65536u, 262144u, 2097152u}) {
    const std::string w = std::to_string(window);
    const fs::path raw = dir / ("raw-" + w), resource = dir / ("res-" + w), back = dir / ("back-" + w);
    ToolRun run = RunTool({"compress", "--raw", "--window", w, in.string(), raw.string()});
    ASSERT_EQ(run.exitCode, 0) << w << " " << run.err;
    const auto mspack = DecodeWithLibmspack(ReadAll(raw), window);
    ASSERT_TRUE(mspack.has_value()) << "libmspack rejected the tool's stream at window " << w;
    EXPECT_TRUE(*mspack == input) << "libmspack: wrong bytes at window " << w;

    run = RunTool({"decompress", "--raw", "--window", w, "--size", size, raw.string(), back.string()});
    ASSERT_EQ(run.exitCode, 0) << w << " " << run.err;
    EXPECT_EQ(ReadAll(back), input) << w;

    // The resource form carries the same stream after its size.
    run = RunTool({"compress", "--window", w, in.string(), resource.string()});
    ASSERT_EQ(run.exitCode, 0) << w << " " << run.err;
    const std::vector<uint8_t> container = ReadAll(resource);
    EXPECT_EQ(std::vector<uint8_t>(container.begin() + 4, container.end()), ReadAll(raw)) << w;
    fs::remove(back);
    run = RunTool({"decompress", "--data", "--window", w, resource.string(), back.string()});
    ASSERT_EQ(run.exitCode, 0) << w << " " << run.err;
    EXPECT_EQ(ReadAll(back), input) << w;
  }
  // A 2 MiB stream read with a 32 KiB window reaches back too far: never the input, never exit 0.
  const ToolRun wrong = RunTool({"decompress", "--raw", "--window", "32768", "--size", size,
                                 (dir / "raw-2097152").string(), (dir / "wrong").string()});
  EXPECT_EQ(wrong.exitCode, 1) << wrong.err;
  EXPECT_FALSE(fs::exists(dir / "wrong"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace vykcn::lzx::test
