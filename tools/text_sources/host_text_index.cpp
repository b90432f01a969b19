#include "text_sources/host_text_index.h"

#include "common/command_error.h"
#include "common/file_extension.h"
#include "text_sources/text_sources.h"
#include "translation/subtitle_hash.h"

namespace vykcn::tool {
namespace {

bool IsTranslatorsFile(const std::string& path) {
  const std::string extension = ExtensionInLowerCase(path);
  return extension == ".po" || extension == ".csv";
}

}  // namespace

std::vector<TextEntry> ReadSourceTexts(const std::vector<std::string>& files) {
  std::vector<TextEntry> all;
  for (const std::string& path : files) {
    const SourceFile file = IsTranslatorsFile(path) ? ReadTextSourceFile(path) : ReadHostTextFile(path);
    for (const Problem& problem : file.problems) {
      if (problem.severity == Severity::kError) throw CommandError(problem);
    }
    all.insert(all.end(), file.entries.begin(), file.entries.end());
  }
  return all;
}

HostTextIndex::HostTextIndex(std::vector<TextEntry> entries) : entries_(std::move(entries)) {
  for (size_t i = 0; i < entries_.size(); ++i) {
    const std::string& host = entries_[i].host;
    if (!host.empty()) byHash_[SubtitleHashBytes(host.data(), host.size())].push_back(i);
  }
}

const TextEntry* HostTextIndex::Find(uint32_t hash, const std::string& translation) const {
  const auto found = byHash_.find(hash);
  if (found == byHash_.end()) return nullptr;
  for (size_t i : found->second) {
    if (entries_[i].usable && entries_[i].translation == translation) return &entries_[i];
  }
  return &entries_[found->second.front()];
}

}  // namespace vykcn::tool
