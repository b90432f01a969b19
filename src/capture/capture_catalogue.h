#pragma once
// vykcn-capture.po: the captured texts that found no translation of their own, as a PO catalogue of
// untranslated entries that gettext's tools and vykcn-tool read back to the very bytes recorded.
#include <cstddef>
#include <cstdint>

#include "capture/capture_recorder.h"
#include "formats/po_string.h"

namespace vykcn {

// Where the catalogue goes, a piece at a time.
class CatalogueOutput : public PoStringSink {};

constexpr const char* kCaptureCatalogueName = "vykcn-capture.po";

// The catalogue's counts: the texts passed that have no translation of their own at any site (its
// entries), those that have one, and the passes of the empty text.
struct CaptureCounts {
  uint64_t untranslated = 0, translated = 0, emptyPasses = 0;
};
CaptureCounts CountCaptured(const CaptureRecorder& recorder);

// Writes every recorded text that has been passed, is not empty, and had no translation of its own
// at any site, in the order first seen, as `msgid "TEXT"` with an empty msgstr; before each, one
// "#." comment a site that passed it: its passes and what the host was shown. The header (UTF-8)
// counts the translated texts, the empty text's passes and the dropped passes. In the msgid every
// byte that is not printable UTF-8 is an octal escape (\ooo), and a line feed, tab, quote and
// backslash are \n \t \" \\; a text with a line feed inside goes on a new line after it, as
// msgcat writes. Reads the recorder while it records: the header's counts may then trail the
// entries below it by the texts that arrived meanwhile. Allocates nothing and takes no lock.
void WriteCaptureCatalogue(const CaptureRecorder& recorder, CatalogueOutput& out);

}  // namespace vykcn
