#pragma once
// The test build's files beside the host executable (Windows): their paths, a file read again only
// when a new version of it is in place, and files written through a temporary file and a rename.
// Called by the build's own thread (and the library entry, before that thread starts): no hook
// touches a file.
#include <windows.h>

#include <cstdint>
#include <string>
#include <vector>

namespace vykcn {

// `relative` ('/' between its parts) in the host executable's folder; empty when the executable's
// path cannot be had.
std::wstring PathBesideHost(const char* relative);

// What tells one version of a file from the next: a file renamed over it has another file index,
// one written in place another time or size.
struct FileVersion {
  BY_HANDLE_FILE_INFORMATION info{};
  bool operator==(const FileVersion& other) const;
};

enum class FileRead {
  kMissing,  // no such file
  kSame,     // the version read before
  kRead,     // a new version, read whole
  kFailed,   // it could not be opened or read, or it changed while it was read
};

// Reads the file at `path` when its version is not *known, or with `force` in any case. It is
// opened so that a rename or a deletion over it never fails meanwhile (FILE_SHARE_DELETE, with
// reading and writing shared too). kRead sets *bytes and *known; kFailed sets *error (a Windows
// error code) and leaves *known, so that the next call tries again.
FileRead ReadFileIfChanged(const std::wstring& path, bool force, FileVersion* known, std::vector<uint8_t>* bytes,
                           DWORD* error);

// Writes `data` into `path` with ".tmp" appended, then renames that over `path`; on any failure it
// removes the temporary file, and `path` stays as it was.
bool WriteFileByRename(const std::wstring& path, const std::string& data);

// The local time, as "2025-01-31 14:05:09".
std::string LocalTimeText();

}  // namespace vykcn
