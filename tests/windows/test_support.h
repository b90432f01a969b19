#pragma once
// Helpers shared by the Windows tests: fixture paths and message-box capture.
#include <windows.h>

#include <string>
#include <vector>

namespace vykcn::test {

// Folder of the running test executable, with a trailing backslash.
std::string ExeDirectory();

// Loads a DLL from a path relative to the test executable's folder; fails the test if it cannot.
HMODULE LoadRelative(const std::string& relativePath);

// The import address table slot through which `module` calls `dll`!`function`, or null.
void** FindImportSlot(HMODULE module, const char* dll, const char* function);
// Writes one pointer into memory that may be read-only, keeping its protection.
void WriteProtected(void** slot, void* value);

struct MessageBoxCall {
  std::string text;
  std::string caption;
  UINT type;
};

// Redirects `module`'s import of user32!MessageBoxA to a recorder for its lifetime, so that
// message boxes are observed without being shown.
class MessageBoxRecorder {
 public:
  explicit MessageBoxRecorder(HMODULE module = GetModuleHandleA(nullptr));
  ~MessageBoxRecorder();
  MessageBoxRecorder(const MessageBoxRecorder&) = delete;
  MessageBoxRecorder& operator=(const MessageBoxRecorder&) = delete;

  const std::vector<MessageBoxCall>& calls() const;
  void clear();

 private:
  void** slot_ = nullptr;
  void* original_ = nullptr;
};

}  // namespace vykcn::test
