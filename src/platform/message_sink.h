#pragma once
// Where the module's user-facing errors go: a message box in the module, a recorder in tests.

namespace vykcn {

class MessageSink {
 public:
  virtual ~MessageSink() = default;
  // Shows `text` under `caption` with one OK button and returns once it is dismissed.
  virtual void Show(const char* text, const char* caption) = 0;
};

}  // namespace vykcn
