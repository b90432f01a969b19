#pragma once
// watch's work, one look at a time: the set kept in memory, each change under the folder checked as
// pack-text checks it (the changed files read and checked again, the rest taken as they were, then
// the whole set's conflicts, fallbacks and glyphs), and a set without errors stored into the game's
// vykcn-live/translations.bin. One line a change on `out`; the errors on `err`.
#include <cstdio>
#include <string>
#include <vector>

#include "checks/translation_checks.h"
#include "live_translations/folder_poll.h"
#include "live_translations/live_output.h"
#include "module_reading/translation_records.h"

namespace vykcn::tool {

class WatchSession {
 public:
  WatchSession(const std::string& folder, const std::string& gameFolder, CheckOptions options, std::FILE* out,
               std::FILE* err);

  // Looks at the folder once: true when something changed (and a line says what came of it). A
  // resource whose write was refused before is tried again first.
  bool Look();

  // A checked set is waiting for its file to be written.
  bool WritePending() const { return !pending_.empty(); }

 private:
  // "a.po", "a.po, b.po (new)", "c.po (removed)": the files of a change.
  static std::string ChangedFiles(const FolderChanges& changes);
  void CheckAndWrite(const std::string& files);
  void Write(const std::string& line);

  std::string folder_;
  CheckOptions options_;
  std::FILE* out_;
  std::FILE* err_;
  FolderPoll poll_;
  FileCheckCache cache_;
  LiveOutput output_;
  bool looked_ = false;                    // the first look, which names the folder, is done
  bool written_ = false;                   // a good set was written in this run
  std::vector<uint8_t> image_;             // the image of the last good set
  std::vector<uint8_t> pending_;           // a resource whose write was refused
};

}  // namespace vykcn::tool
