#include "translation_set/file_check_cache.h"

#include <algorithm>

#include "common/file_io.h"
#include "text_sources/text_sources.h"

namespace vykcn::tool {
namespace {

// The same file under another name and position: its entries and findings name `path`.
std::shared_ptr<const ReadFile> Renamed(const ReadFile& read, const std::string& path, int fileIndex) {
  auto file = std::make_shared<ReadFile>(read);
  const std::string before = file->source.path;
  file->source.path = path;
  for (TextEntry& entry : file->source.entries) entry.file = path;
  for (Problem& finding : file->findings) {
    finding.fileIndex = fileIndex;
    if (finding.file == before) finding.file = path;
  }
  return file;
}

}  // namespace

std::shared_ptr<const ReadFile> ReadAndCheckFile(const std::string& path, int fileIndex, EntryCheck check) {
  auto file = std::make_shared<ReadFile>();
  file->source = ReadTextSourceFile(path);
  for (Problem problem : file->source.problems) {
    problem.fileIndex = fileIndex;
    file->findings.push_back(std::move(problem));
  }
  file->passed.reserve(file->source.entries.size());
  for (const TextEntry& entry : file->source.entries) {
    file->passed.push_back(entry.usable && check(entry, fileIndex, &file->findings));
  }
  return file;
}

std::shared_ptr<const ReadFile> FileCheckCache::Get(const std::string& path, int fileIndex, EntryCheck check) {
  std::vector<uint8_t> bytes = ReadFileBytes(path);
  Read* sameBytes = nullptr;
  for (Read& earlier : read_) {
    if (earlier.bytes.size() != bytes.size() || earlier.bytes != bytes) continue;
    if (earlier.file->source.path == path) {
      earlier.taken = true;
      return earlier.file;
    }
    if (sameBytes == nullptr) sameBytes = &earlier;
  }
  std::shared_ptr<const ReadFile> file =
      sameBytes != nullptr ? Renamed(*sameBytes->file, path, fileIndex) : ReadAndCheckFile(path, fileIndex, check);
  read_.push_back({std::move(bytes), file, true});
  return file;
}

void FileCheckCache::ForgetUntaken() {
  read_.erase(std::remove_if(read_.begin(), read_.end(), [](const Read& file) { return !file.taken; }), read_.end());
  for (Read& file : read_) file.taken = false;
}

}  // namespace vykcn::tool
