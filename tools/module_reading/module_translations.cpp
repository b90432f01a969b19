#include "module_reading/module_translations.h"

#include "formats/resource_ids.h"
#include "module_reading/memory_resources.h"
#include "module_reading/resource_decoding.h"
#include "formats/translation_image.h"
#include "formats/translation_resource.h"
#include "platform/message_sink.h"
#include "platform/own_resources.h"
#include "translation/translation_loader.h"
#include "translation/translation_table.h"

namespace vykcn::tool {
namespace {

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
  // The module allocates what the size field says before it decodes; the toolkit does not, for a
  // size the chunks cannot yield: the decode then ends as the module's would, in one of its two
  // messages.
  TranslationResourceParts parts;
  if (vykcn::SplitTranslationResource(resource.data(), resource.size(), &parts) &&
      parts.imageSize > FramedStreamOutputBound(parts.stream, parts.streamSize)) {
    result.problem = ModuleMessage(DecodeBounded(parts.stream, parts.streamSize, parts.imageSize), parts.imageSize);
    return result;
  }
  MemoryResource resources(kTranslationResourceId, resource);
  RecordedMessages messages;
  TranslationTable table;
  TranslationLoader loader(resources, messages, table);
  if (loader.LoadTranslationTable() != LoadStatus::kLoaded) {
    result.problem = messages.last.empty() ? "the resource cannot be read" : messages.last;
    return result;
  }
  // A loaded resource is longer than its size header.
  vykcn::SplitTranslationResource(resource.data(), resource.size(), &parts);
  result.loaded = true;
  result.imageSize = parts.imageSize;
  result.tableSize = table.size();
  // The loader has checked the image: the count and every record lie inside it.
  WalkTranslationImage(table.image(), result.imageSize, [&result](const ImageRecord& record) {
    result.records.emplace_back(record.hash, std::string(record.text));
  });
  return result;
}

}  // namespace vykcn::tool
