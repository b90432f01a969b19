#pragma once
// The test build's keys, and vykcn-live/keys.txt, which changes them: one `action=key` a line
// (README.md, "The test build"). A key is a Windows virtual-key code with the modifiers held with it.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace vykcn {

enum class KeyAction : uint8_t { kToggleOriginal, kToggleHashPrefix, kReload };
constexpr size_t kKeyActionCount = 3;

struct KeyChord {
  uint8_t key = 0;  // virtual-key code
  bool ctrl = false, alt = false, shift = false;
  bool operator==(const KeyChord& o) const { return key == o.key && ctrl == o.ctrl && alt == o.alt && shift == o.shift; }
};

struct KeyBindings {
  // By KeyAction: Ctrl+F9, Ctrl+F10, Ctrl+F11 unless keys.txt says otherwise.
  KeyChord chords[kKeyActionCount] = {{0x78, true}, {0x79, true}, {0x7A, true}};
};

// keys.txt's name of an action: original, hash-prefix, reload.
const char* KeyActionName(KeyAction action);

// "Ctrl+F9": the modifiers, then the key's name as keys.txt writes it.
std::string DescribeChord(const KeyChord& chord);

// Reads keys.txt over the default keys. Blank lines and lines that start with '#' say nothing; names
// and keys are read in any case, with spaces around them; a later line for an action wins. A line
// that names no action or no key is left out, and adds "keys.txt:LINE: ..." to `problems`; two
// actions on one key leave every key at its default, and say so.
KeyBindings ReadKeyBindings(std::string_view text, std::vector<std::string>* problems);

}  // namespace vykcn
