#include "capture/capturing_lookups.h"

#include <cstdlib>
#include <cstring>

namespace vykcn {
namespace {

struct SubtitlePass {
  SubtitleTranslator* translator;
  const char* text;
  size_t length;
  const char* shown;
};

LookupAnswer ClassifySubtitlePass(void* context) {
  const auto* pass = static_cast<const SubtitlePass*>(context);
  return SubtitleSiteAnswer(*pass->translator, pass->text, pass->length, pass->shown);
}

LookupAnswer Translated(void*) { return LookupAnswer::kOwn; }
LookupAnswer Untranslated(void*) { return LookupAnswer::kNone; }

}  // namespace

LookupAnswer SubtitleSiteAnswer(SubtitleTranslator& translator, const char* text, size_t length,
                                const char* shown) noexcept {
  if (shown == text) return LookupAnswer::kNone;
  // A hit on the whole text ends the lookup; texts of 3 bytes or less have no fallback.
  if (length <= 3 || translator.ReplaceSubtitle(text) != text) return LookupAnswer::kOwn;

  // The fallback found the text without its last byte (and the second pass may have replaced that
  // translation), or else without its last two. The shorter text needs a terminator of its own.
  char small[1024];
  const size_t shorter = length - 1;
  char* copy = shorter < sizeof small ? small : static_cast<char*>(std::malloc(shorter + 1));
  // Out of memory in the host: the answer cannot be told, and a fallback is the likelier one.
  if (copy == nullptr) return LookupAnswer::kWithoutLast;
  std::memcpy(copy, text, shorter);
  copy[shorter] = '\0';
  const char* withoutLast = translator.ReplaceSubtitle(copy);
  const LookupAnswer answer = withoutLast == copy    ? LookupAnswer::kWithoutLastTwo
                              : withoutLast == shown ? LookupAnswer::kWithoutLast
                                                     : LookupAnswer::kWithoutLastReplaced;
  if (copy != small) std::free(copy);
  return answer;
}

const char* CapturingLookups::ReplaceSubtitle(const char* text, CaptureSite site) noexcept {
  const char* shown = translator_.ReplaceSubtitle(text);
  if (text != nullptr) {
    recorder_.Record(text, std::strlen(text), site, shown != text ? &Translated : &Untranslated, nullptr);
  }
  return shown;
}

void CapturingLookups::ReplaceSubtitlePointer(const char** slot) noexcept {
  const char* text = slot != nullptr ? *slot : nullptr;
  translator_.ReplaceSubtitlePointer(slot);
  if (text == nullptr) return;
  SubtitlePass pass{&translator_, text, std::strlen(text), *slot};
  recorder_.Record(text, pass.length, CaptureSite::kSubtitle, &ClassifySubtitlePass, &pass);
}

}  // namespace vykcn
