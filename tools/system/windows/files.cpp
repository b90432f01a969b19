#include "system/files.h"

#include <windows.h>

#include <algorithm>
#include <memory>

#include "system/windows/wide_text.h"

namespace vykcn::tool::system {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

struct Handle {  // closes on scope exit
  HANDLE handle;
  ~Handle() {
    if (handle != INVALID_HANDLE_VALUE) CloseHandle(handle);
  }
};

// A translator may have the file open in an editor: reading shares it with every other program.
HANDLE OpenToRead(const std::string& path, DWORD flags) {
  return CreateFileW(Widen(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING, flags, nullptr);
}

}  // namespace

FileInfo LookAt(const std::string& path) {
  FileInfo info;
  // No access asked: enough to learn what the name is, even of a file others hold open.
  Handle file{CreateFileW(Widen(path).c_str(), 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                          nullptr)};
  if (file.handle == INVALID_HANDLE_VALUE) {
    info.reason = LastErrorPhrase();
    return info;
  }
  BY_HANDLE_FILE_INFORMATION details;
  if (GetFileType(file.handle) != FILE_TYPE_DISK || !GetFileInformationByHandle(file.handle, &details)) {
    info.kind = FileKind::kOther;  // a device (NUL, CON), a pipe
    return info;
  }
  info.kind = (details.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0 ? FileKind::kDirectory : FileKind::kRegular;
  info.volume = details.dwVolumeSerialNumber;
  info.index = (uint64_t(details.nFileIndexHigh) << 32) | details.nFileIndexLow;
  info.size = (uint64_t(details.nFileSizeHigh) << 32) | details.nFileSizeLow;
  info.modified = static_cast<int64_t>((uint64_t(details.ftLastWriteTime.dwHighDateTime) << 32) |
                                       details.ftLastWriteTime.dwLowDateTime);
  return info;
}

bool CanRead(const std::string& path, std::string* reason) {
  Handle file{OpenToRead(path, FILE_FLAG_BACKUP_SEMANTICS)};
  if (file.handle != INVALID_HANDLE_VALUE) return true;
  *reason = LastErrorPhrase();
  return false;
}

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* reason) {
  if (LookAt(path).kind == FileKind::kDirectory) {
    *reason = "Is a directory";
    return false;
  }
  Handle file{OpenToRead(path, FILE_ATTRIBUTE_NORMAL)};
  if (file.handle == INVALID_HANDLE_VALUE) {
    *reason = LastErrorPhrase();
    return false;
  }
  bytes->clear();
  LARGE_INTEGER size;
  if (GetFileSizeEx(file.handle, &size)) bytes->reserve(static_cast<size_t>(size.QuadPart));
  std::unique_ptr<uint8_t[]> buffer(new uint8_t[65536]);
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.handle, buffer.get(), 65536, &n, nullptr)) {
      if (GetLastError() == ERROR_BROKEN_PIPE) return true;  // a pipe's writer is done
      *reason = LastErrorPhrase();
      return false;
    }
    if (n == 0) return true;
    bytes->insert(bytes->end(), buffer.get(), buffer.get() + n);
  }
}

