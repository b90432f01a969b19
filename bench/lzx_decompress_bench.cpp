// LZX decompressor benchmark: throughput (MB/s of output) of our Decompress against a frozen copy
// of our decoder as of an earlier commit (bench/CMakeLists.txt takes it from git; its column is
// named after the commit), against libmspack decoding the very same LZX data (wrapped into an
// in-memory cabinet: one LZX folder, window 2^18, one data block per chunk) and against wimlib's
// LZX decompressor on wimlib's own compression of the same bytes (level 100, independent chunks of
// 32 KiB and of 256 KiB), in one run.
//
// Corpora: a translation image of about 400 KB made from the machine's zh_CN message catalogues
// (msgunfmt, then the tool's PO reader and image builder), two Windows binaries with call
// translation on (one with its debug sections stripped, as binaries ship, and one that is mostly
// DWARF debug data), and random bytes. Every decoder's output is compared with the original before
// it counts. wimlib stores a chunk it cannot shrink as it is, so on random bytes its columns time a
// plain memcpy.
//
// Our decoder runs the copy of its fast loop that the processor allows (BMI2 where present);
// --fast-loop baseline times the SSE2 baseline copy, which every x86-64 processor runs (the frozen
// copy's too).
//
// usage: lzx_decompress_bench [--catalogues DIR] [--stripped-binary FILE] [--binary FILE] [--image-bytes N] [--seconds S]
//                             [--fast-loop baseline]
#include <wimlib.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "formats/translation_resource.h"
#include "lzx/encoder/compress.h"
#include "lzx/decoder/decoder_testing.h"
#include "text_sources/translation_image_builder.h"
#include "../tests/native/lzx/encoder/mspack_cab.h"
#include "lzx_corpora.h"
#include "catalogue_corpus.h"
#ifdef VYKCN_BENCH_FROZEN_DECODER
#include "reference/reference_decoder.h"
#endif

