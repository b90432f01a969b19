#pragma once
// PO strings laid out over lines the way msgcat writes them.
#include <string>
#include <vector>

namespace vykcn::tool {

constexpr size_t kPoPageWidth = 79;  // gettext's default: no line reaches column 80

// The lines of `keyword "TEXT"` with TEXT escaped (po_escape.h). It stays on the keyword's line
// when it fits there and holds no line break but a final one; otherwise the keyword gets "" and
// the text follows on lines of its own: one after each \n, and longer ones broken where Unicode's
// line breaking allows (after spaces and hyphens, between ideographs, never inside an escape,
// before closing or after opening punctuation). Ideographs take two columns. A stretch without a
// break opportunity may run past the width, as in msgcat.
std::vector<std::string> PoStringLines(const std::string& keyword, const std::string& text);

}  // namespace vykcn::tool
