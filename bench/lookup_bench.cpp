// First and warm subtitle lookups through the same loader, decoder and table that the module uses,
// on a corpus of translations from the machine's zh_CN message catalogues.
//
//   lookup_bench --write-corpus DIR [--records N]
//       (native) creates DIR and writes the corpus into it: DIR/translations.bin (the resource),
//       DIR/edited.bin (the same with one line changed and one added, which the test build reloads)
//       and DIR/hosts.bin (the host texts, NUL-separated). By default the shipped set's size,
//       about 12,000 records in 400 KB; with --records a full game's script of N lines (100000:
//       about 4.8 MB of image), made by joining halves of the catalogues' lines.
//   lookup_bench --corpus DIR
//       measures, natively or under Wine (the same code built by mingw). Natively it also times
//       wimlib decompressing the same image (256 KiB chunks) and reports the load's peak heap.
//
// The first lookup is load + decompress + fill + one lookup, which must stay well inside a 60 Hz
// frame (16.7 ms). A warm lookup must not allocate.
//
// A second table sets the test build's warm lookups beside the shipped build's: the same resource,
// through the test build's lookups (LiveLookups over LiveTranslations, which record every pass in a
// CaptureRecorder of the module's limits), first over the module's own translations, then after a
// reload of DIR/edited.bin. The two take turns, round by round, and each column is the median of
// the rounds' time per lookup; the test build's first pass, which copies each text into the capture
// and asks how it was answered, is shown apart. The test build may cost at most 300 ns more a lookup
// than the shipped one, known texts and unknown, before and after the reload.
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

#include "live/live_lookups.h"
#include "formats/translation_resource.h"
#include "platform/message_sink.h"
#include "platform/own_resources.h"
#include "translation/subtitle_translator.h"
#include "translation/translation_loader.h"

#ifdef VYKCN_BENCH_NATIVE
#include <filesystem>

#include "catalogue_corpus.h"
#include "common/translation_packing.h"
#include "text_sources/translation_image_builder.h"
#include "wimlib_reference.h"
#endif

