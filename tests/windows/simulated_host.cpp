#include "simulated_host.h"

#include <cstring>

#include "win32/host_contract.h"

namespace vykcn::test {
namespace {

// Host pages: code around the glyph and subtitle sites and HostContinue, code around the
// dialogue site, and the data pages of the two pointer slots.
constexpr uintptr_t kCodeRegion = 0x140250000, kCodeRegionSize = 0x30000;
constexpr uintptr_t kDialogueRegion = 0x140400000, kDialogueRegionSize = 0x10000;
constexpr uintptr_t kDataRegion = 0x141790000, kDataRegionSize = 0x10000;
// Test-only places in the data pages for what the host's code records and works on.
constexpr uintptr_t kRecorderAddress = kDataRegion;
constexpr uintptr_t kFontAddress = kDataRegion + 0x100;
constexpr uintptr_t kSubtitleVariableAddress = kDataRegion + 0x200;
// Each call site is the body of a small routine that starts this many bytes earlier.
constexpr uintptr_t kRoutineLead = 0x2E;
constexpr uintptr_t kDialogueRoutine = host::kDialoguePatchSite - 0x34;
constexpr uintptr_t kElsewhere = 0x140270000;  // a "ret" that is not HostContinue

template <typename T>
T* At(uintptr_t address) {
  return reinterpret_cast<T*>(address);
}

// Appends machine code bytes at a cursor.
class CodeWriter {
 public:
  explicit CodeWriter(uintptr_t at) : at_(at) {}
  CodeWriter& Bytes(std::initializer_list<uint8_t> bytes) {
    for (uint8_t b : bytes) *At<uint8_t>(at_++) = b;
    return *this;
  }
  CodeWriter& U64(uint64_t v) {
    std::memcpy(At<void>(at_), &v, 8);
    at_ += 8;
    return *this;
  }
  CodeWriter& MovRaxImm(uint64_t v) { return Bytes({0x48, 0xB8}).U64(v); }
  CodeWriter& PadTo(uintptr_t address, uint8_t filler) {
    while (at_ < address) Bytes({filler});
    return *this;
  }
  // call rel32 to `target`
  CodeWriter& Call(uintptr_t target) {
    const int32_t rel = static_cast<int32_t>(target - (at_ + 5));
    Bytes({0xE8});
    std::memcpy(At<void>(at_), &rel, 4);
    at_ += 4;
    return *this;
  }
  uintptr_t at() const { return at_; }

