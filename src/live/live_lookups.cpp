#include "live/live_lookups.h"

#include <cstring>
#include <string>

#include "translation/subtitle_hash.h"
#include "translation/subtitle_site.h"

namespace vykcn {
namespace {

LookupAnswer Given(void* answer) { return *static_cast<LookupAnswer*>(answer); }

// The lookup whose translation the host was given: the last one that found one.
const SubtitleLookup* Matched(const SubtitleSiteTrace& trace) {
  for (int i = trace.count - 1; i >= 0; --i) {
    if (trace.lookups[i].found != nullptr) return &trace.lookups[i];
  }
  return nullptr;
}

}  // namespace

LookupAnswer SubtitleSiteAnswer(const SubtitleSiteTrace& trace) {
  // The lookups in order: the whole text; then, for a text of more than 3 bytes, without its last
  // byte; then without its last two, or, after a hit, that translation without its last two.
  if (trace.count == 0) return LookupAnswer::kNone;
  if (trace.lookups[0].found != nullptr) return LookupAnswer::kOwn;
  if (trace.count < 3) return LookupAnswer::kNone;
  if (trace.lookups[1].found != nullptr) {
    return trace.lookups[2].found != nullptr ? LookupAnswer::kWithoutLastReplaced : LookupAnswer::kWithoutLast;
  }
  return trace.lookups[2].found != nullptr ? LookupAnswer::kWithoutLastTwo : LookupAnswer::kNone;
}

void TraceSubtitleSwap(const LiveIndex& index, const char** slot, SubtitleSiteTrace* trace) {
  trace->count = 0;
  subtitle_site::SwapSubtitleIn(index, slot,
                              [trace](const SubtitleLookup& lookup) { trace->lookups[trace->count++] = lookup; });
}

void ReanswerCapture(const LiveIndex& index, CaptureRecorder& recorder) {
  constexpr CaptureSite kSites[] = {CaptureSite::kSubtitle, CaptureSite::kDialogue, CaptureSite::kExport};
  std::string text;
  for (size_t i = 0; i < recorder.size(); ++i) {
    const CapturedText& captured = recorder.at(i);
    text.assign(captured.text());  // the recorder keeps no terminator
    for (CaptureSite site : kSites) {
      if (captured.PassesAt(site) == 0) continue;
      LookupAnswer answer = index.lookup(captured.hash) != nullptr ? LookupAnswer::kOwn : LookupAnswer::kNone;
      if (site == CaptureSite::kSubtitle) {
        const char* shown = text.c_str();
        SubtitleSiteTrace trace;
        TraceSubtitleSwap(index, &shown, &trace);
        answer = SubtitleSiteAnswer(trace);
      }
      recorder.Reanswer(i, site, answer);
    }
  }
}

const char* LiveLookups::ReplaceSubtitle(const char* text, CaptureSite site) noexcept {
  if (text == nullptr) return nullptr;
  if (prefixed_ != nullptr && prefixed_->Holds(text)) return text;
  const size_t length = std::strlen(text);
  SubtitleLookup lookup{text, length, SubtitleHashBytes(text, length), nullptr};
  {
    LiveTranslations::Reader reader(translations_);
    if (const LiveIndex* index = reader.index()) lookup.found = index->lookup(lookup.hash);
  }
  Record(text, length, site, lookup.found != nullptr ? LookupAnswer::kOwn : LookupAnswer::kNone);
  return Shown(text, lookup.found != nullptr ? lookup.found : text, lookup.found != nullptr ? &lookup : nullptr, false,
               lookup.hash);
}

void LiveLookups::ReplaceSubtitlePointer(const char** slot) noexcept {
  if (slot == nullptr || *slot == nullptr) return;
  const char* text = *slot;
  if (prefixed_ != nullptr && prefixed_->Holds(text)) return;
  const char* translated = text;
  SubtitleSiteTrace trace;
  {
    LiveTranslations::Reader reader(translations_);
    if (const LiveIndex* index = reader.index()) TraceSubtitleSwap(*index, &translated, &trace);
  }
  if (trace.count == 0) {  // no index: the text as it is
    const size_t length = std::strlen(text);
    trace.lookups[trace.count++] = SubtitleLookup{text, length, SubtitleHashBytes(text, length), nullptr};
  }
  Record(text, trace.lookups[0].length, CaptureSite::kSubtitle, SubtitleSiteAnswer(trace));
  const SubtitleLookup* matched = Matched(trace);
  *slot = Shown(text, translated, matched, matched != &trace.lookups[0], trace.lookups[0].hash);
}

const char* LiveLookups::Shown(const char* text, const char* translated, const SubtitleLookup* matched,
                               bool fallback, uint32_t ownHash) noexcept {
  const unsigned flags = display();
  if (flags == 0) return translated;
  const bool original = (flags & kShowOriginal) != 0;
  const char* shown = original ? text : translated;
  if ((flags & kShowHashPrefix) == 0 || prefixed_ == nullptr) return shown;
  // The original text, or a line no lookup matched, carries its own hash.
  if (original || matched == nullptr) return prefixed_->Prefixed(ownHash, false, shown);
  return prefixed_->Prefixed(matched->hash, fallback, shown);
}

void LiveLookups::Record(const char* text, size_t length, CaptureSite site, LookupAnswer answer) noexcept {
  if (recorder_ != nullptr) recorder_->Record(text, length, site, &Given, &answer);
}

}  // namespace vykcn
