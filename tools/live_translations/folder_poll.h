#pragma once
// A folder of translators' files looked at again and again (watch): which files were added, removed
// or changed since the last look. A file's size and last write tell that it may have changed; its
// bytes, compared with those last seen, that it did. Nothing but the file system's own answers is
// used, so that a network or shared folder, which sends no notices of changes, works the same.
#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace vykcn::tool {

struct FolderChanges {
  std::vector<std::string> added, changed, removed;  // paths, each list in the set's order
  std::string problem;  // the folder could not be read, or holds no translators' file: nothing else is said
  bool any() const { return !added.empty() || !changed.empty() || !removed.empty() || !problem.empty(); }
};

class FolderPoll {
 public:
  explicit FolderPoll(std::string folder) : folder_(std::move(folder)) {}

  // Looks at the folder. The first look finds every file added. A folder that cannot be read is a
  // problem once, until it can be read again; the files seen before it count as still there.
  FolderChanges Look();

  // The files seen at the last look that found no problem, in the set's order.
  std::vector<std::string> Paths() const;

 private:
  struct Seen {
    std::string path;
    uint64_t size = 0;
    int64_t modified = 0;
    bool read = false;           // the bytes below are the file's (false: it could not be read)
    std::vector<uint8_t> bytes;
    int looksToTrust = 0;        // looks left before an unchanged size and time are trusted
  };
  // Whether the file's bytes differ from those seen (a file that cannot be read differs from one
  // that could, and is read again at each look).
  static bool ReadAgain(Seen* seen);

  std::string folder_;
  std::vector<Seen> seen_;
  std::string lastProblem_;
};

}  // namespace vykcn::tool
