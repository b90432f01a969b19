#include "system/catalogue_reading.h"

#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "system/windows/wide_text.h"

namespace vykcn::tool::system {
namespace {

// Gives the standard input back as it was, also when reading ends in an exception.
struct StandardInputBack {
  int saved;
  ~StandardInputBack() {
    std::fflush(stdin);
    if (saved >= 0) {
      _dup2(saved, 0);
      _close(saved);
    } else {
      _close(0);
    }
    std::clearerr(stdin);
  }
};

}  // namespace

bool WithCatalogueBytes(const std::vector<uint8_t>& bytes, const std::function<void(const char* name)>& read,
                        std::string* reason) {
  // The C runtime opens only names of the ANSI code page, and libgettextpo opens in text mode: the
  // library reads "-", the standard input, bound here to a temporary file of the very bytes.
  wchar_t folder[MAX_PATH + 1], name[MAX_PATH + 1];
  if (GetTempPathW(MAX_PATH + 1, folder) == 0 || GetTempFileNameW(folder, L"vyk", 0, name) == 0) {
    *reason = LastErrorPhrase();
    return false;
  }
  HANDLE file = CreateFileW(name, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                            FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
  if (file == INVALID_HANDLE_VALUE) {
    *reason = LastErrorPhrase();
    DeleteFileW(name);
    return false;
  }
  for (size_t written = 0; written < bytes.size();) {
    DWORD n = 0;
    const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 24));
    if (!WriteFile(file, bytes.data() + written, chunk, &n, nullptr) || n == 0) {
      *reason = LastErrorPhrase();
      CloseHandle(file);
      return false;
    }
    written += n;
  }
  SetFilePointer(file, 0, nullptr, FILE_BEGIN);
  const int fd = _open_osfhandle(reinterpret_cast<intptr_t>(file), _O_RDONLY | _O_BINARY);
  if (fd < 0) {
    *reason = "cannot open a temporary file";
    CloseHandle(file);
    return false;
  }
  const int saved = _dup(0);  // -1 when the process has no standard input
  std::fflush(stdin);         // nothing read before may come out of the stream's buffer
  const bool bound = _dup2(fd, 0) == 0;
  _close(fd);  // the standard input holds its own handle to the file, which goes when it is closed
  if (!bound) {
    *reason = "cannot read the catalogue through the standard input";
    if (saved >= 0) _close(saved);
    return false;
  }
  const StandardInputBack back{saved};
  _setmode(0, _O_BINARY);
  std::clearerr(stdin);
  read("-");
  return true;
}

bool SetProcessVariable(const char* name, const char* value) {
  return _putenv_s(name, value) == 0;  // an empty value removes the variable
}

}  // namespace vykcn::tool::system
