#include "test_support.h"

#include <gtest/gtest.h>

#include <cstring>

namespace vykcn::test {
namespace {

std::vector<MessageBoxCall> gCalls;

int WINAPI RecordMessageBox(HWND, LPCSTR text, LPCSTR caption, UINT type) {
  gCalls.push_back({text ? text : "", caption ? caption : "", type});
  return IDOK;
}

}  // namespace

void WriteProtected(void** slot, void* value) {
  DWORD old = 0;
  VirtualProtect(slot, sizeof(void*), PAGE_READWRITE, &old);
  *slot = value;
  VirtualProtect(slot, sizeof(void*), old, &old);
}

void** FindImportSlot(HMODULE module, const char* dll, const char* function) {
  auto* base = reinterpret_cast<BYTE*>(module);
  auto* dos = reinterpret_cast<IMAGE_DOS_HEADER*>(base);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + dos->e_lfanew);
  const IMAGE_DATA_DIRECTORY& dir = nt->OptionalHeader.DataDirectory[IMAGE_DIRECTORY_ENTRY_IMPORT];
  if (dir.VirtualAddress == 0) return nullptr;
  for (auto* desc = reinterpret_cast<IMAGE_IMPORT_DESCRIPTOR*>(base + dir.VirtualAddress);
       desc->Name != 0; ++desc) {
    if (_stricmp(reinterpret_cast<char*>(base + desc->Name), dll) != 0) continue;
    auto* names = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->OriginalFirstThunk);
    auto* slots = reinterpret_cast<IMAGE_THUNK_DATA*>(base + desc->FirstThunk);
    for (; names->u1.AddressOfData != 0; ++names, ++slots) {
      if (IMAGE_SNAP_BY_ORDINAL(names->u1.Ordinal)) continue;
      auto* byName = reinterpret_cast<IMAGE_IMPORT_BY_NAME*>(base + names->u1.AddressOfData);
      if (std::strcmp(reinterpret_cast<char*>(byName->Name), function) == 0) {
        return reinterpret_cast<void**>(&slots->u1.Function);
      }
    }
  }
  return nullptr;
}

std::string ExeDirectory() {
  char path[MAX_PATH];
  DWORD n = GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string s(path, n);
  return s.substr(0, s.find_last_of("\\/") + 1);
}

HMODULE LoadRelative(const std::string& relativePath) {
  std::string path = ExeDirectory() + relativePath;
  HMODULE module = LoadLibraryA(path.c_str());
  EXPECT_NE(module, nullptr) << "cannot load " << path << " (error " << GetLastError() << ")";
  return module;
}

MessageBoxRecorder::MessageBoxRecorder(HMODULE module) {
  gCalls.clear();
  slot_ = FindImportSlot(module, "user32.dll", "MessageBoxA");
  EXPECT_NE(slot_, nullptr) << "module does not import MessageBoxA";
  if (slot_ == nullptr) return;
  original_ = *slot_;
  WriteProtected(slot_, reinterpret_cast<void*>(&RecordMessageBox));
}

MessageBoxRecorder::~MessageBoxRecorder() {
  if (slot_ != nullptr) WriteProtected(slot_, original_);
}

const std::vector<MessageBoxCall>& MessageBoxRecorder::calls() const { return gCalls; }
void MessageBoxRecorder::clear() { gCalls.clear(); }

}  // namespace vykcn::test
