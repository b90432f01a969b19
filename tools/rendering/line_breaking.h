#pragma once
// Breaking a translation into lines that fit a width in the host's pixels, by the common rules of
// Chinese layout: a line breaks between any two ideographs, never before a closing mark or after
// an opening one; "……" and "——" stay together; placeholders and markup (the table of
// text_syntax), and runs of ASCII that is not a space (numbers, words, "alt+s", links) stay whole.
#include <cstdint>
#include <string>

#include "rendering/host_glyphs.h"

namespace vykcn::tool {

// Marks no line may start with: closing punctuation, in full and half width.
bool MayNotStartLine(uint32_t c);

// Marks no line may end with: opening brackets and quotes.
bool MayNotEndLine(uint32_t c);

// `text` with line feeds inserted (at a space, the space becomes the line feed) so that every
// line is at most `maxWidth` pixels wide as `glyphs` measure it. Line feeds already in the text
// stay. A piece that never breaks and is wider than `maxWidth` on its own (a long link) stands on a
// line of its own, which stays too wide.
std::string WrapText(const std::string& text, const HostGlyphs& glyphs, int64_t maxWidth);

}  // namespace vykcn::tool
