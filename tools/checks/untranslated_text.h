#pragma once
// Whether a translation reads as Chinese: a text left in English (or another Latin-script
// language, or turned into mojibake by a wrong charset) has Latin letters and no CJK character.
#include <string>

namespace vykcn::tool {

// True for a translation that has a Latin letter outside its placeholders and markup and no
// CJK character (ideographs, kana, hangul, CJK punctuation, full-width forms), unless it keeps a
// name of the host text alone ("Wesnoth" for "Battle for Wesnoth") or is an abbreviation in
// capitals ("HP" for "Hit points"). Placeholders are those of text_syntax's table.
bool LooksUntranslated(const std::string& host, const std::string& translation);

}  // namespace vykcn::tool
