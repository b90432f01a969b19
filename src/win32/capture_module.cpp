#include "win32/capture_module.h"

#include <windows.h>

#include <atomic>
#include <cstring>
#include <new>

#include "capture/capture_catalogue.h"
#include "win32/module_state.h"

namespace vykcn {
namespace {

constexpr DWORD kWriteIntervalMs = 2000;
constexpr DWORD kPathCapacity = 32768;  // the longest path Windows takes, in UTF-16 units

CaptureRecorder* gRecorder = nullptr;
CapturingLookups* gCapture = nullptr;
bool gNamed = false;
wchar_t gPath[kPathCapacity];           // HOST-FOLDER\vykcn-capture.po
wchar_t gTemporaryPath[kPathCapacity];  // the same with .tmp: written, then renamed over it
// Held while the file is written, by the writer thread or the detach; it guards gBuffer too. A
// flag rather than a lock: the detach only tries it, and never waits on a thread the exit ended.
std::atomic<bool> gWriting{false};
char gBuffer[1 << 16];
uint64_t gWrittenRevision = 0;  // the writer thread's own

// The catalogue, buffered in gBuffer, into a file. After a failed write nothing more is written.
class FileOutput final : public CatalogueOutput {
 public:
  explicit FileOutput(HANDLE file) : file_(file) {}
  void Append(const char* data, size_t size) override {
    while (size != 0 && ok_) {
      if (used_ == sizeof gBuffer) Flush();
      const size_t n = size < sizeof gBuffer - used_ ? size : sizeof gBuffer - used_;
      std::memcpy(gBuffer + used_, data, n);
      used_ += n;
      data += n;
      size -= n;
    }
  }
  bool Finish() {
    Flush();
    return ok_;
  }

 private:
  void Flush() {
    DWORD written = 0;
    if (ok_ && used_ != 0) {
      ok_ = WriteFile(file_, gBuffer, static_cast<DWORD>(used_), &written, nullptr) && written == used_;
    }
    used_ = 0;
  }
  HANDLE file_;
  size_t used_ = 0;
  bool ok_ = true;
};

// The file's two paths, beside the host executable. False when the folder's path is too long.
bool NameFiles() {
  const DWORD length = GetModuleFileNameW(nullptr, gPath, kPathCapacity);
  if (length == 0 || length >= kPathCapacity) return false;
  size_t folder = length;
  while (folder > 0 && gPath[folder - 1] != L'\\' && gPath[folder - 1] != L'/') --folder;
  const size_t name = std::strlen(kCaptureCatalogueName);
  if (folder + name + 5 > kPathCapacity) return false;
  for (size_t i = 0; i < name; ++i) gPath[folder + i] = static_cast<wchar_t>(kCaptureCatalogueName[i]);
  gPath[folder + name] = L'\0';
  std::memcpy(gTemporaryPath, gPath, (folder + name) * sizeof(wchar_t));
  std::memcpy(gTemporaryPath + folder + name, L".tmp", 5 * sizeof(wchar_t));
  return true;
}

// Writes the temporary file and renames it over the catalogue; on any failure removes it, and the
// catalogue stays as it was.
bool WriteCatalogueFile() {
  HANDLE file = CreateFileW(gTemporaryPath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file == INVALID_HANDLE_VALUE) return false;
  FileOutput output(file);
  WriteCaptureCatalogue(*gRecorder, output);
  const bool written = output.Finish();
  const bool closed = CloseHandle(file) != 0;
  if (written && closed && MoveFileExW(gTemporaryPath, gPath, MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileW(gTemporaryPath);
  return false;
}

bool TryWrite() {
  if (gWriting.exchange(true, std::memory_order_acquire)) return false;
  const bool written = WriteCatalogueFile();
  gWriting.store(false, std::memory_order_release);
  return written;
}

DWORD WINAPI WriterThread(void*) {
  for (;;) {
    Sleep(kWriteIntervalMs);
    const uint64_t revision = gRecorder->revision();
    if (revision != gWrittenRevision && TryWrite()) gWrittenRevision = revision;
  }
}

bool PinModule() {
  HMODULE self = nullptr;
  return GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                            reinterpret_cast<LPCSTR>(&StartCapture), &self) != 0;
}

}  // namespace

void StartCapture() noexcept {
  gRecorder = new (std::nothrow) CaptureRecorder();
  if (gRecorder == nullptr) return;
  gCapture = new (std::nothrow) CapturingLookups(ModuleTranslator(), *gRecorder);
  gNamed = NameFiles();
  // The writer runs the module's code until the process ends: the module must stay mapped first.
  if (gCapture == nullptr || !gNamed || !PinModule()) return;
  // Created now, it starts once the library entry returns.
  HANDLE thread = CreateThread(nullptr, 0, &WriterThread, nullptr, 0, nullptr);
  if (thread == nullptr) return;
  SetThreadPriority(thread, THREAD_PRIORITY_LOWEST);
  CloseHandle(thread);
}

CapturingLookups* ModuleCapture() noexcept { return gCapture; }

void FinishCapture() noexcept {
  if (gCapture == nullptr || !gNamed || gRecorder->revision() == 0) return;
  TryWrite();
}

}  // namespace vykcn
