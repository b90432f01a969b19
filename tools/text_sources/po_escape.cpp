#include "text_sources/po_escape.h"

#include "formats/po_string.h"

namespace vykcn::tool {
namespace {

class StringSink final : public PoStringSink {
 public:
  explicit StringSink(std::string* text) : text_(text) {}
  void Append(const char* data, size_t size) override { text_->append(data, size); }

 private:
  std::string* text_;
};

}  // namespace

std::string EscapedPoText(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size());
  StringSink sink(&out);
  WritePoString(bytes, kGettextPoStyle, sink);
  return out;
}

std::string QuotedPoText(const std::string& bytes) { return "\"" + EscapedPoText(bytes) + "\""; }

}  // namespace vykcn::tool
