#pragma once
// The first load of the translation table: resource 102 (u32 decompressed size, then a framed LZX
// stream) read from the module's own resources, decoded into the TranslationImage, and the
// TranslationTable filled from it. One direction: the resource's layout and its decode are the
// formats' (formats/translation_resource.h), the decoder's below them.
#include <cstddef>
#include <cstdint>

#include "formats/translation_resource.h"
#include "platform/message_sink.h"
#include "platform/own_resources.h"
#include "translation/load_status.h"
#include "translation/table_loader.h"
#include "translation/translation_table.h"

namespace vykcn {

// How a load decodes the resource's stream: DecodeTranslationStream, the module's decoder with its
// settings. A seam for translation_loader_test alone, which hands back each of the decoder's results.
using StreamDecode = lzx::DecompressStatus (*)(const uint8_t* stream, size_t streamSize, uint8_t* destination,
                                               size_t* produced, uint32_t windowSize);

// Decodes a translation resource's bytes into `table`: the image, of the size the resource states,
// into memory the table holds, then the table filled from it, only after every check has passed
// (and the fill checks the image itself too). On failure the table is left empty, holding the
// rejected image, if one was allocated, until the next load or its ReleaseImage. Never throws.
LoadStatus LoadTranslationResource(const uint8_t* resource, size_t size, TranslationTable& table,
                                   StreamDecode decode = &DecodeTranslationStream) noexcept;

// The message the module shows for a load that came to `status` (caption "error"): "decomp size
// mismatch" or "data corrupted"; null for a load that succeeded, or found no resource (the
// platform's resource reader reports that itself).
const char* LoadFailureMessage(LoadStatus status);

class TranslationLoader final : public TableLoader {
 public:
  TranslationLoader(OwnResources& resources, MessageSink& messages, TranslationTable& table,
                    StreamDecode decode = &DecodeTranslationStream)
      : resources_(resources), messages_(messages), table_(table), decode_(decode) {}
  TranslationLoader(const TranslationLoader&) = delete;
  TranslationLoader& operator=(const TranslationLoader&) = delete;

  // Loads resource 102 into the table, and shows LoadFailureMessage's message when it fails.
  LoadStatus LoadTranslationTable() noexcept override;

 private:
  OwnResources& resources_;
  MessageSink& messages_;
  TranslationTable& table_;
  StreamDecode decode_;
};

}  // namespace vykcn
