#include "module_reading/resource_decoding.h"

#include <algorithm>
#include <new>

#include "common/command_error.h"

namespace vykcn::tool {

TranslationResourceParts SplitTranslationResource(const std::vector<uint8_t>& resource, const std::string& what) {
  TranslationResourceParts parts;
  if (!vykcn::SplitTranslationResource(resource.data(), resource.size(), &parts)) {
    throw CommandError(what + ": shorter than the 4-byte size header");
  }
  return parts;
}

BoundedDecode DecodeBounded(const uint8_t* stream, size_t streamSize, size_t capacity, uint32_t windowSize) {
  BoundedDecode decoded;
  capacity = std::min(capacity, FramedStreamOutputBound(stream, streamSize));
  try {
    decoded.bytes.resize(capacity);
  } catch (const std::bad_alloc&) {
    throw CommandError("cannot allocate " + std::to_string(capacity) + " bytes for the decoded data");
  }
  size_t produced = capacity;
  decoded.status = DecodeTranslationStream(stream, streamSize, decoded.bytes.data(), &produced, windowSize);
  decoded.bytes.resize(std::min(produced, capacity));
  return decoded;
}

const char* ModuleMessage(const BoundedDecode& decoded, size_t statedSize) {
  if (decoded.status != lzx::kStatusOk) return "data corrupted";
  return decoded.bytes.size() != statedSize ? "decomp size mismatch" : nullptr;
}

std::string DecodeProblem(const BoundedDecode& decoded, std::optional<size_t> statedSize) {
  const char* message = statedSize ? ModuleMessage(decoded, *statedSize)
                                   : decoded.status != lzx::kStatusOk ? "data corrupted" : nullptr;
  if (message == nullptr) return "";
  std::string problem = std::string(message) + "; produced " + std::to_string(decoded.bytes.size()) + " bytes";
  if (statedSize) problem += ", the resource's size field says " + std::to_string(*statedSize);
  return problem;
}

std::vector<uint8_t> UnpackTranslationResource(const std::vector<uint8_t>& resource, const std::string& what) {
  const TranslationResourceParts parts = SplitTranslationResource(resource, what);
  BoundedDecode decoded = DecodeBounded(parts.stream, parts.streamSize, parts.imageSize);
  const std::string problem = DecodeProblem(decoded, parts.imageSize);
  if (!problem.empty()) throw CommandError(what + ": " + problem);
  return std::move(decoded.bytes);
}

}  // namespace vykcn::tool
