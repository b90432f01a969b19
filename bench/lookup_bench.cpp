// First and warm subtitle lookups on a translation set of the shipped size (about 12,000 records,
// 400 KB), through the same loader, decoder and table that the module uses.
//
//   lookup_bench --write-corpus DIR   (native) builds the corpus from the machine's zh_CN message
//                                     catalogues: DIR/translations.bin (the resource) and
//                                     DIR/hosts.bin (the host texts, NUL-separated)
//   lookup_bench --corpus DIR         measures, natively or under Wine (the same code built by mingw)
//
// The first lookup is load + decompress + fill + one lookup, which must stay well inside a 60 Hz
// frame (16.7 ms; target under 5 ms). A warm lookup must not allocate.
#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <iterator>
#include <new>
#include <string>
#include <vector>

#include "formats/translation_resource.h"
#include "platform/message_sink.h"
#include "platform/own_resources.h"
#include "translation/lzx_stream_decoder.h"
#include "translation/subtitle_translator.h"
#include "translation/translation_loader.h"

#ifdef VYKCN_BENCH_CORPUS_WRITER
#include "catalogue_corpus.h"
#include "text_sources/translation_image_builder.h"
#endif

// Every operator new in the process is counted, so that a lookup that allocates shows up.
static std::atomic<long> gAllocations{0};
void* operator new(size_t size) {
  ++gAllocations;
  if (void* p = std::malloc(size != 0 ? size : 1)) return p;
  throw std::bad_alloc();
}
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, size_t) noexcept { std::free(p); }

namespace {

using Bytes = std::vector<uint8_t>;
using Clock = std::chrono::steady_clock;

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    std::fprintf(stderr, "cannot read %s\n", path.c_str());
    std::exit(2);
  }
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class MemoryResources : public vykcn::OwnResources {
 public:
  explicit MemoryResources(const Bytes& bytes) : bytes_(bytes) {}
  bool LoadData(uint32_t, vykcn::ResourceBytes* out) override {
    out->data = bytes_.data();
    out->size = static_cast<uint32_t>(bytes_.size());
    return true;
  }

 private:
  const Bytes& bytes_;
};

class FailOnMessage : public vykcn::MessageSink {
 public:
  void Show(const char* text, const char* caption) override {
    std::fprintf(stderr, "load failed: %s (%s)\n", text, caption);
    std::exit(1);
  }
};

// The module's lookup stack over an in-memory resource, empty until its first lookup.
struct LookupStack {
  explicit LookupStack(const Bytes& resource) : resources(resource) {}
  MemoryResources resources;
  vykcn::LzxStreamDecoder decoder;
  FailOnMessage messages;
  vykcn::TranslationTable table;
  vykcn::TranslationLoader loader{resources, decoder, messages, table};
  vykcn::SubtitleTranslator translator{table, loader};
};

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

