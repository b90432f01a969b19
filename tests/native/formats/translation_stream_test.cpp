// The loader's decompressor: one call that creates a context with the module's settings, decodes
// and destroys it, and hands back the decoder's status and the bytes produced.
#include "formats/translation_resource.h"

#include <gtest/gtest.h>

#include "common/translation_packing.h"

namespace vykcn {
namespace {

struct Decoded {
  lzx::DecompressStatus status;
  std::vector<uint8_t> bytes;
};

Decoded Decode(const std::vector<uint8_t>& stream, size_t capacity) {
  std::vector<uint8_t> out(capacity);
  size_t produced = capacity;
  const lzx::DecompressStatus status = DecodeTranslationStream(stream.data(), stream.size(), out.data(), &produced);
  out.resize(produced);
  return {status, out};
}

TEST(DecodeTranslationStream, StatusAndBytesAsTheModulesDecoderGivesThem) {
  std::vector<uint8_t> image(100000);
  for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<uint8_t>("translation "[i % 12] + i / 9000);
  const std::vector<uint8_t> resource = tool::PackTranslationResource(image);
  const std::vector<uint8_t> stream(resource.begin() + kResourceHeaderSize, resource.end());

  const Decoded whole = Decode(stream, image.size());
  EXPECT_EQ(whole.status, lzx::kStatusOk);
  EXPECT_EQ(whole.bytes, image);
  // A destination a byte short: the last chunk does not fit, the walk fails after the others.
  const Decoded tooSmall = Decode(stream, image.size() - 1);
  EXPECT_EQ(tooSmall.status, lzx::kStatusFail);
  EXPECT_EQ(tooSmall.bytes, std::vector<uint8_t>(image.begin(), image.begin() + 3 * 32768));
  // A stream for another window: its chunks fail, and the walk completes with fewer bytes.
  const std::vector<uint8_t> wide = tool::PackTranslationResource(image, 0, 2097152);
  const Decoded otherWindow = Decode(std::vector<uint8_t>(wide.begin() + kResourceHeaderSize, wide.end()), image.size());
  EXPECT_EQ(otherWindow.status, lzx::kStatusOk);
  EXPECT_LT(otherWindow.bytes.size(), image.size());

  // A context that cannot be created (here: a window the decoder refuses) returns its status,
  // and nothing is produced.
  std::vector<uint8_t> out(image.size(), 0xEE);
  size_t produced = out.size();
  EXPECT_EQ(DecodeTranslationStream(stream.data(), stream.size(), out.data(), &produced, 100000), lzx::kStatusFail);
  EXPECT_EQ(produced, 0u);
  EXPECT_EQ(out, std::vector<uint8_t>(image.size(), 0xEE));
}

}  // namespace
}  // namespace vykcn
