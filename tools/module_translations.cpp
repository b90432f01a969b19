#include "module_translations.h"

#include <cstring>

#include "module/own_resources.h"
#include "module/resource_ids.h"
#include "translation/lzx_stream_decoder.h"
#include "translation/message_sink.h"
#include "translation/translation_image.h"
#include "translation/translation_loader.h"
#include "translation/translation_table.h"

namespace vykcn::tool {
namespace {

class MemoryResources : public OwnResources {
 public:
  explicit MemoryResources(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}
  bool LoadData(uint32_t id, ResourceBytes* out) override {
    if (id != kTranslationResourceId || bytes_.empty()) return false;
    out->data = bytes_.data();
    out->size = static_cast<uint32_t>(bytes_.size());
    return true;
  }

 private:
  const std::vector<uint8_t>& bytes_;
};

class RecordedMessages : public MessageSink {
 public:
  void Show(const char* text, const char*) override { last = text; }
  std::string last;
};

}  // namespace

ModuleTranslations DecodeModuleTranslations(const std::vector<uint8_t>& resource) {
  ModuleTranslations result;
  if (resource.empty()) {
    result.problem = "the resource is empty";
    return result;
  }
  MemoryResources resources(resource);
  LzxStreamDecoder decoder;
  RecordedMessages messages;
  TranslationTable table;
  TranslationLoader loader(resources, decoder, messages, table);
  if (!loader.LoadTranslationTable()) {
    result.problem = messages.last.empty() ? "the resource cannot be read" : messages.last;
    return result;
  }
  result.loaded = true;
  result.imageSize = ReadU32LE(resource.data());
  result.tableSize = table.size();
  // The loader has checked the image: the count and every record lie inside it.
  const uint8_t* image = loader.image();
  const uint32_t count = ReadU32LE(image);
  size_t at = kImageCountSize;
  for (uint32_t i = 0; i < count; ++i) {
    const uint32_t hash = ReadU32LE(image + at);
    const char* text = reinterpret_cast<const char*>(image + at + kRecordHashSize);
    const size_t length = std::strlen(text);
    result.records.emplace_back(hash, std::string(text, length));
    at += kRecordHashSize + length + 1;
  }
  return result;
}

}  // namespace vykcn::tool
