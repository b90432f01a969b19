// Replays the toolkit readers' fuzz seeds (fuzz/readers_corpus) in the normal test run: every seed
// keeps the target's invariant, and the seeds reach every reader.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>

#include "fuzz/toolkit_readers_fuzz_input.h"

namespace vykcn::fuzz {
namespace {

namespace fs = std::filesystem;

TEST(ReadersFuzzSeeds, EverySeedIsReadOrRefusedCleanlyAndEveryReaderIsSeeded) {
  const fs::path corpus = fs::path(VYKCN_SOURCE_ROOT) / "fuzz" / "readers_corpus";
  std::set<int> readers;
  for (const fs::directory_entry& entry : fs::directory_iterator(corpus)) {
    if (entry.path().filename() == "README.md") continue;  // where the seeds come from
    std::ifstream in(entry.path(), std::ios::binary);
    const std::vector<uint8_t> input((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    ASSERT_FALSE(input.empty()) << entry.path();
    EXPECT_TRUE(RunToolkitReaderInput(input.data(), input.size())) << entry.path();
    readers.insert(input[0] % kReaderCount);
  }
  EXPECT_EQ(readers.size(), size_t{kReaderCount});
}

}  // namespace
}  // namespace vykcn::fuzz
