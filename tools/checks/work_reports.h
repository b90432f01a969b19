#pragma once
// What is left to do in a set, as translators count it: the untranslated and fuzzy entries with
// their places, what became of each entry, and msgfmt-style statistics per file and for the set.
#include <cstdio>
#include <string>
#include <vector>

#include "checks/translation_checks.h"

namespace vykcn::tool {

enum class WorkList { kNone, kUntranslated, kFuzzy, kAll };

// "untranslated", "fuzzy" or "all"; false for anything else.
bool ParseWorkList(const std::string& text, WorkList* list);

// One line an entry, in file order: FILE:LINE: untranslated: "host text" (or fuzzy); then the
// texts of the --host-texts lists that the set does not translate.
void PrintWorkList(std::FILE* stream, const CheckedTranslations& checked, WorkList list);

// What became of the entries beside the records, each counted once, every count that is not 0:
// "1 repeating a record, 1 overridden, 1 fuzzy, 2 untranslated". With the records, they add up
// to the entries, in check's line of each file and pack-text's "records: N from M entries (...)".
std::string EntriesBesideRecords(const FileSummary& summary);

// The files' counts, summed for the set.
FileSummary SummedFiles(const std::vector<FileSummary>& files);

// The distinct characters of the translations that the set builds from, tab and line feed aside.
size_t DistinctCharacters(const CheckedTranslations& checked);

// Per file and for the set: "N translated messages, N fuzzy translations, N untranslated
// messages." as msgfmt --statistics counts them, then the translations' distinct characters.
void PrintStatistics(std::FILE* stream, const CheckedTranslations& checked);

}  // namespace vykcn::tool
