#pragma once
// Translators' files read, and their entries checked alone, for several sets at once (diff's two
// sides) or one set again and again (watch): a file whose bytes are those of a file read before is
// neither parsed nor checked again, and one read before under the same name is shared, not copied.
#include <memory>
#include <string>
#include <vector>

#include "translation_set/translation_set.h"

namespace vykcn::tool {

class FileCheckCache {
 public:
  FileCheckCache() = default;
  FileCheckCache(const FileCheckCache&) = delete;
  FileCheckCache& operator=(const FileCheckCache&) = delete;

  // The file read and its entries checked, or taken from a file of the same bytes read before
  // (under another name: a copy that names this one). Throws CommandError when it cannot be read.
  std::shared_ptr<const ReadFile> Get(const std::string& path, int fileIndex, EntryCheck check);

  // Forgets the files that no set took since the last call: a set checked after each edit keeps
  // its files' latest versions alone.
  void ForgetUntaken();

 private:
  struct Read {
    std::vector<uint8_t> bytes;
    std::shared_ptr<const ReadFile> file;
    bool taken = false;  // since the last ForgetUntaken
  };
  std::vector<Read> read_;
};

// Reads the file and checks its entries alone. Throws CommandError when it cannot be read.
std::shared_ptr<const ReadFile> ReadAndCheckFile(const std::string& path, int fileIndex, EntryCheck check);

}  // namespace vykcn::tool
