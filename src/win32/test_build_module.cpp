#include "win32/test_build_module.h"

#include <windows.h>

#include <atomic>
#include <new>
#include <string>
#include <vector>

#include "capture/capture_catalogue.h"
#include "formats/resource_ids.h"
#include "live/glyph_set.h"
#include "live/live_status.h"
#include "win32/resource_blob.h"
#include "win32/test_build_files.h"
#include "win32/test_build_keys.h"

namespace vykcn {
namespace {

constexpr DWORD kTickMs = 20;                 // keys are read this often
constexpr ULONGLONG kFilesMs = 200;           // the live files are looked at this often
constexpr ULONGLONG kCatalogueMs = 2000;      // the capture's file is written this often, when it has news
constexpr const char* kKeysName = "vykcn-live/keys.txt";
constexpr const char* kStatusName = "vykcn-live/status.txt";

class StringOutput final : public CatalogueOutput {
 public:
  void Append(const char* data, size_t size) override { text.append(data, size); }
  std::string text;
};

// Everything the test build keeps; allocated once and never freed, as texts the host was handed
// live in it.
struct TestBuild {
  LiveTranslations live;
  CaptureRecorder recorder;
  PrefixedTexts prefixed;
  LiveLookups lookups{live, &recorder, &prefixed};
  GlyphSet glyphs;