// Every operator new in the process is counted, so that a lookup that allocates shows up, and
// the bytes it holds are tracked (a size header before each block) to find the load's peak.
static std::atomic<long> gAllocations{0};
static size_t gHeapBytes = 0;
static size_t gHeapPeak = 0;
constexpr size_t kSizeHeader = 16;  // keeps the block's alignment
void* operator new(size_t size) {
  ++gAllocations;
  auto* block = static_cast<unsigned char*>(std::malloc(size + kSizeHeader));
  if (block == nullptr) throw std::bad_alloc();
  std::memcpy(block, &size, sizeof size);
  gHeapBytes += size;
  gHeapPeak = std::max(gHeapPeak, gHeapBytes);
  return block + kSizeHeader;
}
void* operator new(size_t size, const std::nothrow_t&) noexcept {
  try {
    return operator new(size);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}
void operator delete(void* p) noexcept {
  if (p == nullptr) return;
  auto* block = static_cast<unsigned char*>(p) - kSizeHeader;
  size_t size;
  std::memcpy(&size, block, sizeof size);
  gHeapBytes -= size;
  std::free(block);
}
void operator delete(void* p, size_t) noexcept { operator delete(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { operator delete(p); }

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
  FailOnMessage messages;
  vykcn::TranslationTable table;
  vykcn::TranslationLoader loader{resources, messages, table};
  vykcn::SubtitleTranslator translator{table, loader};
};

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

struct TestBuildCost {
  double shippedKnownNs, knownNs, firstKnownNs;
  double shippedUnknownNs, unknownNs, firstUnknownNs;
  size_t recorded;
  uint64_t dropped;
  long allocations;
  bool same;  // every round of both builds gave the same answers
};

// Time per lookup of one pass of `lookup` over `texts`; `*hits` gets the texts it translated.
template <typename Lookup>
double PassNs(const std::vector<std::string>& texts, Lookup lookup, size_t* hits) {
  size_t translated = 0;
  const Clock::time_point start = Clock::now();
  for (const std::string& text : texts) translated += lookup(text.c_str()) != text.c_str();
  const double ns = std::chrono::duration<double, std::nano>(Clock::now() - start).count() / texts.size();
  *hits = translated;
  return ns;
}

// The shipped lookups and the test build's, over the same translations: known texts through the
// export, unknown ones through the subtitle site (which also tries the fallback).
TestBuildCost MeasureTestBuild(vykcn::SubtitleTranslator& translator, vykcn::LiveLookups& capturing,
                               vykcn::CaptureRecorder& recorder, const std::vector<std::string>& known,
                               const std::vector<std::string>& unknown) {
  const auto shippedExport = [&](const char* text) { return translator.ReplaceSubtitle(text); };
  const auto captureExport = [&](const char* text) {
    return capturing.ReplaceSubtitle(text, vykcn::CaptureSite::kExport);
  };
  const auto shippedSite = [&](const char* text) {
    translator.ReplaceSubtitlePointer(&text);
    return text;
  };
  const auto captureSite = [&](const char* text) {
    capturing.ReplaceSubtitlePointer(&text);
    return text;
  };

  TestBuildCost cost{};
  size_t knownHits = 0, unknownHits = 0, hits = 0;
  cost.firstKnownNs = PassNs(known, captureExport, &knownHits);
  cost.firstUnknownNs = PassNs(unknown, captureSite, &unknownHits);
  cost.same = true;
  constexpr int kRounds = 15;
  std::vector<double> shippedKnown, capturedKnown, shippedUnknown, capturedUnknown;
  for (std::vector<double>* times : {&shippedKnown, &capturedKnown, &shippedUnknown, &capturedUnknown}) {
    times->reserve(kRounds);
  }
  const long allocationsBefore = gAllocations.load();
  for (int round = 0; round < kRounds; ++round) {
    // Who goes first changes every round.
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn + round) % 2 == 0) {
        shippedKnown.push_back(PassNs(known, shippedExport, &hits));
        cost.same &= hits == knownHits;
        shippedUnknown.push_back(PassNs(unknown, shippedSite, &hits));
        cost.same &= hits == unknownHits;
      } else {
        capturedKnown.push_back(PassNs(known, captureExport, &hits));
        cost.same &= hits == knownHits;
        capturedUnknown.push_back(PassNs(unknown, captureSite, &hits));
        cost.same &= hits == unknownHits;
      }
    }
  }
  cost.allocations = gAllocations.load() - allocationsBefore;
  cost.shippedKnownNs = Median(shippedKnown);
  cost.knownNs = Median(capturedKnown);
  cost.shippedUnknownNs = Median(shippedUnknown);
  cost.unknownNs = Median(capturedUnknown);
  cost.recorded = recorder.size();
  cost.dropped = recorder.droppedPasses();
  return cost;
}

