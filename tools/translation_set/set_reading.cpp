#include "common/command_error.h"
#include "text_sources/text_sources.h"
#include "translation_set/file_check_cache.h"
#include "translation_set/set_stages.h"

namespace vykcn::tool {

std::vector<Candidate> ReadSetFiles(const SetInputs& inputs, FileCheckCache* cache, TranslationSet* set) {
  std::vector<int> indices(inputs.files.size());
  for (size_t i = 0; i < indices.size(); ++i) indices[i] = static_cast<int>(i);
  std::vector<FileReading> readings = cache != nullptr ? cache->GetAll(inputs.files, indices, inputs.checkEntry)
                                                       : ReadAndCheckFiles(inputs.files, indices, inputs.checkEntry);
  for (size_t i = 0; i < readings.size(); ++i) {
    const int index = indices[i];
    try {
      if (readings[i].failure) std::rethrow_exception(readings[i].failure);
      set->files.push_back(std::move(readings[i].file));
      set->fileIndices.push_back(index);
    } catch (const CommandError& e) {
      set->findings.push_back(e.FoundIn(index, inputs.files[i]));
      continue;
    }
    // A file taken from the cache may have been read at another position.
    for (Problem finding : set->files.back()->findings) {
      finding.fileIndex = index;
      set->findings.push_back(std::move(finding));
    }
  }
  std::vector<int> listIndices;
  for (size_t i = 0; i < inputs.hostTextFiles.size(); ++i) {
    const int index = static_cast<int>(inputs.files.size() + i);
    try {
      set->hostLists.push_back(ReadHostTextFile(inputs.hostTextFiles[i]));
      listIndices.push_back(index);
    } catch (const CommandError& e) {
      set->findings.push_back(e.FoundIn(index, inputs.hostTextFiles[i]));
      continue;
    }
    for (Problem problem : set->hostLists.back().problems) {
      problem.fileIndex = index;
      set->findings.push_back(std::move(problem));
    }
  }

  std::vector<Candidate> candidates;
  size_t listedCount = 0;
  for (const std::shared_ptr<const ReadFile>& file : set->files) listedCount += file->source.entries.size();
  for (const SourceFile& list : set->hostLists) listedCount += list.entries.size();
  set->listed.reserve(listedCount);
  candidates.reserve(listedCount);
  set->summaries.resize(set->files.size());
  for (size_t f = 0; f < set->files.size(); ++f) {
    const ReadFile& file = *set->files[f];
    const SourceFile& source = file.source;
    const int index = set->fileIndices[f];
    FileSummary& summary = set->summaries[f];
    summary.path = source.path;
    summary.obsolete = source.obsolete;
    summary.unreadable = source.unreadable;
    summary.entries = source.entries.size() + source.obsolete + source.unreadable;
    for (size_t e = 0; e < source.entries.size(); ++e) {
      const TextEntry& entry = source.entries[e];
      set->listed.push_back({&entry, index});
      if (entry.translation.empty()) ++summary.untranslated;
      else if (entry.fuzzy) ++summary.fuzzy;
      if (!entry.usable) continue;
      if (file.passed[e]) candidates.push_back({{&entry, index}, 0, f});
      else ++summary.withErrors;
    }
  }
  for (size_t l = 0; l < set->hostLists.size(); ++l) {
    for (const TextEntry& entry : set->hostLists[l].entries) set->listed.push_back({&entry, listIndices[l]});
  }
  return candidates;
}

}  // namespace vykcn::tool
