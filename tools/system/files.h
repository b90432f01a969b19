#pragma once
// The file system as the toolkit uses it, one implementation per platform (posix/, windows/).
// Paths are UTF-8 on every platform. A failure comes back as the system's reason, a short phrase
// such as "No such file or directory", for the caller to put into its own message.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vykcn::tool::system {

enum class FileKind { kMissing, kRegular, kDirectory, kOther };

struct FileInfo {
  FileKind kind = FileKind::kMissing;
  std::string reason;  // kMissing: why the path could not be looked at
  // Two names of one file (a link, another spelling) give the same pair.
  uint64_t volume = 0;
  uint64_t index = 0;
  // A regular file's size and last write, in the platform's own units: equal values for an unchanged
  // file, for telling a change without reading it.
  uint64_t size = 0;
  int64_t modified = 0;

  bool SameFileAs(const FileInfo& other) const { return volume == other.volume && index == other.index; }
};

// What the path names, following links.
FileInfo LookAt(const std::string& path);

// Whether this process may open the path for reading.
bool CanRead(const std::string& path, std::string* reason);

bool ReadWholeFile(const std::string& path, std::vector<uint8_t>* bytes, std::string* reason);

// Writes each file under a temporary name of its own beside its target, then, when all are
// written, moves them into place one by one, replacing what was there. On failure the temporary
// files are removed, *failed is the index of the file that failed and false is returned; files
// moved before it stay in place.
bool ReplaceFiles(const std::vector<std::pair<std::string, const std::vector<uint8_t>*>>& files, size_t* failed,
                  std::string* reason);

// Makes the folder, in a folder that exists; true, changing nothing, when it is there already.
bool MakeFolder(const std::string& path, std::string* reason);

struct FolderEntry {
  std::string name;
  bool folder = false;
};

// The folder's entries but "." and "..", in no particular order.
bool ListFolder(const std::string& folder, std::vector<FolderEntry>* entries, std::string* reason);

// The path of `name` inside `folder`, with the platform's separator.
std::string JoinPath(const std::string& folder, const std::string& name);

// A name for the file that writing to `path` would create, equal for two spellings of one place
// (relative or absolute, and on Windows in either case), to tell two outputs apart before either exists.
std::string PlaceOfNewFile(const std::string& path);

// The running program's own file.
std::string ThisProgram();

// The folder that holds the running program's file, as an absolute path.
std::string ThisProgramsFolder();

}  // namespace vykcn::tool::system