int Measure(const std::string& dir) {
  const Bytes resource = ReadAll(dir + "/translations.bin");
  const Bytes hostBytes = ReadAll(dir + "/hosts.bin");
  vykcn::TranslationResourceParts parts;
  if (!vykcn::SplitTranslationResource(resource.data(), resource.size(), &parts)) {
    std::fprintf(stderr, "the corpus resource is shorter than its size header\n");
    return 1;
  }
  const uint32_t imageSize = parts.imageSize;
  std::vector<std::string> hosts;
  for (size_t start = 0; start < hostBytes.size();) {
    const size_t end = std::find(hostBytes.begin() + start, hostBytes.end(), 0) - hostBytes.begin();
    hosts.emplace_back(reinterpret_cast<const char*>(hostBytes.data()) + start, end - start);
    start = end + 1;
  }

  // First lookup, cold each time: a fresh table, loader and translator per run.
  std::vector<double> firstMs;
  size_t records = 0;
  size_t peakBytes = 0;
  for (int run = 0; run < 30; ++run) {
    LookupStack cold(resource);
    const size_t heapBefore = gHeapBytes;
    gHeapPeak = gHeapBytes;
    const Clock::time_point start = Clock::now();
    const char* result = cold.translator.ReplaceSubtitle(hosts.front().c_str());
    firstMs.push_back(Milliseconds(Clock::now() - start));
    // The image comes from malloc, outside the count; it is held from the start of the load.
    peakBytes = gHeapPeak - heapBefore + (cold.table.image() != nullptr ? imageSize : 0);
    if (result == hosts.front().c_str()) {
      std::fprintf(stderr, "first host text was not translated\n");
      return 1;
    }
    records = cold.table.size();
  }
  std::sort(firstMs.begin(), firstMs.end());

  // Where the first lookup's time goes: the decode alone, and the fill alone.
  std::vector<double> decodeMs, fillMs;
  Bytes image(imageSize);
  for (int run = 0; run < 30; ++run) {
    size_t produced = image.size();
    Clock::time_point start = Clock::now();
    vykcn::DecodeTranslationStream(parts.stream, parts.streamSize, image.data(), &produced);
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

  // The test build, over the module's own translations and then after a reload of the edited file.
  const Bytes edited = ReadAll(dir + "/edited.bin");
  vykcn::LiveTranslations live;
  vykcn::CaptureRecorder recorder;
  vykcn::PrefixedTexts prefixed;
  vykcn::LiveLookups lookups(live, &recorder, &prefixed);
  if (!live.LoadEmbedded(resource.data(), resource.size()).published) {
    std::fprintf(stderr, "the test build could not load the corpus\n");
    return 1;
  }
  const TestBuildCost before = MeasureTestBuild(translator, lookups, recorder, hosts, misses);
  const vykcn::ReloadOutcome reload = live.Reload(edited.data(), edited.size());
  live.Reclaim();
  if (!reload.published || reload.changed != 1 || reload.added != 1) {
    std::fprintf(stderr, "the test build's reload of edited.bin: %zu changed, %zu added (1 and 1 expected)\n",
                 reload.changed, reload.added);
    return 1;
  }
  const TestBuildCost after = MeasureTestBuild(translator, lookups, recorder, hosts, misses);

  // Natively: wimlib decompressing the same image, the yardstick of the first lookup; and the
  // load's peak heap (under Wine the decoder context comes from the process heap, uncounted).
  std::string wimlibColumns = "n/a | n/a";
  std::string peakColumn = "n/a";
#ifdef VYKCN_BENCH_NATIVE
  vykcn::bench::WimlibReference wimlib(image, vykcn::kTranslationWindowSize);
  std::vector<double> wimlibMs;
  Bytes wimlibOut(image.size());
  for (int run = 0; run < 30 && wimlib.usable(); ++run) {
    const Clock::time_point start = Clock::now();
    const bool ok = wimlib.Decode(wimlibOut);
    wimlibMs.push_back(Milliseconds(Clock::now() - start));
    if (!ok || wimlibOut != image) {
      std::fprintf(stderr, "wimlib failed on the image\n");
      return 1;
    }
  }
  if (!wimlibMs.empty()) {
    char text[64];
    std::snprintf(text, sizeof text, "%.2f | %.2f", Median(wimlibMs), firstMs[firstMs.size() / 2] / Median(wimlibMs));
    wimlibColumns = text;
  }
  peakColumn = std::to_string((peakBytes + 512 * 1024) / (1024 * 1024)) + " MiB (" + std::to_string(peakBytes) + " bytes)";
#endif

  std::printf("| records | distinct hashes | image bytes | resource bytes | first lookup ms (min / median / max) | of which decode / fill ms (median) | warm lookup ns | warm allocations | wimlib decode ms (median) | first lookup / wimlib | peak heap of the load |\n");
  std::printf("|---|---|---|---|---|---|---|---|---|---|---|\n");
  std::printf("| %zu | %zu | %u | %zu | %.2f / %.2f / %.2f | %.2f / %.2f | %.0f | %ld | %s | %s |\n", hosts.size(),
              records, imageSize, resource.size(), firstMs.front(), firstMs[firstMs.size() / 2],
              firstMs.back(), decodeMs[decodeMs.size() / 2], fillMs[fillMs.size() / 2], warmNs,
              warmAllocations, wimlibColumns.c_str(), peakColumn.c_str());
  std::printf("\n| warm lookups | shipped ns (median) | test build ns (median) | test build - shipped ns | test build's first pass ns |\n");
  std::printf("|---|---|---|---|---|\n");
  for (const auto& [when, cost] : {std::pair{"", &before}, std::pair{", after a reload", &after}}) {
    std::printf("| known texts, export%s | %.0f | %.0f | %+.0f | %.0f |\n", when, cost->shippedKnownNs, cost->knownNs,
                cost->knownNs - cost->shippedKnownNs, cost->firstKnownNs);
    std::printf("| unknown texts, subtitle site%s | %.0f | %.0f | %+.0f | %.0f |\n", when, cost->shippedUnknownNs,
                cost->unknownNs, cost->unknownNs - cost->shippedUnknownNs, cost->firstUnknownNs);
  }
  std::printf("test build: %zu distinct texts recorded, %llu passes dropped (limits: %zu texts, %zu bytes), %ld allocations after its first pass; the reload copied %zu bytes\n",
              after.recorded, static_cast<unsigned long long>(after.dropped), vykcn::CaptureLimits{}.texts,
              vykcn::CaptureLimits{}.bytes, before.allocations + after.allocations, reload.copiedBytes);
  if (hits != rounds * hosts.size()) {
    std::fprintf(stderr, "only %zu of %zu warm lookups hit\n", hits, rounds * hosts.size());
    return 1;
  }
  if (!before.same || !after.same) {
    std::fprintf(stderr, "the test build's lookups answered otherwise than the shipped ones\n");
    return 1;
  }
  return warmAllocations == 0 ? 0 : 1;
}

#ifdef VYKCN_BENCH_NATIVE
int WriteCorpus(const std::string& dir, size_t records) {
  const std::string catalogues = "/usr/share/locale/zh_CN/LC_MESSAGES";
  const std::vector<vykcn::tool::TextEntry> entries =
      records == 0 ? vykcn::bench::CatalogueEntries(catalogues, 424676, 12022, 96)  // the shipped set's size
                   : vykcn::bench::GameScriptEntries(catalogues, records, 96);      // subtitle-sized lines
  if (entries.empty()) {
    std::fprintf(stderr, "lookup_bench: no zh_CN message catalogues found in %s\n", catalogues.c_str());
    return 2;
  }
  std::error_code error;
  std::filesystem::create_directories(dir, error);
  if (error) {
    std::fprintf(stderr, "lookup_bench: cannot create %s: %s\n", dir.c_str(), error.message().c_str());
    return 2;
  }
  const vykcn::tool::TranslationImageBuild build = vykcn::tool::BuildTranslationImage(entries);
  const Bytes resource = vykcn::tool::PackTranslationResource(build.image);
  std::ofstream translations(dir + "/translations.bin", std::ios::binary);
  translations.write(reinterpret_cast<const char*>(resource.data()), static_cast<std::streamsize>(resource.size()));
  // The edit the test build reloads: the last line's translation changed (of equal hashes the last
  // record's wins, so the change shows), and a line added.
  std::vector<vykcn::tool::TextEntry> editedEntries = entries;
  editedEntries.back().translation += "（改）";
  editedEntries.push_back(editedEntries.back());
  editedEntries.back().host = "A line that the edit added";
  editedEntries.back().translation = "编辑新增的一行";
  const Bytes editedResource = vykcn::tool::PackTranslationResource(vykcn::tool::BuildTranslationImage(editedEntries).image);
  std::ofstream edited(dir + "/edited.bin", std::ios::binary);
  edited.write(reinterpret_cast<const char*>(editedResource.data()), static_cast<std::streamsize>(editedResource.size()));
  std::ofstream hosts(dir + "/hosts.bin", std::ios::binary);
  for (const auto& entry : entries) hosts.write(entry.host.c_str(), static_cast<std::streamsize>(entry.host.size() + 1));
  translations.close();
  edited.close();
  hosts.close();
  if (!translations || !edited || !hosts) {
    std::fprintf(stderr, "lookup_bench: cannot write the corpus into %s\n", dir.c_str());
    return 2;
  }
  std::printf("corpus: %zu records, image %zu bytes, resource %zu bytes (ratio %.3f)\n", entries.size(),
              build.image.size(), resource.size(), static_cast<double>(resource.size()) / build.image.size());
  return 0;
}
#endif

}  // namespace

int main(int argc, char** argv) {
  if (argc == 3 && std::strcmp(argv[1], "--corpus") == 0) return Measure(argv[2]);
#ifdef VYKCN_BENCH_NATIVE
  if (argc == 3 && std::strcmp(argv[1], "--write-corpus") == 0) return WriteCorpus(argv[2], 0);
  if (argc == 5 && std::strcmp(argv[1], "--write-corpus") == 0 && std::strcmp(argv[3], "--records") == 0) {
    const long records = std::strtol(argv[4], nullptr, 10);
    if (records > 0) return WriteCorpus(argv[2], static_cast<size_t>(records));
  }
#endif
  std::fprintf(stderr, "usage: lookup_bench --write-corpus DIR [--records N] | --corpus DIR\n");
  return 2;
}