int Measure(const std::string& dir) {
  const Bytes resource = ReadAll(dir + "/translations.bin");
  const Bytes hostBytes = ReadAll(dir + "/hosts.bin");
  std::vector<std::string> hosts;
  for (size_t start = 0; start < hostBytes.size();) {
    const size_t end = std::find(hostBytes.begin() + start, hostBytes.end(), 0) - hostBytes.begin();
    hosts.emplace_back(reinterpret_cast<const char*>(hostBytes.data()) + start, end - start);
    start = end + 1;
  }

  // First lookup, cold each time: a fresh table, loader and translator per run.
  std::vector<double> firstMs;
  size_t records = 0;
  for (int run = 0; run < 30; ++run) {
    LookupStack cold(resource);
    const Clock::time_point start = Clock::now();
    const char* result = cold.translator.ReplaceSubtitle(hosts.front().c_str());
    firstMs.push_back(Milliseconds(Clock::now() - start));
    if (result == hosts.front().c_str()) {
      std::fprintf(stderr, "first host text was not translated\n");
      return 1;
    }
    records = cold.table.size();
  }
  std::sort(firstMs.begin(), firstMs.end());

  // Where the first lookup's time goes: the decode alone, and the fill alone.
  std::vector<double> decodeMs, fillMs;
  vykcn::TranslationResourceParts parts;
  if (!vykcn::SplitTranslationResource(resource.data(), resource.size(), &parts)) {
    std::fprintf(stderr, "the corpus resource is shorter than its size header\n");
    return 1;
  }
  const uint32_t imageSize = parts.imageSize;
  Bytes image(imageSize);
  for (int run = 0; run < 30; ++run) {
    vykcn::LzxStreamDecoder decoder;
    void* context = nullptr;
    uint64_t produced = image.size();
    Clock::time_point start = Clock::now();
    decoder.Create(&context);
    decoder.Decompress(context, image.data(), &produced, parts.stream, parts.streamSize);
    decoder.Destroy(context);
    decodeMs.push_back(Milliseconds(Clock::now() - start));
    vykcn::TranslationTable table;
    start = Clock::now();
    table.FillFromImage(image.data(), image.size());
    fillMs.push_back(Milliseconds(Clock::now() - start));
  }
  std::sort(decodeMs.begin(), decodeMs.end());
  std::sort(fillMs.begin(), fillMs.end());

  // Warm lookups over every host text, with and without a hit.
  LookupStack warm(resource);
  vykcn::SubtitleTranslator& translator = warm.translator;
  translator.ReplaceSubtitle(hosts.front().c_str());
  std::vector<std::string> misses;
  for (const std::string& host : hosts) misses.push_back(host + " (no such line)");
  const long allocationsBefore = gAllocations.load();
  size_t hits = 0;
  const int rounds = 20;
  const Clock::time_point start = Clock::now();
  for (int round = 0; round < rounds; ++round) {
    for (const std::string& host : hosts) hits += translator.ReplaceSubtitle(host.c_str()) != host.c_str();
    for (const std::string& miss : misses) {
      const char* slot = miss.c_str();
      translator.ReplaceSubtitlePointer(&slot);
    }
  }
  const double warmNs = std::chrono::duration<double, std::nano>(Clock::now() - start).count() /
                        (static_cast<double>(rounds) * 2 * hosts.size());
  const long warmAllocations = gAllocations.load() - allocationsBefore;

  std::printf("| records | distinct hashes | image bytes | resource bytes | first lookup ms (min / median / max) | of which decode / fill ms (median) | warm lookup ns | warm allocations |\n");
  std::printf("|---|---|---|---|---|---|---|---|\n");
  std::printf("| %zu | %zu | %u | %zu | %.2f / %.2f / %.2f | %.2f / %.2f | %.0f | %ld |\n", hosts.size(),
              records, imageSize, resource.size(), firstMs.front(), firstMs[firstMs.size() / 2],
              firstMs.back(), decodeMs[decodeMs.size() / 2], fillMs[fillMs.size() / 2], warmNs,
              warmAllocations);
  if (hits != rounds * hosts.size()) {
    std::fprintf(stderr, "only %zu of %zu warm lookups hit\n", hits, rounds * hosts.size());
    return 1;
  }
  return warmAllocations == 0 ? 0 : 1;
}

#ifdef VYKCN_BENCH_CORPUS_WRITER
int WriteCorpus(const std::string& dir) {
  const std::vector<vykcn::tool::TextEntry> entries =
      // Subtitle-sized lines, as many as the shipped set holds.
      vykcn::bench::CatalogueEntries("/usr/share/locale/zh_CN/LC_MESSAGES", 424676, 12022, 96);
  if (entries.empty()) {
    std::fprintf(stderr, "no zh_CN message catalogues found\n");
    return 2;
  }
  const Bytes resource = vykcn::PackTranslationResource(vykcn::tool::BuildTranslationImage(entries).image);
  std::ofstream(dir + "/translations.bin", std::ios::binary)
      .write(reinterpret_cast<const char*>(resource.data()), static_cast<std::streamsize>(resource.size()));
  std::ofstream hosts(dir + "/hosts.bin", std::ios::binary);
  for (const auto& entry : entries) hosts.write(entry.host.c_str(), static_cast<std::streamsize>(entry.host.size() + 1));
  std::printf("corpus: %zu records, resource %zu bytes\n", entries.size(), resource.size());
  return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--corpus") == 0) return Measure(argv[2]);
#ifdef VYKCN_BENCH_CORPUS_WRITER
  if (argc == 3 && std::strcmp(argv[1], "--write-corpus") == 0) return WriteCorpus(argv[2]);
#endif
  std::fprintf(stderr, "usage: lookup_bench --write-corpus DIR | --corpus DIR\n");
  return 2;
}