namespace {

using Bytes = std::vector<uint8_t>;

double g_seconds_per_case = 1.0;
bool g_baseline_fast_loop = false;

// One decoder of the race: `work` decodes the whole corpus once and says whether it succeeded.
struct Contender {
  std::function<bool()> work;
  double bestSeconds = 1e30;
  bool ok = true;
};

// Runs the contenders in turn, round after round, for about g_seconds_per_case each (and at least
// 5 rounds), keeping each one's fastest run. Taking turns puts every decoder under the same
// machine conditions, so a slow spell of this machine does not land on one of them alone. Every
// other round goes in reverse order: a contender that runs right after another on the same bytes
// finds them in the cache, and each of two such neighbours does so in half the rounds.
void Race(std::vector<Contender*> contenders) {
  double spent = 0;
  for (int round = 0; round < 5 || spent < g_seconds_per_case * contenders.size(); ++round) {
    std::reverse(contenders.begin(), contenders.end());
    for (Contender* contender : contenders) {
      const auto start = std::chrono::steady_clock::now();
      contender->ok &= contender->work();
      const double s = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
      contender->bestSeconds = std::min(contender->bestSeconds, s);
      spent += s;
    }
  }
}

// A translation image from the catalogues, records added until it holds about `limit` bytes.
Bytes CatalogueImage(const std::string& directory, size_t limit) {
  const auto entries = vykcn::bench::CatalogueEntries(directory, limit);
  return entries.empty() ? Bytes{} : vykcn::tool::BuildTranslationImage(entries).image;
}

// ---- ours ----
std::function<bool()> Ours(const Bytes& stream, Bytes& out) {
  return [&stream, &out] {
    // Context creation is part of every decode, as in the module.
    static const vykcn::lzx::CodecParameters parameters{0, vykcn::kTranslationWindowSize, 0};
    vykcn::lzx::DecompressionContext* context = nullptr;
    if (vykcn::lzx::CreateDecompressionContext(0, &parameters, 0, &context) != vykcn::lzx::kStatusOk) return false;
    if (g_baseline_fast_loop) vykcn::lzx::UseBaselineFastLoop(context);
    size_t produced = out.size();
    const bool ok = vykcn::lzx::Decompress(context, out.data(), &produced, stream.data(), stream.size()) ==
                        vykcn::lzx::kStatusOk &&
                    produced == out.size();
    vykcn::lzx::DestroyDecompressionContext(context);
    return ok;
  };
}

// ---- the frozen copy, the same way ----
std::function<bool()> Frozen(const Bytes& stream, Bytes& out) {
  return [&stream, &out] {
#ifdef VYKCN_BENCH_FROZEN_DECODER
    void* context = reference_lzx::Create(vykcn::kTranslationWindowSize, 0);
    if (context == nullptr) return false;
    if (g_baseline_fast_loop) reference_lzx::UseBaselineFastLoop(context);
    size_t produced = out.size();
    const bool ok = reference_lzx::Decompress(context, out.data(), &produced, stream.data(), stream.size()) == 0 &&
                    produced == out.size();
    reference_lzx::Destroy(context);
    return ok;
#else
    return false;
#endif
  };
}

// ---- wimlib on its own compression, independent chunks of `chunk` bytes ----
class WimlibChunks {
 public:
  WimlibChunks(const Bytes& original, size_t chunk) : original_(original), chunk_(chunk), out_(original.size()) {
    wimlib_compressor* compressor = nullptr;
    if (wimlib_create_compressor(WIMLIB_COMPRESSION_TYPE_LZX, chunk, 100, &compressor) != 0) return;
    if (wimlib_create_decompressor(WIMLIB_COMPRESSION_TYPE_LZX, chunk, &decompressor_) != 0) decompressor_ = nullptr;
    Bytes buffer(chunk);
    for (size_t p = 0; p < original.size(); p += chunk) {
      const size_t n = std::min(chunk, original.size() - p);
      const size_t size = wimlib_compress(original.data() + p, n, buffer.data(), n - 1, compressor);
      // A chunk wimlib cannot shrink is stored as it is: decoding it is a copy from its own bytes.
      chunks_.push_back(size ? Chunk{Bytes(buffer.begin(), buffer.begin() + size), false}
                             : Chunk{Bytes(original.begin() + p, original.begin() + p + n), true});
    }
    wimlib_free_compressor(compressor);
  }
  ~WimlibChunks() { wimlib_free_decompressor(decompressor_); }

  bool Decode() {
    if (decompressor_ == nullptr) return false;
    size_t p = 0;
    bool ok = true;
    for (const Chunk& c : chunks_) {
      const size_t n = std::min(chunk_, original_.size() - p);
      if (c.stored) {
        std::memcpy(out_.data() + p, c.bytes.data(), n);
      } else {
        ok &= wimlib_decompress(c.bytes.data(), c.bytes.size(), out_.data() + p, n, decompressor_) == 0;
      }
      p += n;
    }
    return ok;
  }
  const Bytes& output() const { return out_; }

 private:
  const Bytes& original_;
  size_t chunk_;
  Bytes out_;
  struct Chunk {
    Bytes bytes;
    bool stored;
  };
  std::vector<Chunk> chunks_;
  wimlib_decompressor* decompressor_ = nullptr;
};

}  // namespace

int main(int argc, char** argv) {
  std::string catalogues = "/usr/share/locale/zh_CN/LC_MESSAGES";
  std::string stripped = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/wined3d.dll";
  std::string binary = "/usr/lib/x86_64-linux-gnu/wine/x86_64-windows/msctf.dll";
  size_t imageBytes = 400000;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string flag = argv[i];
    if (flag == "--catalogues") catalogues = argv[i + 1];
    else if (flag == "--binary") binary = argv[i + 1];
    else if (flag == "--stripped-binary") stripped = argv[i + 1];
    else if (flag == "--image-bytes") imageBytes = std::strtoull(argv[i + 1], nullptr, 10);
    else if (flag == "--seconds") g_seconds_per_case = std::strtod(argv[i + 1], nullptr);
    else if (flag == "--fast-loop") g_baseline_fast_loop = std::string(argv[i + 1]) == "baseline";
  }

  std::vector<vykcn::bench::LzxCorpus> corpora;
  corpora.push_back({"zh_CN translation image", CatalogueImage(catalogues, imageBytes), 0});
  for (auto& corpus : vykcn::bench::BinaryAndRandomCorpora(stripped, binary, size_t{1} << 20)) {
    corpora.push_back(std::move(corpus));
  }