bool ReplaceFiles(const std::vector<std::pair<std::string, const std::vector<uint8_t>*>>& files, size_t* failed,
                  std::string* reason) {
  std::vector<std::wstring> temporaries;
  const auto fail = [&](size_t index, const std::string& why) {
    for (const std::wstring& temporary : temporaries) DeleteFileW(temporary.c_str());
    *failed = index;
    *reason = why;
    return false;
  };
  static unsigned counter = 0;
  for (size_t i = 0; i < files.size(); ++i) {
    // A name of our own beside the target (so that the move stays on one volume), never one that exists.
    HANDLE file = INVALID_HANDLE_VALUE;
    std::wstring temporary;
    for (int attempt = 0; attempt < 100 && file == INVALID_HANDLE_VALUE; ++attempt) {
      temporary = Widen(files[i].first) + L"." + std::to_wstring(GetCurrentProcessId()) + L"-" +
                  std::to_wstring(++counter) + L".tmp";
      file = CreateFileW(temporary.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr);
      if (file == INVALID_HANDLE_VALUE && GetLastError() != ERROR_FILE_EXISTS) return fail(i, LastErrorPhrase());
    }
    if (file == INVALID_HANDLE_VALUE) return fail(i, LastErrorPhrase());
    temporaries.push_back(temporary);
    Handle closer{file};
    const std::vector<uint8_t>& bytes = *files[i].second;
    for (size_t written = 0; written < bytes.size();) {
      const DWORD chunk = static_cast<DWORD>(std::min<size_t>(bytes.size() - written, 1u << 24));
      DWORD n = 0;
      if (!WriteFile(file, bytes.data() + written, chunk, &n, nullptr) || n == 0) {
        return fail(i, n == 0 && GetLastError() == ERROR_SUCCESS ? "nothing written" : LastErrorPhrase());
      }
      written += n;
    }
    closer.handle = INVALID_HANDLE_VALUE;
    if (!CloseHandle(file)) return fail(i, LastErrorPhrase());
  }
  for (size_t i = 0; i < files.size(); ++i) {
    if (!MoveFileExW(temporaries[i].c_str(), Widen(files[i].first).c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      const std::string why = LastErrorPhrase();
      temporaries.erase(temporaries.begin(), temporaries.begin() + static_cast<std::ptrdiff_t>(i));
      return fail(i, why);
    }
  }
  return true;
}

bool MakeFolder(const std::string& path, std::string* reason) {
  if (CreateDirectoryW(Widen(path).c_str(), nullptr)) return true;
  const DWORD error = GetLastError();
  if (error == ERROR_ALREADY_EXISTS && LookAt(path).kind == FileKind::kDirectory) return true;
  *reason = error == ERROR_ALREADY_EXISTS ? "File exists" : ErrorPhrase(error);
  return false;
}

bool ListFolder(const std::string& folder, std::vector<FolderEntry>* entries, std::string* reason) {
  WIN32_FIND_DATAW found;
  HANDLE search = FindFirstFileW(Widen(JoinPath(folder, "*")).c_str(), &found);
  if (search == INVALID_HANDLE_VALUE) {
    *reason = LastErrorPhrase();
    return false;
  }
  entries->clear();
  do {
    const std::string name = Narrow(found.cFileName, wcslen(found.cFileName));
    if (name == "." || name == "..") continue;
    entries->push_back({name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0});
  } while (FindNextFileW(search, &found));
  const DWORD error = GetLastError();
  FindClose(search);
  if (error != ERROR_NO_MORE_FILES) {
    *reason = ErrorPhrase(error);
    return false;
  }
  return true;
}

std::string JoinPath(const std::string& folder, const std::string& name) {
  if (folder.empty()) return name;
  const char last = folder.back();
  return last == '\\' || last == '/' || last == ':' ? folder + name : folder + "\\" + name;
}

std::string PlaceOfNewFile(const std::string& path) {
  const std::wstring wide = Widen(path);
  const DWORD size = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (size == 0) return path;
  std::wstring full(size, L'\0');
  const DWORD length = GetFullPathNameW(wide.c_str(), size, full.data(), nullptr);
  full.resize(length);
  // Windows' file names are compared without regard to case.
  CharUpperBuffW(full.data(), static_cast<DWORD>(full.size()));
  return Narrow(full);
}

std::string ThisProgram() {
  std::wstring name(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = GetModuleFileNameW(nullptr, name.data(), static_cast<DWORD>(name.size()));
    if (length < name.size()) return Narrow(name.data(), length);
    name.resize(name.size() * 2);
  }
}

std::string ThisProgramsFolder() {
  const std::string program = ThisProgram();
  return program.substr(0, program.find_last_of('\\'));
}

}  // namespace vykcn::tool::system
