#include "live_translations/folder_poll.h"

#include <unordered_map>
#include <utility>

#include "system/files.h"
#include "text_sources/translators_files.h"

namespace vykcn::tool {
namespace {

// A file system whose times are coarse (two seconds on FAT, a second on some shares) can write a
// file twice within one time with the same size: for this many looks after a change, the bytes
// are compared whatever the size and time say.
constexpr int kLooksBeforeTrustingTimes = 15;

}  // namespace

bool FolderPoll::ReadAgain(Seen* seen) {
  std::vector<uint8_t> bytes;
  std::string reason;
  const bool read = system::ReadWholeFile(seen->path, &bytes, &reason);
  const bool changed = read != seen->read || (read && bytes != seen->bytes);
  seen->read = read;
  seen->bytes = std::move(bytes);
  return changed;
}

FolderChanges FolderPoll::Look() {
  FolderChanges changes;
  std::vector<std::string> problems;
  std::vector<std::string> paths;
  const system::FileInfo folder = system::LookAt(folder_);
  if (folder.kind == system::FileKind::kDirectory) paths = TranslatorsFiles({folder_}, &problems);
  else problems.push_back("cannot read " + folder_ + ": " + (folder.reason.empty() ? "Not a directory" : folder.reason));
  if (!problems.empty()) {
    if (problems.front() != lastProblem_) changes.problem = problems.front();
    lastProblem_ = problems.front();
    return changes;
  }
  lastProblem_.clear();
  std::unordered_map<std::string, size_t> before;  // path -> index in seen_
  for (size_t i = 0; i < seen_.size(); ++i) before.emplace(seen_[i].path, i);
  std::vector<bool> kept(seen_.size(), false);
  std::vector<Seen> now;
  for (const std::string& path : paths) {
    const auto known = before.find(path);
    Seen seen;
    if (known != before.end()) {
      seen = std::move(seen_[known->second]);
      kept[known->second] = true;
    }
    seen.path = path;
    const system::FileInfo info = system::LookAt(path);
    const bool timesChanged = known == before.end() || info.size != seen.size || info.modified != seen.modified;
    seen.size = info.size;
    seen.modified = info.modified;
    if (timesChanged || !seen.read || seen.looksToTrust > 0) {
      const bool changed = ReadAgain(&seen);
      if (known == before.end()) changes.added.push_back(path);
      else if (changed) changes.changed.push_back(path);
      seen.looksToTrust = timesChanged || changed ? kLooksBeforeTrustingTimes : seen.looksToTrust - 1;
    }
    now.push_back(std::move(seen));
  }
  for (size_t i = 0; i < seen_.size(); ++i) {
    if (!kept[i]) changes.removed.push_back(seen_[i].path);
  }
  seen_ = std::move(now);
  return changes;
}

std::vector<std::string> FolderPoll::Paths() const {
  std::vector<std::string> paths;
  for (const Seen& seen : seen_) paths.push_back(seen.path);
  return paths;
}

}  // namespace vykcn::tool