#ifdef VYKCN_BENCH_FROZEN_DECODER
  const char* const frozen = VYKCN_BENCH_FROZEN_DECODER;
#else
  const char* const frozen = "frozen (not built)";
#endif
  std::printf("| corpus | bytes | LZX ratio | ours MB/s | %s MB/s | libmspack MB/s | wimlib 32K MB/s | wimlib 256K MB/s "
              "| ours/%s | ours/libmspack | ours/wimlib 32K | ours/wimlib 256K |\n", frozen, frozen);
  std::printf("|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|\n");
  for (const vykcn::bench::LzxCorpus& corpus : corpora) {
    if (corpus.data.empty()) {
      std::printf("| %s | (not found) |\n", corpus.name.c_str());
      continue;
    }
    vykcn::lzx::CompressOptions options;
    options.windowSize = vykcn::kTranslationWindowSize;
    options.callTranslationSize = corpus.callTranslationSize;
    const Bytes stream = vykcn::lzx::CompressLzx(corpus.data.data(), corpus.data.size(), options);
    // Ours and the frozen copy take turns in one destination: where a buffer lies against the
    // source (4 KiB aliasing in the copies of stored chunks) then favours neither. Each one's bytes
    // are checked on a first run of its own, before the race.
    Bytes decoded(corpus.data.size());
    vykcn::lzx::test::LibmspackCabinet cabinet(stream, vykcn::kTranslationWindowSize);
    WimlibChunks wimlib32(corpus.data, 32768);
    WimlibChunks wimlib256(corpus.data, vykcn::kTranslationWindowSize);
    Contender oursRun{Ours(stream, decoded)};
    Contender frozenRun{Frozen(stream, decoded)};
    oursRun.ok = oursRun.work() && decoded == corpus.data;
    std::fill(decoded.begin(), decoded.end(), 0);
    frozenRun.ok = frozenRun.work() && decoded == corpus.data;
    Contender mspackRun{[&cabinet] { return cabinet.Extract(); }};
    Contender wim32Run{[&wimlib32] { return wimlib32.Decode(); }};
    Contender wim256Run{[&wimlib256] { return wimlib256.Decode(); }};
    Race({&oursRun, &frozenRun, &mspackRun, &wim32Run, &wim256Run});
    // Every output is checked against the original before its time counts.
    const auto throughput = [&corpus](const Contender& c, const Bytes& output) {
      return c.ok && output == corpus.data ? corpus.data.size() / c.bestSeconds / 1e6 : 0.0;
    };
    const double ours = throughput(oursRun, corpus.data);
    const double frozenSpeed = throughput(frozenRun, corpus.data);
    const double mspack = throughput(mspackRun, cabinet.output());
    const double wim32 = throughput(wim32Run, wimlib32.output());
    const double wim256 = throughput(wim256Run, wimlib256.output());
    std::printf("| %s | %zu | %.3f | %.0f | %.0f | %.0f | %.0f | %.0f | %.3fx | %.2fx | %.2fx | %.2fx |\n",
                corpus.name.c_str(), corpus.data.size(), static_cast<double>(stream.size()) / corpus.data.size(), ours,
                frozenSpeed, mspack, wim32, wim256, ours / frozenSpeed, ours / mspack, ours / wim32, ours / wim256);
  }
  return 0;
}
