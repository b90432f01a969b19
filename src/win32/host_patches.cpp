#include "win32/host_patches.h"

#include <windows.h>

#include <cstdint>
#include <cstring>

#include "win32/host_contract.h"
#include "win32/hooks.h"

namespace vykcn {
namespace {

constexpr size_t kRelativeTransferSize = 5;  // E8/E9 + rel32
constexpr int32_t kStubDisplacement = 10;    // site + 5 + 10 = the stub place
constexpr size_t kAbsoluteJumpSize = 12;     // mov rax, imm64; jmp rax

// The 17 bytes at the dialogue site: mov ecx,[r14]; lea r8,[rsp+0xB0]; mov r9d,1024.
constexpr uint8_t kDialogueSiteBytes[] = {
    0x41, 0x8B, 0x0E,                                // mov ecx, dword ptr [r14]
    0x4C, 0x8D, 0x84, 0x24, 0xB0, 0x00, 0x00, 0x00,  // lea r8, [rsp + 0xB0]
    0x41, 0xB9, 0x00, 0x04, 0x00, 0x00,              // mov r9d, 1024
};
static_assert(sizeof(kDialogueSiteBytes) == host::kDialogueResume - host::kDialoguePatchSite);
constexpr size_t kDialogueWriteSize = 16;  // the stub and 4 no-ops; the 17th byte stays

constexpr DWORD kReadableProtections = PAGE_READONLY | PAGE_READWRITE | PAGE_WRITECOPY |
                                       PAGE_EXECUTE_READ | PAGE_EXECUTE_READWRITE |
                                       PAGE_EXECUTE_WRITECOPY;

uint8_t* At(uintptr_t address) { return reinterpret_cast<uint8_t*>(address); }

// True when every page of [address, address + size) is committed and readable.
bool IsMappedReadable(uintptr_t address, size_t size) {
  uintptr_t cursor = address;
  const uintptr_t end = address + size;
  while (cursor < end) {
    MEMORY_BASIC_INFORMATION info;
    if (VirtualQuery(At(cursor), &info, sizeof info) != sizeof info) return false;
    if (info.State != MEM_COMMIT || (info.Protect & PAGE_GUARD) != 0 ||
        (info.Protect & kReadableProtections) == 0) {
      return false;
    }
    cursor = reinterpret_cast<uintptr_t>(info.BaseAddress) + info.RegionSize;
  }
  return true;
}

// A 5-byte relative call or jump at `site` whose target is `target`.
bool IsRelativeTransferTo(uintptr_t site, uintptr_t target) {
  const uint8_t opcode = At(site)[0];
  if (opcode != 0xE8 && opcode != 0xE9) return false;
  int32_t displacement;
  std::memcpy(&displacement, At(site + 1), sizeof displacement);
  return site + kRelativeTransferSize + static_cast<intptr_t>(displacement) == target;
}

// Writes `size` bytes with the range made writable for the write only, then gives the range
// back the protection it had and flushes the instruction cache for it.
bool WriteCode(uintptr_t address, const void* bytes, size_t size) {
  DWORD previous = 0;
  if (!VirtualProtect(At(address), size, PAGE_EXECUTE_READWRITE, &previous)) return false;
  std::memcpy(At(address), bytes, size);
  DWORD ignored = 0;
  VirtualProtect(At(address), size, previous, &ignored);
  FlushInstructionCache(GetCurrentProcess(), At(address), size);
  return true;
}

// mov rax, routine; jmp rax; then no-ops up to `size` bytes.
void BuildAbsoluteJumpStub(void (*routine)(), uint8_t* out, size_t size) {
  const uint64_t address = reinterpret_cast<uint64_t>(routine);
  out[0] = 0x48;
  out[1] = 0xB8;
  std::memcpy(out + 2, &address, sizeof address);
  out[10] = 0xFF;
  out[11] = 0xE0;
  std::memset(out + kAbsoluteJumpSize, 0x90, size - kAbsoluteJumpSize);
}

// Glyph and subtitle sites: the stub goes into the place 15 bytes on, then the site's
// displacement is pointed at it. The stub is written first, so the site never leads to a
// half-written place.
bool PatchCallSite(uintptr_t site, uintptr_t stubPlace, void (*routine)()) {
  constexpr size_t kStubSize = 14;  // stub and 2 no-ops
  if (!IsMappedReadable(site, kRelativeTransferSize) || !IsMappedReadable(stubPlace, kStubSize)) return false;
  if (!IsRelativeTransferTo(site, host::kHostContinue)) return false;
  uint8_t stub[kStubSize];
  BuildAbsoluteJumpStub(routine, stub, kStubSize);
  if (!WriteCode(stubPlace, stub, kStubSize)) return false;
  return WriteCode(site + 1, &kStubDisplacement, sizeof kStubDisplacement);
}

bool PatchDialogueSite() {
  const uintptr_t site = host::kDialoguePatchSite;
  if (!IsMappedReadable(site, sizeof kDialogueSiteBytes)) return false;
  if (std::memcmp(At(site), kDialogueSiteBytes, sizeof kDialogueSiteBytes) != 0) return false;
  uint8_t stub[kDialogueWriteSize];
  BuildAbsoluteJumpStub(&DialogueTrampoline, stub, kDialogueWriteSize);
  return WriteCode(site, stub, kDialogueWriteSize);
}

// The host now jumps into this module's code: it must stay mapped for the life of the process.
void PinModule() {
  HMODULE self = nullptr;
  GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                     reinterpret_cast<LPCSTR>(&InstallHostPatches), &self);
}

}  // namespace

PatchReport InstallHostPatches() noexcept {
  PatchReport report;
  report.glyph = PatchCallSite(host::kGlyphPatchSite, host::kGlyphStubPlace, &GlyphHook);
  report.subtitle = PatchCallSite(host::kSubtitlePatchSite, host::kSubtitleStubPlace, &SubtitleHook);
  report.dialogue = PatchDialogueSite();
  if (report.glyph || report.subtitle || report.dialogue) PinModule();
  return report;
}

}  // namespace vykcn