  // The thread's own (and the library entry's, before the thread starts).
  std::wstring translationsPath, keysPath, statusPath, cataloguePath;
  FileVersion translationsVersion, keysVersion;
  bool fileInUse = false;      // the table in use came from the file
  bool reloadStopped = false;  // the memory cap was reached
  std::string fileProblem, capProblem, embeddedProblem;
  std::vector<std::string> keyProblems;
  KeyBindings keys;
  KeyWatch keyWatch;
  LiveStatus status;
  bool statusChanged = true;
  uint64_t catalogueRevision = 0;
  size_t capturedTexts = 0;
};

TestBuild* gBuild = nullptr;
// Held while vykcn-capture.po is written, by the thread or the detach. A flag rather than a lock: the
// detach only tries it, and never waits on a thread the exit ended.
std::atomic<bool> gWritingCatalogue{false};

void NoteLoaded(TestBuild& build, const char* translations) {
  build.status.translations = translations;
  build.status.records = build.live.current() != nullptr ? build.live.current()->size() : 0;
  build.status.loaded = LocalTimeText();
}

// What follows a new table: the capture's answers asked again, and its missing glyphs.
void TakeNewTable(TestBuild& build) {
  const LiveIndex* index = build.live.current();
  if (index == nullptr) return;
  ReanswerCapture(*index, build.recorder);
  build.status.missingGlyphs.clear();
  const std::vector<MissingGlyphs> missing = FindMissingGlyphs(*index, build.glyphs);
  build.status.missingGlyphRecords = missing.size();
  for (size_t i = 0; i < missing.size() && i < kMissingGlyphsListed; ++i) {
    build.status.missingGlyphs.push_back(DescribeMissingGlyphs(missing[i], &build.recorder));
  }
}

// The live translation file: read when a new version is in place (or when `force`d, by the reload
// key), and used when it decodes and fits the cap.
void LookAtTranslations(TestBuild& build, bool force, const char* why) {
  std::vector<uint8_t> bytes;
  DWORD error = 0;
  const FileRead read = ReadFileIfChanged(build.translationsPath, force, &build.translationsVersion, &bytes, &error);
  std::string problem = build.fileProblem;
  if (read == FileRead::kSame) return;
  if (read == FileRead::kMissing) {
    if (build.fileInUse) problem = std::string(kLiveTranslationsName) + " is missing; the table in use is unchanged";
    build.translationsVersion = FileVersion();
    if (force) {
      build.status.lastReload = LocalTimeText() + " (" + why + ")";
      build.status.lastResult = std::string("refused: there is no ") + kLiveTranslationsName;
      build.statusChanged = true;
    }
  } else if (read == FileRead::kFailed) {
    problem = std::string(kLiveTranslationsName) + ": cannot be read (Windows error " + std::to_string(error) +
              "); the table in use is unchanged";
  } else if (build.reloadStopped) {
    build.status.lastReload = LocalTimeText() + " (" + why + ")";
    build.status.lastResult = "not read: reloading has stopped at the memory cap; restart the game to load it";
    build.statusChanged = true;
  } else {
    const ReloadOutcome outcome = build.live.Reload(bytes.data(), bytes.size());
    build.status.lastReload = LocalTimeText() + " (" + why + ")";
    build.status.lastResult = DescribeReload(outcome);
    build.statusChanged = true;
    problem.clear();
    if (outcome.status != LoadStatus::kLoaded) {
      problem = std::string(kLiveTranslationsName) + ": " + build.status.lastResult;
    } else if (outcome.overCap) {
      build.reloadStopped = true;
      build.capProblem = "memory cap: the texts reloads copied (" + std::to_string(build.live.store().used()) +
                         " bytes) and this file's would pass " + std::to_string(build.live.store().cap()) +
                         " bytes; reloading has stopped: restart the game to load the file";
    } else {
      build.fileInUse = true;
      NoteLoaded(build, kLiveTranslationsName);
      if (outcome.published) TakeNewTable(build);
    }
  }
  if (problem != build.fileProblem) {
    build.fileProblem = problem;
    build.statusChanged = true;
  }
}

void LookAtKeys(TestBuild& build) {
  std::vector<uint8_t> bytes;
  DWORD error = 0;
  const FileRead read = ReadFileIfChanged(build.keysPath, false, &build.keysVersion, &bytes, &error);
  if (read == FileRead::kRead) {
    build.keyProblems.clear();
    build.keys = ReadKeyBindings(std::string(bytes.begin(), bytes.end()), &build.keyProblems);
    build.statusChanged = true;
  } else if (read == FileRead::kMissing && !(build.keysVersion == FileVersion())) {
    build.keysVersion = FileVersion();
    build.keyProblems.clear();
    build.keys = KeyBindings();
    build.statusChanged = true;
  }
}

void TryWriteCatalogue(TestBuild& build) {
  const uint64_t revision = build.recorder.revision();
  if (revision == build.catalogueRevision || gWritingCatalogue.exchange(true, std::memory_order_acquire)) return;
  struct Release {
    ~Release() { gWritingCatalogue.store(false, std::memory_order_release); }
  } release;
  StringOutput output;
  WriteCaptureCatalogue(build.recorder, output);
  if (WriteFileByRename(build.cataloguePath, output.text)) build.catalogueRevision = revision;
}

void WriteStatus(TestBuild& build) {
  LiveStatus& status = build.status;
  status.problems.clear();
  for (const std::string* problem : {&build.embeddedProblem, &build.fileProblem, &build.capProblem}) {
    if (!problem->empty()) status.problems.push_back(*problem);
  }
  status.problems.insert(status.problems.end(), build.keyProblems.begin(), build.keyProblems.end());
  if (const uint64_t unprefixed = build.prefixed.unprefixed()) {
    status.problems.push_back("hash prefix: " + std::to_string(unprefixed) +
                              " lines shown without it, past the limit of the prefixed lines kept");
  }
  status.storeUsed = build.live.store().used();
  status.storeCap = build.live.store().cap();
  status.waitingIndexes = build.live.waitingIndexes();
  status.display = build.lookups.display();
  status.capturedTexts = build.recorder.size();
  status.captured = CountCaptured(build.recorder);
  status.capturePassesDropped = build.recorder.droppedPasses();
  status.keys = build.keys;
  build.statusChanged = !WriteFileByRename(build.statusPath, FormatLiveStatus(status));
}

void Act(TestBuild& build, unsigned pressed) {
  if (pressed & (1u << static_cast<unsigned>(KeyAction::kToggleOriginal))) build.lookups.ToggleDisplay(kShowOriginal);
  if (pressed & (1u << static_cast<unsigned>(KeyAction::kToggleHashPrefix))) build.lookups.ToggleDisplay(kShowHashPrefix);
  if (pressed & (1u << static_cast<unsigned>(KeyAction::kReload))) {
    LookAtTranslations(build, true, DescribeChord(build.keys.chords[static_cast<size_t>(KeyAction::kReload)]).c_str());
  }
  if (pressed != 0) build.statusChanged = true;
}

DWORD WINAPI TestBuildThread(void*) {
  TestBuild& build = *gBuild;
  ULONGLONG nextFiles = 0, nextCatalogue = GetTickCount64() + kCatalogueMs, statusRetry = 0;
  for (;;) {
    // Nothing the thread does may end it: a round that fails is tried again on the next.
    try {
      Act(build, build.keyWatch.Pressed(build.keys));
      const ULONGLONG now = GetTickCount64();
      if (now >= nextFiles) {
        nextFiles = now + kFilesMs;
        LookAtKeys(build);
        LookAtTranslations(build, false, "a new file");
        build.live.Reclaim();
      }
      if (now >= nextCatalogue) {
        nextCatalogue = now + kCatalogueMs;
        TryWriteCatalogue(build);
        if (build.recorder.size() != build.capturedTexts) {
          build.capturedTexts = build.recorder.size();
          build.statusChanged = true;
        }
      }
      // A status write that failed is tried again with the files.
      if (build.statusChanged && now >= statusRetry) {
        WriteStatus(build);
        if (build.statusChanged) statusRetry = now + kFilesMs;
      }
    } catch (...) {
    }
    Sleep(kTickMs);
  }
}

bool PinModule() {
  HMODULE self = nullptr;
  return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                            reinterpret_cast<LPCSTR>(&StartTestBuild), &self) != 0;
}

// The library entry's part: the module's own resources, then the live file.
void LoadFirstTables(TestBuild& build) {
  ModuleImageResources resources;
  ResourceBytes bytes;
  if (resources.LoadData(kGlyphTableResourceId, &bytes)) build.glyphs = GlyphSet(bytes.data, bytes.size);
  const ReloadOutcome embedded = resources.LoadData(kTranslationResourceId, &bytes)
                                     ? build.live.LoadEmbedded(bytes.data, bytes.size)
                                     : ReloadOutcome{LoadStatus::kNoResource};
  if (embedded.status != LoadStatus::kLoaded) {
    build.embeddedProblem = "the module's own translations: " + DescribeReload(embedded);
  }
  NoteLoaded(build, "embedded");
  TakeNewTable(build);
  build.translationsPath = PathBesideHost(kLiveTranslationsName);
  build.keysPath = PathBesideHost(kKeysName);
  build.statusPath = PathBesideHost(kStatusName);
  build.cataloguePath = PathBesideHost(kCaptureCatalogueName);
  CreateDirectoryW(PathBesideHost(kLiveFolderName).c_str(), nullptr);
  LookAtKeys(build);
  LookAtTranslations(build, false, "at start");
}

}  // namespace

void StartTestBuild() noexcept {
  auto* build = new (std::nothrow) TestBuild();
  if (build == nullptr) return;
  try {
    LoadFirstTables(*build);
  } catch (...) {
    // Out of memory at start: the lookups serve whatever was published.
  }
  gBuild = build;
  // The thread runs the module's code until the process ends: the module must stay mapped first.
  if (build->translationsPath.empty() || !PinModule()) return;
  // Created now, it starts once the library entry returns.
  HANDLE thread = CreateThread(nullptr, 0, &TestBuildThread, nullptr, 0, nullptr);
  if (thread == nullptr) return;
  SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL);
  CloseHandle(thread);
}

LiveLookups* TestBuildLookups() noexcept { return gBuild != nullptr ? &gBuild->lookups : nullptr; }

void FinishTestBuild() noexcept {
  if (gBuild == nullptr || gBuild->cataloguePath.empty() || gBuild->recorder.revision() == 0) return;
  try {
    TryWriteCatalogue(*gBuild);
  } catch (...) {
  }
}

}  // namespace vykcn
