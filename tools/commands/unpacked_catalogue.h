#pragma once
// unpack-text -o: a translation image's records given back as translators' files, each with its
// host text and the place a source gave it. A record that pack-text could not make again (its
// host text is not known, a later record of the same hash hides it from the module, or it is
// empty) is kept where pack-text does not read it, so that it is neither lost nor packed again.
#include <cstdint>
#include <string>
#include <vector>

#include "module_reading/translation_records.h"
#include "text_sources/host_text_index.h"

namespace vykcn::tool {

struct UnpackedRecord {
  uint32_t hash = 0;
  std::string translation;
  const TextEntry* source = nullptr;  // names the host text; null: no source has it
  bool shadowed = false;              // a later record has the same hash, and the module shows that one

  // Empty when pack-text would make the record again from its message; else why it is left out.
  std::string leftOutReason() const;
};

// In image order.
std::vector<UnpackedRecord> MatchRecords(const std::vector<TranslationRecord>& records, const HostTextIndex& sources);

// A UTF-8 PO file: the header, whose comments list the records left out, then one message per
// other record with a "#:" reference to its source.
std::string UnpackedPoFile(const std::vector<UnpackedRecord>& records);

// A CSV file with the columns "source", "translation", "reference", "hash", "left-out translation"
// and "why left out". A record that is left out has only the last three: pack-text reads the row
// as an untranslated entry. Throws CommandError for a text that a CSV cell cannot give back (one
// with a CR LF).
std::string UnpackedCsvFile(const std::vector<UnpackedRecord>& records);

}  // namespace vykcn::tool
