#pragma once
// Turns resource 102 (u32 decompressed size, then a framed LZX stream) into the TranslationImage
// and fills the TranslationTable from it.
#include <cstdint>

#include "module/own_resources.h"
#include "translation/message_sink.h"
#include "translation/stream_decoder.h"
#include "translation/translation_table.h"

namespace vykcn {

class TranslationLoader {
 public:
  TranslationLoader(OwnResources& resources, StreamDecoder& decoder, MessageSink& messages,
                    TranslationTable& table)
      : resources_(resources), decoder_(decoder), messages_(messages), table_(table) {}
  TranslationLoader(const TranslationLoader&) = delete;
  TranslationLoader& operator=(const TranslationLoader&) = delete;
  ~TranslationLoader() { ReleaseImage(); }

  // True when the table was filled (an image of zero records included). On failure shows
  // "data corrupted" or "decomp size mismatch" (caption "error"), leaves the table empty and keeps
  // the rejected image until the next load or ReleaseImage. Never throws.
  bool LoadTranslationTable() noexcept;

  // Frees the image; the table's values must not be read afterwards.
  void ReleaseImage() noexcept;

  const uint8_t* image() const { return image_; }

 private:
  bool Corrupted();

  OwnResources& resources_;
  StreamDecoder& decoder_;
  MessageSink& messages_;
  TranslationTable& table_;
  uint8_t* image_ = nullptr;  // the TranslationImage; the table's values point into it
};

}  // namespace vykcn
