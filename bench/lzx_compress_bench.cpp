// LZX compressor benchmark: compressed size and speed of our encoder at both levels (default and
// best) against wimlib's LZX compressor (level 100, independent chunks as large as our window, as
// WIM files store data), xz -9e and zstd -19, on the same corpora, in one table. Every stream of
// ours is decoded with our decoder and with libmspack before its figures count.
//
// Our two levels and wimlib take turns, one run each per round, and each keeps its fastest run, so
// that a slow spell of this shared machine falls on all three alike; xz and zstd, which only give
// the table its scale, run once.
//
// Corpora: a translation image built from the machine's zh_CN message catalogues (.mo turned
// into PO by msgunfmt, read by the tool's PO reader, conflicting entries left out), 1.15 MB of
// those catalogues' PO text, Windows binaries compressed with call translation on (one with its
// debug sections stripped, as binaries ship, and one that is mostly DWARF debug data), and random
// bytes.
//
// usage: lzx_compress_bench [--catalogues DIR] [--binary FILE] [--debug-binary FILE] [--random BYTES] [--rounds N]
#include <unistd.h>
#include <wimlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <set>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/utf8.h"
#include "lzx_corpora.h"
#include "formats/translation_resource.h"
#include "lzx/encoder/compress.h"
#include "lzx/decoder/decompress.h"
#include "text_sources/po_reader.h"
#include "translation/subtitle_hash.h"
#include "text_sources/translation_image_builder.h"
#include "../tests/native/lzx/encoder/mspack_cab.h"

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

using Corpus = vykcn::bench::LzxCorpus;

struct Result {
  size_t size = 0;
  double mbPerSecond = 0;
};

double Seconds(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}


// The translation image of all catalogues, and (for scale) the PO text of the first catalogues,
// about 1.15 MB of it.
std::vector<Corpus> CatalogueCorpora(const std::string& directory) {
  const fs::path temp = fs::temp_directory_path() / ("lzx-bench-" + std::to_string(getpid()));
  fs::create_directories(temp);
  std::vector<std::string> catalogues;
  for (const auto& entry : fs::directory_iterator(directory)) {
    if (entry.path().extension() == ".mo") catalogues.push_back(entry.path().string());
  }
  std::sort(catalogues.begin(), catalogues.end());
  std::vector<vykcn::tool::TextEntry> kept;
  std::set<std::string> hosts;
  std::set<uint32_t> hashes;
  size_t files = 0, textFiles = 0;
  Bytes poText;
  for (const auto& mo : catalogues) {
    const std::string po = (temp / (fs::path(mo).stem().string() + ".po")).string();
    if (std::system(("msgunfmt -o '" + po + "' '" + mo + "' 2>/dev/null").c_str()) != 0) continue;
    if (poText.size() < 1150000) {
      const Bytes text = vykcn::bench::ReadFileBytes(po);
      poText.insert(poText.end(), text.begin(), text.begin() + static_cast<std::ptrdiff_t>(std::min(text.size(), 1150000 - poText.size())));
      ++textFiles;
    }
    try {
      for (auto& e : vykcn::tool::ReadPoFile(po).entries) {
        // Catalogues disagree with each other; the first translation of a host text wins.
        const uint32_t hash = vykcn::SubtitleHashBytes(e.host.data(), e.host.size());
        if (!e.usable || hosts.count(e.host) || hashes.count(hash)) continue;
        if (!vykcn::IsValidUtf8(e.translation)) continue;
        hosts.insert(e.host);
        hashes.insert(hash);
        kept.push_back(std::move(e));
      }
      ++files;
    } catch (const std::exception&) {
    }
  }
  fs::remove_all(temp);
  Corpus image{"zh_CN catalogues (" + std::to_string(files) + " files) image", {}, 0};
  if (!kept.empty()) image.data = vykcn::tool::BuildTranslationImage(kept).image;
  Corpus text{"zh_CN PO text (" + std::to_string(textFiles) + " files)", std::move(poText), 0};
  return {std::move(image), std::move(text)};
}

// One contender of the race: `run` compresses the whole corpus once and returns the size it wrote.
struct Contender {
  std::function<size_t()> run;
  size_t size = 0;
  double bestSeconds = 1e30;

  Result result(const Corpus& corpus) const { return {size, corpus.data.size() / bestSeconds / 1e6}; }
};

// Runs the contenders in turn for `rounds` rounds, keeping each one's fastest run.
void Race(const std::vector<Contender*>& contenders, int rounds) {
  for (int round = 0; round < rounds; ++round) {
    for (Contender* contender : contenders) {
      const double seconds = Seconds([&] { contender->size = contender->run(); });
      contender->bestSeconds = std::min(contender->bestSeconds, seconds);
    }
  }
}

// Our encoder at `level`; `stream` keeps the last stream for the decoders' check.
Contender Ours(const Corpus& corpus, vykcn::lzx::CompressionLevel level, Bytes& stream) {
  return {[&corpus, level, &stream] {
    vykcn::lzx::CompressOptions options;
    options.windowSize = vykcn::kTranslationWindowSize;
    options.callTranslationSize = corpus.callTranslationSize;
    options.level = level;
    stream = vykcn::lzx::CompressLzx(corpus.data.data(), corpus.data.size(), options);
    return stream.size() + 4;  // + the resource's size field
  }};
}

