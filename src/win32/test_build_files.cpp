#include "win32/test_build_files.h"

#include <cstdio>

namespace vykcn {
namespace {

constexpr DWORD kPathCapacity = 32768;  // the longest path Windows takes, in UTF-16 units

class Handle {
 public:
  explicit Handle(HANDLE handle) : handle_(handle) {}
  ~Handle() {
    if (valid()) CloseHandle(handle_);
  }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }
  HANDLE get() const { return handle_; }

 private:
  HANDLE handle_;
};

}  // namespace

std::wstring PathBesideHost(const char* relative) {
  std::wstring path(kPathCapacity, L'\0');
  const DWORD length = GetModuleFileNameW(nullptr, &path[0], kPathCapacity);
  if (length == 0 || length >= kPathCapacity) return {};
  size_t folder = length;
  while (folder > 0 && path[folder - 1] != L'\\' && path[folder - 1] != L'/') --folder;
  path.resize(folder);
  for (const char* c = relative; *c != '\0'; ++c) path += *c == '/' ? L'\\' : static_cast<wchar_t>(*c);
  return path;
}

bool FileVersion::operator==(const FileVersion& other) const {
  const BY_HANDLE_FILE_INFORMATION &a = info, &b = other.info;
  return a.dwVolumeSerialNumber == b.dwVolumeSerialNumber && a.nFileIndexHigh == b.nFileIndexHigh &&
         a.nFileIndexLow == b.nFileIndexLow && a.nFileSizeHigh == b.nFileSizeHigh &&
         a.nFileSizeLow == b.nFileSizeLow && CompareFileTime(&a.ftLastWriteTime, &b.ftLastWriteTime) == 0;
}

FileRead ReadFileIfChanged(const std::wstring& path, bool force, FileVersion* known, std::vector<uint8_t>* bytes,
                           DWORD* error) {
  Handle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                          nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    *error = GetLastError();
    return *error == ERROR_FILE_NOT_FOUND || *error == ERROR_PATH_NOT_FOUND ? FileRead::kMissing : FileRead::kFailed;
  }
  FileVersion version;
  if (!GetFileInformationByHandle(file.get(), &version.info)) {
    *error = GetLastError();
    return FileRead::kFailed;
  }
  if (!force && version == *known) return FileRead::kSame;
  const uint64_t size = (static_cast<uint64_t>(version.info.nFileSizeHigh) << 32) | version.info.nFileSizeLow;
  // A translation resource's size header is 32 bits: no file it describes is larger.
  if (size > UINT32_MAX) {
    *error = ERROR_FILE_TOO_LARGE;
    return FileRead::kFailed;
  }
  bytes->resize(static_cast<size_t>(size));
  DWORD read = 0;
  if (size != 0 && (!ReadFile(file.get(), bytes->data(), static_cast<DWORD>(size), &read, nullptr) || read != size)) {
    *error = read != size ? ERROR_HANDLE_EOF : GetLastError();
    return FileRead::kFailed;
  }
  // Written to meanwhile: what was read may be neither version.
  FileVersion after;
  if (!GetFileInformationByHandle(file.get(), &after.info) || !(after == version)) {
    *error = ERROR_SHARING_VIOLATION;
    return FileRead::kFailed;
  }
  *known = version;
  return FileRead::kRead;
}

bool WriteFileByRename(const std::wstring& path, const std::string& data) {
  const std::wstring temporary = path + L".tmp";
  bool written = false;
  {
    Handle file(CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return false;
    DWORD count = 0;
    written = data.empty() ||
              (WriteFile(file.get(), data.data(), static_cast<DWORD>(data.size()), &count, nullptr) && count == data.size());
  }
  if (written && MoveFileExW(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)) return true;
  DeleteFileW(temporary.c_str());
  return false;
}

std::string LocalTimeText() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  char text[32];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u", now.wYear, now.wMonth, now.wDay, now.wHour,
                now.wMinute, now.wSecond);
  return text;
}

}  // namespace vykcn
