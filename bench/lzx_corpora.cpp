#include "lzx_corpora.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>

namespace vykcn::bench {

namespace {

namespace fs = std::filesystem;

constexpr uint32_t kBinaryTranslationSize = 12000000;

std::vector<uint8_t> ReadStrippedBinary(const std::string& path) {
  const fs::path stripped = fs::temp_directory_path() / ("lzx-bench-stripped-" + std::to_string(getpid()) + ".dll");
  // strip stamps the PE header with the time unless SOURCE_DATE_EPOCH says otherwise: the corpus,
  // and every size in its row, would change from run to run.
  const std::string command =
      "SOURCE_DATE_EPOCH=0 x86_64-w64-mingw32-strip -o '" + stripped.string() + "' '" + path + "' 2>/dev/null";
  std::vector<uint8_t> bytes;
  if (std::system(command.c_str()) == 0) bytes = ReadFileBytes(stripped.string());
  std::error_code ignored;
  fs::remove(stripped, ignored);
  return bytes;
}

}  // namespace

std::vector<uint8_t> ReadFileBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::vector<LzxCorpus> BinaryAndRandomCorpora(const std::string& strippedSource, const std::string& debugBinary,
                                              size_t randomBytes) {
  std::vector<LzxCorpus> corpora;
  corpora.push_back({"Windows binary " + fs::path(strippedSource).filename().string() +
                         ", debug sections stripped (E8 on)",
                     ReadStrippedBinary(strippedSource), kBinaryTranslationSize});
  corpora.push_back({"Windows binary " + fs::path(debugBinary).filename().string() + " with DWARF debug data (E8 on)",
                     ReadFileBytes(debugBinary), kBinaryTranslationSize});
  LzxCorpus noise{"random bytes", std::vector<uint8_t>(randomBytes), 0};
  std::mt19937_64 rng(1);
  for (auto& b : noise.data) b = static_cast<uint8_t>(rng());
  corpora.push_back(std::move(noise));
  return corpora;
}

}  // namespace vykcn::bench
