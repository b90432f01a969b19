#pragma once
// What is left to do in a set, as translators count it: the untranslated and fuzzy entries with
// their places, and msgfmt-style statistics per file and for the set.
#include <cstdio>
#include <string>

#include "checks/translation_checks.h"

namespace vykcn::tool {

enum class WorkList { kNone, kUntranslated, kFuzzy, kAll };

// "untranslated", "fuzzy" or "all"; false for anything else.
bool ParseWorkList(const std::string& text, WorkList* list);

// One line an entry, in file order: FILE:LINE: untranslated: "host text" (or fuzzy); then the
// texts of the --host-texts lists that the set does not translate.
void PrintWorkList(std::FILE* stream, const CheckedTranslations& checked, WorkList list);

// The distinct characters of the translations that the set builds from, tab and line feed aside.
size_t DistinctCharacters(const CheckedTranslations& checked);

// Per file and for the set: "N translated messages, N fuzzy translations, N untranslated
// messages." as msgfmt --statistics counts them, then the translations' distinct characters.
void PrintStatistics(std::FILE* stream, const CheckedTranslations& checked);

}  // namespace vykcn::tool
