#pragma once
// Translators' files read, and their entries checked alone, for several sets at once (diff's two
// sides) or one set again and again (watch): a file whose bytes are those of a file read before is
// neither parsed nor checked again, and one read before under the same name is shared, not copied.
#include <exception>
#include <memory>
#include <string>
#include <vector>

#include "translation_set/translation_set.h"

namespace vykcn::tool {

// One file of a set as read: the file, or why it could not be read (a CommandError to rethrow).
struct FileReading {
  std::shared_ptr<const ReadFile> file;
  std::exception_ptr failure;
};

class FileCheckCache {
 public:
  FileCheckCache() = default;
  FileCheckCache(const FileCheckCache&) = delete;
  FileCheckCache& operator=(const FileCheckCache&) = delete;

  // Each file read and its entries checked (the file given `fileIndices[i]`-th), or taken from a
  // file of the same bytes read before (under another name: a copy that names this one).
  std::vector<FileReading> GetAll(const std::vector<std::string>& paths, const std::vector<int>& fileIndices,
                                  EntryCheck check);

  // Forgets the files that no set took since the last call: a set checked after each edit keeps
  // its files' latest versions alone.
  void ForgetUntaken();

 private:
  struct Read {
    std::vector<uint8_t> bytes;
    std::shared_ptr<const ReadFile> file;
    bool taken = false;  // since the last ForgetUntaken
  };
  std::shared_ptr<const ReadFile> Find(const std::string& path, const std::vector<uint8_t>& bytes, int fileIndex);
  std::vector<Read> read_;
};

// Reads the files and checks their entries alone, several at once: the readers take one file at a
// time, and the checks of one file's entries run while the next is read.
std::vector<FileReading> ReadAndCheckFiles(const std::vector<std::string>& paths, const std::vector<int>& fileIndices,
                                           EntryCheck check);

}  // namespace vykcn::tool
