#include "live_translations/watch_session.h"

#include <utility>

#include "common/command_error.h"
#include "common/translation_packing.h"
#include "lzx/encoder/compress.h"

namespace vykcn::tool {

WatchSession::WatchSession(const std::string& folder, const std::string& gameFolder, CheckOptions options,
                           std::FILE* out, std::FILE* err)
    : folder_(folder), options_(std::move(options)), out_(out), err_(err), poll_(folder), output_(gameFolder) {}

std::string WatchSession::ChangedFiles(const FolderChanges& changes) {
  std::string files;
  const auto add = [&files](const std::vector<std::string>& paths, const char* note) {
    for (const std::string& path : paths) files += (files.empty() ? "" : ", ") + path + note;
  };
  add(changes.changed, "");
  add(changes.added, " (new)");
  add(changes.removed, " (removed)");
  return files;
}

void WatchSession::Write(const std::string& line) {
  std::fprintf(out_, "%s\n", line.c_str());
  std::fflush(out_);
}

bool WatchSession::Look() {
  if (!pending_.empty()) {
    std::string reason;
    if (output_.TryWrite(pending_, &reason)) {
      pending_.clear();
      written_ = true;
      Write("wrote " + output_.path());
    }
  }
  const FolderChanges changes = poll_.Look();
  if (!changes.any()) return false;
  if (!changes.problem.empty()) {
    Write(changes.problem + (written_ ? "; kept the last good " + output_.path() : "; nothing written"));
    looked_ = true;
    return true;
  }
  CheckAndWrite(looked_ ? ChangedFiles(changes) : folder_);
  looked_ = true;
  return true;
}

void WatchSession::CheckAndWrite(const std::string& files) {
  CheckedTranslations checked;
  try {
    checked = CheckTranslations(poll_.Paths(), options_, &cache_);
  } catch (const CommandError& e) {
    checked.findings.push_back({-1, "", 0, Severity::kError, e.what()});
  }
  cache_.ForgetUntaken();
  const size_t errors = checked.errors();
  const std::string kept = written_ ? "kept the last good " + output_.path() : "nothing written";
  if (errors > 0) {
    for (const Problem& finding : checked.findings) {
      if (finding.severity == Severity::kError) std::fprintf(err_, "%s\n", FormatProblem(finding).c_str());
    }
    std::fflush(err_);
    Write(files + ": " + std::to_string(errors) + (errors == 1 ? " error" : " errors") + "; " + kept);
    return;
  }
  size_t records = 0;
  const RecordChanges changed = CompareImageRecords(image_, checked.set.image, &records);
  std::string line = files + ": records " + std::to_string(changed.added) + " added, " +
                     std::to_string(changed.changed) + " changed, " + std::to_string(changed.removed) + " removed (" +
                     std::to_string(records) + " in all)";
  if (written_ && changed.any() == 0 && pending_.empty()) {
    Write(line + "; nothing to write");
    return;
  }
  image_ = std::move(checked.set.image);
  pending_ = PackTranslationResource(image_, 0, kTranslationWindowSize, lzx::CompressionLevel::kStore);
  std::string reason;
  if (output_.TryWrite(pending_, &reason)) {
    pending_.clear();
    written_ = true;
    Write(line + "; wrote " + output_.path());
  } else {
    Write(line + "; " + reason + "; trying again");
  }
}

}  // namespace vykcn::tool
