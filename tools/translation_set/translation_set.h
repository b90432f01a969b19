#pragma once
// The set of translations a build makes from translators' files, built in one step of three
// stages: every file read (each entry checked alone as it is read, so that an entry with an error
// of its own is left out), the precedence applied (one record per hash; with --later-wins a later
// file's translation of a host text replaces an earlier one), and the translation image the module
// will carry written. The checks over a whole set (tools/checks) are passes over what it built.
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "common/problem.h"
#include "text_sources/text_entry.h"

namespace vykcn::tool {

class FileCheckCache;

// The check of one entry alone: adds its findings; false when it has an error, and so cannot be used.
using EntryCheck = bool (*)(const TextEntry& entry, int fileIndex, std::vector<Problem>* findings);

// One translators' file read, and its entries checked alone.
struct ReadFile {
  SourceFile source;
  std::vector<Problem> findings;  // the reader's problems, then the entries' own, in file order
  std::vector<bool> passed;       // per entry: usable, and free of errors of its own
};

// What became of each entry of a file: each is counted once, in the first of these that holds
// it, so that they add up to `entries`.
struct FileSummary {
  std::string path;
  size_t entries = 0;       // messages and rows, obsolete and unreadable ones included
  size_t records = 0;       // translated entries that are a record of the image
  size_t repeats = 0;       // translated entries that repeat a record (the same text, or its hash, with its translation)
  size_t overridden = 0;    // translated entries that a later file's translation replaced (--later-wins)
  size_t withErrors = 0;    // translated entries left out for an error of theirs, or another translation of their text
  size_t sharingHash = 0;   // translated entries left out: another text's record has their hash
  size_t fuzzy = 0;
  size_t untranslated = 0;
  size_t obsolete = 0;
  size_t unreadable = 0;    // messages or rows that the reader left out for an error at their line
  size_t used() const { return records + repeats; }  // what reaches the image
};

// An entry of the set, and the position of its file among those given (the lists of host texts
// follow the translators' files).
struct SetEntry {
  const TextEntry* entry;
  int fileIndex;
};

// An entry that came after another translation of its host text: with --later-wins, from a later
// file, it replaced that translation; otherwise it was left out.
struct PrecedenceDecision {
  SetEntry later;
  const TextEntry* earlier;
  bool overrides;
};

struct SetInputs {
  std::vector<std::string> files;          // translators' files, in the order given
  std::vector<std::string> hostTextFiles;  // lists of the game's host texts (translated or not)
  bool laterWins = false;
  EntryCheck checkEntry = nullptr;         // decides which entries may be used
};

struct TranslationSet {
  // Read: each translators' file that could be read, in the order given, with the position of each
  // among those given, and what became of its entries; the lists of host texts.
  std::vector<std::shared_ptr<const ReadFile>> files;
  std::vector<int> fileIndices;
  std::vector<FileSummary> summaries;
  std::vector<SourceFile> hostLists;
  // What reading found, in the order of the files, then of the lists: a file that cannot be read
  // (one error), or its reader's problems and its entries' own findings.
  std::vector<Problem> findings;
  std::vector<SetEntry> listed;  // every host text the set lists: the files' entries, then the lists'

  // The precedence: the entries that make or repeat a record, in input order; what it decided
  // against the others; and, for each host text that has a translation, the entry whose
  // translation it should show.
  std::vector<SetEntry> kept;
  std::vector<PrecedenceDecision> decisions;
  std::unordered_map<std::string_view, const TextEntry*> wanted;

  // The image: empty when nothing is kept; for each record, in image order, the kept entry that made it.
  std::vector<uint8_t> image;
  std::vector<size_t> recordEntries;
  size_t records() const { return recordEntries.size(); }

  // Gives a kept entry another translation, before the image is written (wrapping): the set's own
  // copy of the entry holds it, and the file's entry stays as read.
  void Rewrite(size_t keptIndex, std::string translation);

  std::vector<std::unique_ptr<TextEntry>> rewritten;  // the copies Rewrite made
};

// Runs between the precedence and the image: what may rewrite the kept translations (Rewrite).
using BeforeImage = std::function<void(TranslationSet* set)>;

// Reads the files (a file that cannot be read is one error; a file's syntax errors are each one,
// and its other entries are still read and checked), applies the precedence, and writes the image.
// With a cache, the files it holds are taken from it, and those read are added.
TranslationSet BuildTranslationSet(const SetInputs& inputs, FileCheckCache* cache = nullptr,
                                   const BeforeImage& beforeImage = nullptr);

}  // namespace vykcn::tool
