// vykcn-tool decompress: decodes a translation resource (or a bare framed LZX stream) with the
// module's decoder and reports what the module would: "data corrupted" when the decoder fails,
// "decomp size mismatch" when it produces a size other than the stored one.
#include <cstdio>
#include <memory>
#include <new>
#include <string>

#include "commands/command_registry.h"
#include "common/file_io.h"
#include "formats/translation_resource.h"
#include "module_reading/translation_container.h"

namespace vykcn::tool {

namespace {

struct Decoded {
  bool ok = false;             // the decoder's status was success
  std::vector<uint8_t> bytes;  // the bytes produced, even on failure
};

Decoded DecodeFramedStream(const uint8_t* stream, size_t streamSize, size_t capacity) {
  std::vector<uint8_t> bytes;
  try {
    bytes.resize(capacity);
  } catch (const std::bad_alloc&) {
    throw CommandError("cannot allocate " + std::to_string(capacity) + " bytes for the decoded data");
  }
  size_t produced = capacity;
  const int32_t status = DecodeTranslationStream(stream, streamSize, bytes.data(), &produced);
  bytes.resize(produced <= capacity ? produced : capacity);
  return {status == 0, std::move(bytes)};
}

std::string Produced(size_t produced, const std::string& expectation) {
  return "\nproduced " + std::to_string(produced) + " bytes" + expectation;
}

void AddDecompressCommand(CLI::App& app) {
  struct Options {
    std::string input;
    std::string output;
    bool raw = false;
    size_t size = 0;
  };
  auto options = std::make_shared<Options>();
  CLI::App* command = app.add_subcommand(
      "decompress", "Decode a translation resource (4-byte size + framed LZX stream) as the module does");
  command->add_option("IN", options->input, "resource file (or a bare framed stream with --raw)")->required();
  command->add_option("OUT", options->output, "decoded bytes; written only when decoding succeeds")->required();
  auto* raw = command->add_flag("--raw", options->raw, "IN is a bare framed stream without the size header");
  auto* size = command->add_option("--size", options->size, "destination capacity in bytes (with --raw)");
  raw->needs(size);
  size->needs(raw);
  command->callback([options] {
    const std::vector<uint8_t> input = ReadFileBytes(options->input);
    Decoded decoded;
    if (options->raw) {
      decoded = DecodeFramedStream(input.data(), input.size(), options->size);
      if (!decoded.ok) {
        throw CommandError("data corrupted" + Produced(decoded.bytes.size(), " before the failure"));
      }
    } else {
      const TranslationResourceParts parts = SplitTranslationResource(input, options->input);
      decoded = DecodeFramedStream(parts.stream, parts.streamSize, parts.imageSize);
      const std::string expected = ", the resource's size field says " + std::to_string(parts.imageSize);
      if (!decoded.ok) throw CommandError("data corrupted" + Produced(decoded.bytes.size(), expected));
      if (decoded.bytes.size() != parts.imageSize) {
        throw CommandError("decomp size mismatch" + Produced(decoded.bytes.size(), expected));
      }
    }
    WriteFileAtomically(options->output, decoded.bytes);
    std::printf("%zu bytes -> %zu bytes\n", input.size(), decoded.bytes.size());
  });
}

}  // namespace

VYKCN_TOOL_COMMAND("decompress", AddDecompressCommand);

}  // namespace vykcn::tool