 private:
  uintptr_t at_;
};

// sub rsp,0x28; record rsp; nop...; [site] call target; add rsp,0x28; ret; int3 fill after.
void WriteCallSiteRoutine(uintptr_t site, uintptr_t target) {
  CodeWriter(site - kRoutineLead)
      .Bytes({0x48, 0x83, 0xEC, 0x28})
      .MovRaxImm(kRecorderAddress + offsetof(HostRecorder, siteRsp))
      .Bytes({0x48, 0x89, 0x20})  // mov [rax], rsp
      .PadTo(site, 0x90)
      .Call(target)
      .Bytes({0x48, 0x83, 0xC4, 0x28, 0xC3})
      .PadTo(site + 0x40, 0xCC);
}

void WriteHostContinue() {
  CodeWriter(host::kHostContinue)
      .MovRaxImm(kRecorderAddress + offsetof(HostRecorder, continueCalls))
      .Bytes({0x48, 0xFF, 0x00})  // inc qword [rax]
      .MovRaxImm(kRecorderAddress + offsetof(HostRecorder, continueRsp))
      .Bytes({0x48, 0x89, 0x20})  // mov [rax], rsp
      .Bytes({0xC3});
  CodeWriter(kElsewhere).Bytes({0xC3});
}

// void routine(text /*rcx*/, uint32_t* r14 /*rdx*/, HostRecorder::rbx /*r8*/): sets rbx and r14,
// reaches the site with rsp 16-byte aligned, and at the resume address records the registers.
void WriteDialogueRoutine() {
  CodeWriter(kDialogueRoutine)
      .Bytes({0x53, 0x41, 0x56, 0x41, 0x57})              // push rbx; push r14; push r15
      .Bytes({0x48, 0x81, 0xEC, 0xD0, 0x00, 0x00, 0x00})  // sub rsp, 0xD0
      .Bytes({0x48, 0x89, 0xCB})                          // mov rbx, rcx
      .Bytes({0x49, 0x89, 0xD6})                          // mov r14, rdx
      .Bytes({0x4D, 0x89, 0xC7})                          // mov r15, r8
      .Bytes({0x49, 0x89, 0x67, 0x20})                    // mov [r15+32], rsp
      .PadTo(host::kDialoguePatchSite, 0x90)
      .Bytes({0x41, 0x8B, 0x0E})                                // mov ecx, [r14]
      .Bytes({0x4C, 0x8D, 0x84, 0x24, 0xB0, 0x00, 0x00, 0x00})  // lea r8, [rsp+0xB0]
      .Bytes({0x41, 0xB9, 0x00, 0x04, 0x00, 0x00})              // mov r9d, 1024
      .Bytes({0x49, 0x89, 0x1F})                                // [resume] mov [r15], rbx
      .Bytes({0x49, 0x89, 0x4F, 0x08})                          // mov [r15+8], rcx
      .Bytes({0x4D, 0x89, 0x47, 0x10})                          // mov [r15+16], r8
      .Bytes({0x4D, 0x89, 0x4F, 0x18})                          // mov [r15+24], r9
      .Bytes({0x48, 0x81, 0xC4, 0xD0, 0x00, 0x00, 0x00})        // add rsp, 0xD0
      .Bytes({0x41, 0x5F, 0x41, 0x5E, 0x5B, 0xC3});             // pop r15; pop r14; pop rbx; ret
}

bool MapRegion(uintptr_t base, size_t size) {
  return VirtualAlloc(At<void>(base), size, MEM_RESERVE | MEM_COMMIT, PAGE_READWRITE) == At<void>(base);
}

void Protect(uintptr_t base, size_t size, DWORD protection) {
  DWORD old;
  VirtualProtect(At<void>(base), size, protection, &old);
}

}  // namespace

bool SimulatedHost::Map(HostLayout layout) {
  if (!MapRegion(kCodeRegion, kCodeRegionSize) || !MapRegion(kDialogueRegion, kDialogueRegionSize) ||
      !MapRegion(kDataRegion, kDataRegionSize)) {
    return false;
  }
  std::memset(At<void>(kCodeRegion), 0xCC, kCodeRegionSize);
  std::memset(At<void>(kDialogueRegion), 0xCC, kDialogueRegionSize);
  WriteHostContinue();
  WriteCallSiteRoutine(host::kGlyphPatchSite, host::kHostContinue);
  WriteCallSiteRoutine(host::kSubtitlePatchSite,
                       layout == HostLayout::kSubtitleMismatch ? kElsewhere : host::kHostContinue);
  WriteDialogueRoutine();
  *At<uintptr_t>(host::kHostFontPointer) = kFontAddress;
  *At<uintptr_t>(host::kHostSubtitlePointer) = kSubtitleVariableAddress;
  // Code pages as a loaded image has them: executable and readable, not writable.
  Protect(kCodeRegion, kCodeRegionSize, PAGE_EXECUTE_READ);
  Protect(kDialogueRegion, kDialogueRegionSize, PAGE_EXECUTE_READ);
  FlushInstructionCache(GetCurrentProcess(), nullptr, 0);
  return true;
}

void SimulatedHost::RunGlyphSite() { reinterpret_cast<void (*)()>(host::kGlyphPatchSite - kRoutineLead)(); }

void SimulatedHost::RunSubtitleSite() {
  reinterpret_cast<void (*)()>(host::kSubtitlePatchSite - kRoutineLead)();
}

void SimulatedHost::RunDialogueSite(const char* text, uint32_t* r14Value) {
  using Routine = void (*)(const char*, uint32_t*, uint64_t*);
  reinterpret_cast<Routine>(kDialogueRoutine)(text, r14Value, &recorder().rbx);
}

HostRecorder& SimulatedHost::recorder() { return *At<HostRecorder>(kRecorderAddress); }
HostFontObject& SimulatedHost::font() { return *At<HostFontObject>(kFontAddress); }
const char*& SimulatedHost::currentSubtitle() { return *At<const char*>(kSubtitleVariableAddress); }

DWORD ProtectionAt(uintptr_t address) {
  MEMORY_BASIC_INFORMATION info{};
  VirtualQuery(At<void>(address), &info, sizeof info);
  return info.Protect;
}

}  // namespace vykcn::test
