#include "commands/unpacked_catalogue.h"

#include <unordered_map>

#include "common/command_error.h"
#include "common/hash_label.h"
#include "text_sources/csv_writer.h"
#include "text_sources/po_escape.h"
#include "text_sources/po_writer.h"

namespace vykcn::tool {
namespace {

void RequireCsvKeeps(const std::string& text, const UnpackedRecord& record) {
  if (!CsvKeepsCell(text)) {
    throw CommandError("record " + HashLabel(record.hash) + ": " + QuotedPoText(text) +
                       " holds a CR LF, which a CSV cell gives back as LF: write a .po file");
  }
}

}  // namespace

std::string UnpackedRecord::leftOutReason() const {
  if (shadowed) return "a later record has the same hash";
  if (source == nullptr) return "unknown host text";
  if (translation.empty()) return "empty translation";  // pack-text reads it as untranslated
  return "";
}

std::vector<UnpackedRecord> MatchRecords(const std::vector<TranslationRecord>& records, const HostTextIndex& sources) {
  std::unordered_map<uint32_t, size_t> last;  // the module keeps the last record of a hash
  for (size_t i = 0; i < records.size(); ++i) last[records[i].hash] = i;
  std::vector<UnpackedRecord> unpacked;
  unpacked.reserve(records.size());
  for (size_t i = 0; i < records.size(); ++i) {
    UnpackedRecord record;
    record.hash = records[i].hash;
    record.translation = records[i].text;
    record.source = sources.Find(record.hash, record.translation);
    record.shadowed = last[record.hash] != i;
    unpacked.push_back(std::move(record));
  }
  return unpacked;
}

std::string UnpackedPoFile(const std::vector<UnpackedRecord>& records) {
  PoCatalogue catalogue;
  catalogue.language = "zh_CN";  // the language the module's resources are marked with
  std::vector<std::string>& comments = catalogue.headerComments;
  comments.push_back("Translations unpacked by vykcn-tool unpack-text.");
  std::vector<PoMessage>& messages = catalogue.messages;
  for (const UnpackedRecord& record : records) {
    const std::string leftOut = record.leftOutReason();
    if (!leftOut.empty()) {
      if (comments.size() == 1) comments.push_back("Records left out, as comments that pack-text does not read:");
      comments.push_back(leftOut + ", hash " + HashLabel(record.hash) + ": " + QuotedPoText(record.translation));
      continue;
    }
    const TextEntry& source = *record.source;
    messages.push_back({source.file, source.line, source.hasContext, source.context, source.host, record.translation});
  }
  return WritePoCatalogue(catalogue);
}

std::string UnpackedCsvFile(const std::vector<UnpackedRecord>& records) {
  std::string out =
      CsvRecordLine({"source", "translation", "reference", "hash", "left-out translation", "why left out"});
  for (const UnpackedRecord& record : records) {
    RequireCsvKeeps(record.translation, record);
    const std::string leftOut = record.leftOutReason();
    if (!leftOut.empty()) {
      out += CsvRecordLine({"", "", "", HashLabel(record.hash), record.translation, leftOut});
      continue;
    }
    const TextEntry& source = *record.source;
    RequireCsvKeeps(source.host, record);
    out += CsvRecordLine({source.host, record.translation, Place(source), HashLabel(record.hash), "", ""});
  }
  return out;
}

}  // namespace vykcn::tool