// Whether our decoder and libmspack both give the corpus back from `stream`.
bool BothDecode(const Corpus& corpus, const Bytes& stream) {
  const vykcn::lzx::CodecParameters parameters{0, vykcn::kTranslationWindowSize, 0};
  vykcn::lzx::DecompressionContext* context = nullptr;
  Bytes decoded(corpus.data.size());
  size_t produced = decoded.size();
  bool oursOk = vykcn::lzx::CreateDecompressionContext(0, &parameters, 0, &context) == vykcn::lzx::kStatusOk;
  if (oursOk) {
    oursOk = vykcn::lzx::Decompress(context, decoded.data(), &produced, stream.data(), stream.size()) ==
                 vykcn::lzx::kStatusOk &&
             produced == decoded.size() && decoded == corpus.data;
    vykcn::lzx::DestroyDecompressionContext(context);
  }
  const auto theirs = vykcn::lzx::test::DecodeWithLibmspack(stream, vykcn::kTranslationWindowSize);
  return oursOk && theirs && *theirs == corpus.data;
}

// wimlib's compressor in chunks as large as our window; a chunk that does not shrink is stored as
// it is. Every run creates the compressor, as every run of ours creates its tables.
Contender Wimlib(const Corpus& corpus) {
  return {[&corpus] {
    constexpr size_t kChunk = vykcn::kTranslationWindowSize;
    wimlib_compressor* compressor = nullptr;
    if (wimlib_create_compressor(WIMLIB_COMPRESSION_TYPE_LZX, kChunk, 100, &compressor) != 0) return size_t{0};
    Bytes out(kChunk);
    size_t total = 0;
    for (size_t p = 0; p < corpus.data.size(); p += kChunk) {
      const size_t n = std::min(kChunk, corpus.data.size() - p);
      const size_t size = wimlib_compress(corpus.data.data() + p, n, out.data(), n - 1, compressor);
      total += size ? size : n;
    }
    wimlib_free_compressor(compressor);
    return total;
  }};
}

Result Tool(const Corpus& corpus, const std::string& command) {
  const fs::path in = fs::temp_directory_path() / ("lzx-bench-in-" + std::to_string(getpid()));
  const fs::path out = fs::temp_directory_path() / ("lzx-bench-out-" + std::to_string(getpid()));
  std::ofstream(in, std::ios::binary).write(reinterpret_cast<const char*>(corpus.data.data()),
                                            static_cast<std::streamsize>(corpus.data.size()));
  int status = 0;
  const double seconds = Seconds([&] { status = std::system((command + " < '" + in.string() + "' > '" + out.string() + "'").c_str()); });
  Result r{status == 0 ? static_cast<size_t>(fs::file_size(out)) : 0, corpus.data.size() / seconds / 1e6};
  fs::remove(in);
  fs::remove(out);
  return r;
}

}  // namespace

int main(int argc, char** argv) {
  std::string catalogues = "/usr/share/locale/zh_CN/LC_MESSAGES";
  std::string binary = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/wined3d.dll";
  std::string debugBinary = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/msctf.dll";
  size_t randomSize = 1 << 20;
  int rounds = 5;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--catalogues") catalogues = argv[i + 1];
    else if (flag == "--binary") binary = argv[i + 1];
    else if (flag == "--debug-binary") debugBinary = argv[i + 1];
    else if (flag == "--random") randomSize = std::strtoull(argv[i + 1], nullptr, 10);
    else if (flag == "--rounds") rounds = std::max(1, std::atoi(argv[i + 1]));
  }

  std::vector<Corpus> corpora;
  for (auto& corpus : CatalogueCorpora(catalogues)) corpora.push_back(std::move(corpus));
  for (auto& corpus : vykcn::bench::BinaryAndRandomCorpora(binary, debugBinary, randomSize)) {
    corpora.push_back(std::move(corpus));
  }

  std::printf("| corpus | bytes | default | MB/s | best | MB/s | wimlib LZX 100, 256 KiB chunks | MB/s | xz -9e | MB/s "
              "| zstd -19 | MB/s | default / wimlib: size | speed | best / wimlib: size | speed | decodes |\n");
  std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---|\n");
  for (const Corpus& corpus : corpora) {
    if (corpus.data.empty()) {
      std::printf("| %s | (not found) |\n", corpus.name.c_str());
      continue;
    }
    Bytes defaultStream, bestStream;
    Contender fast = Ours(corpus, vykcn::lzx::CompressionLevel::kDefault, defaultStream);
    Contender best = Ours(corpus, vykcn::lzx::CompressionLevel::kBest, bestStream);
    Contender wimlib = Wimlib(corpus);
    Race({&fast, &best, &wimlib}, rounds);
    const bool verified = BothDecode(corpus, defaultStream) && BothDecode(corpus, bestStream);
    const Result d = fast.result(corpus), b = best.result(corpus), w = wimlib.result(corpus);
    const Result xz = Tool(corpus, "xz -9e -c");
    const Result zstd = Tool(corpus, "zstd -19 -q -c");
    const double n = static_cast<double>(corpus.data.size());
    std::printf("| %s | %zu | %.4f | %.2f | %.4f | %.2f | %.4f | %.2f | %.4f | %.2f | %.4f | %.2f "
                "| %.4f | %.2f | %.4f | %.2f | %s |\n",
                corpus.name.c_str(), corpus.data.size(), d.size / n, d.mbPerSecond, b.size / n, b.mbPerSecond,
                w.size / n, w.mbPerSecond, xz.size / n, xz.mbPerSecond, zstd.size / n, zstd.mbPerSecond,
                static_cast<double>(d.size) / w.size, d.mbPerSecond / w.mbPerSecond,
                static_cast<double>(b.size) / w.size, b.mbPerSecond / w.mbPerSecond,
                verified ? "ours + libmspack" : "FAILED");
    std::fflush(stdout);
  }
  return 0;
}
