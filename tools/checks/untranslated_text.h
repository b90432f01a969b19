#pragma once
// Whether a translation reads as Chinese: a text left in English (or another Latin-script
// language, or turned into mojibake by a wrong charset) has Latin letters and no CJK character.
#include <string>

namespace vykcn::tool {

// True for a translation that has a Latin letter outside its placeholders and markup and no
// CJK character (ideographs, kana, hangul, CJK punctuation, full-width forms), unless it keeps a
// name of the host text alone ("Wesnoth" for "Battle for Wesnoth") or is an abbreviation in
// capitals ("HP" for "Hit points"), or is a value the game reads (a list with no blank beside its
// commas, "DejaVu Sans,Droid Sans Fallback"; a token such as "zh_CN"). Placeholders are those of
// text_syntax's table; strftime's directives (%A, %p) are no letters.
bool LooksUntranslated(const std::string& host, const std::string& translation);

// Whether a text has words to translate: a letter outside its placeholders, markup and strftime's
// directives ("[%H:%M]" reads the same in every language).
bool HasWordsToTranslate(const std::string& text);

}  // namespace vykcn::tool
