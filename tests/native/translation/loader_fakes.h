#pragma once
// In-memory stand-ins for the module's resources, decompressor and message boxes.
#include <cstring>
#include <string>
#include <vector>

#include "platform/own_resources.h"
#include "platform/message_sink.h"
#include "lzx/decoder/decompress.h"
#include "formats/translation_image.h"

namespace vykcn::test {

class FakeResources : public OwnResources {
 public:
  bool LoadData(uint32_t, ResourceBytes* out) override {
    ++loads;
    if (!available) return false;
    out->data = bytes.data();
    out->size = static_cast<uint32_t>(bytes.size());
    return true;
  }
  // A resource: the stored decompressed size, then `stream`.
  void SetResource(uint32_t storedSize, std::vector<uint8_t> stream = {1, 2, 3, 4, 5, 6}) {
    bytes.assign(4, 0);
    WriteU32LE(bytes.data(), storedSize);
    bytes.insert(bytes.end(), stream.begin(), stream.end());
  }
  std::vector<uint8_t> bytes;
  bool available = true;
  int loads = 0;
};

// "Decodes" by copying `output` into the destination, as far as the capacity allows. The loader's
// decode seam is a plain function: Decode works for the fake made last (one test's at a time).
class FakeDecoder {
 public:
  FakeDecoder() : outer_(current_) { current_ = this; }
  ~FakeDecoder() { current_ = outer_; }
  FakeDecoder(const FakeDecoder&) = delete;
  FakeDecoder& operator=(const FakeDecoder&) = delete;

  static lzx::DecompressStatus Decode(const uint8_t* source, size_t sourceSize, uint8_t* destination,
                                      size_t* destinationSize, uint32_t) {
    FakeDecoder& fake = *current_;
    ++fake.decodes;
    fake.lastSource.assign(source, source + sourceSize);
    const size_t n = fake.output.size() < *destinationSize ? fake.output.size() : *destinationSize;
    if (n != 0) std::memcpy(destination, fake.output.data(), n);
    *destinationSize = fake.output.size();
    return fake.status;
  }
  std::vector<uint8_t> output;
  std::vector<uint8_t> lastSource;
  lzx::DecompressStatus status = lzx::kStatusOk;
  int decodes = 0;

 private:
  FakeDecoder* outer_;
  static inline FakeDecoder* current_ = nullptr;
};

class RecordingSink : public MessageSink {
 public:
  void Show(const char* text, const char* caption) override { shown.push_back(std::string(caption) + ": " + text); }
  std::vector<std::string> shown;
};

}  // namespace vykcn::test
