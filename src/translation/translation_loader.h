#pragma once
// Turns resource 102 (u32 decompressed size, then a framed LZX stream) into the TranslationImage
// and fills the TranslationTable from it.
#include <cstdint>

#include "platform/message_sink.h"
#include "platform/own_resources.h"
#include "translation/stream_decoder.h"
#include "translation/table_loader.h"
#include "translation/translation_table.h"

namespace vykcn {

class TranslationLoader final : public TableLoader {
 public:
  TranslationLoader(OwnResources& resources, StreamDecoder& decoder, MessageSink& messages,
                    TranslationTable& table)
      : resources_(resources), decoder_(decoder), messages_(messages), table_(table) {}
  TranslationLoader(const TranslationLoader&) = delete;
  TranslationLoader& operator=(const TranslationLoader&) = delete;

  // True when the table was filled (an image of zero records included). On failure shows
  // "data corrupted" or "decomp size mismatch" (caption "error") and leaves the table empty,
  // holding the rejected image until the next load or its ReleaseImage. Never throws.
  bool LoadTranslationTable() noexcept override;

 private:
  bool Corrupted();

  OwnResources& resources_;
  StreamDecoder& decoder_;
  MessageSink& messages_;
  TranslationTable& table_;
};

}  // namespace vykcn
