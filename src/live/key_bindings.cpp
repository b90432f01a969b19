#include "live/key_bindings.h"

#include <algorithm>
#include <cctype>

namespace vykcn {
namespace {

constexpr const char* kActionNames[kKeyActionCount] = {"original", "hash-prefix", "reload"};

struct NamedKey {
  const char* name;
  uint8_t key;
};
// Keys with names of their own; F1..F24, A..Z, 0..9 and Num0..Num9 are read by rule.
constexpr NamedKey kNamedKeys[] = {{"Pause", 0x13}, {"Space", 0x20},  {"PageUp", 0x21}, {"PageDown", 0x22},
                                   {"End", 0x23},   {"Home", 0x24},   {"Insert", 0x2D}, {"Delete", 0x2E}};

std::string_view Trim(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

bool SameWord(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  }
  return true;
}

// A number from `first` to `last` after `prefix` ("F" 1..24), or -1.
int Numbered(std::string_view name, std::string_view prefix, int first, int last) {
  if (name.size() <= prefix.size() || name.size() > prefix.size() + 2 || !SameWord(name.substr(0, prefix.size()), prefix)) {
    return -1;
  }
  int n = 0;
  for (char c : name.substr(prefix.size())) {
    if (!std::isdigit(static_cast<unsigned char>(c))) return -1;
    n = n * 10 + (c - '0');
  }
  return n >= first && n <= last ? n : -1;
}

uint8_t KeyCode(std::string_view name) {
  for (const NamedKey& named : kNamedKeys) {
    if (SameWord(name, named.name)) return named.key;
  }
  if (int n = Numbered(name, "F", 1, 24); n > 0) return static_cast<uint8_t>(0x70 + n - 1);
  if (int n = Numbered(name, "Num", 0, 9); n >= 0 && name.size() == 4) return static_cast<uint8_t>(0x60 + n);
  if (name.size() == 1 && std::isalnum(static_cast<unsigned char>(name[0]))) {
    return static_cast<uint8_t>(std::toupper(static_cast<unsigned char>(name[0])));
  }
  return 0;
}

bool ReadChord(std::string_view text, KeyChord* chord) {
  KeyChord read;
  for (;;) {
    const size_t plus = text.find('+');
    const std::string_view word = Trim(text.substr(0, plus));
    if (plus == std::string_view::npos) {
      read.key = KeyCode(word);
      break;
    }
    if (SameWord(word, "Ctrl") || SameWord(word, "Control")) {
      read.ctrl = true;
    } else if (SameWord(word, "Alt")) {
      read.alt = true;
    } else if (SameWord(word, "Shift")) {
      read.shift = true;
    } else {
      return false;
    }
    text.remove_prefix(plus + 1);
  }
  if (read.key == 0) return false;
  *chord = read;
  return true;
}

std::string KeyName(uint8_t key) {
  for (const NamedKey& named : kNamedKeys) {
    if (named.key == key) return named.name;
  }
  if (key >= 0x70 && key <= 0x87) return "F" + std::to_string(key - 0x70 + 1);
  if (key >= 0x60 && key <= 0x69) return "Num" + std::to_string(key - 0x60);
  return std::string(1, static_cast<char>(key));
}

}  // namespace

const char* KeyActionName(KeyAction action) { return kActionNames[static_cast<size_t>(action)]; }

std::string DescribeChord(const KeyChord& chord) {
  return std::string(chord.ctrl ? "Ctrl+" : "") + (chord.alt ? "Alt+" : "") + (chord.shift ? "Shift+" : "") +
         KeyName(chord.key);
}

KeyBindings ReadKeyBindings(std::string_view text, std::vector<std::string>* problems) {
  KeyBindings bindings;
  int number = 0;
  for (size_t start = 0; start < text.size();) {
    const size_t end = std::min(text.find('\n', start), text.size());
    const std::string_view line = Trim(text.substr(start, end - start));
    start = end + 1;
    ++number;
    if (line.empty() || line.front() == '#') continue;
    const std::string place = "keys.txt:" + std::to_string(number) + ": ";
    const size_t equals = line.find('=');
    const std::string_view name = Trim(line.substr(0, equals));
    size_t action = 0;
    while (action < kKeyActionCount && !SameWord(name, kActionNames[action])) ++action;
    if (equals == std::string_view::npos || action == kKeyActionCount) {
      problems->push_back(place + "not 'original=KEY', 'hash-prefix=KEY' or 'reload=KEY': " + std::string(line));
      continue;
    }
    KeyChord chord;
    if (!ReadChord(line.substr(equals + 1), &chord)) {
      problems->push_back(place + "no such key: " + std::string(Trim(line.substr(equals + 1))) +
                          " (modifiers Ctrl+ Alt+ Shift+, then F1..F24, A..Z, 0..9, Num0..Num9, Pause, Space, "
                          "PageUp, PageDown, End, Home, Insert or Delete)");
      continue;
    }
    bindings.chords[action] = chord;
  }
  // Two actions on one key would do both at once: the defaults stay then.
  for (size_t a = 0; a < kKeyActionCount; ++a) {
    for (size_t b = a + 1; b < kKeyActionCount; ++b) {
      if (!(bindings.chords[a] == bindings.chords[b])) continue;
      problems->push_back(std::string("keys.txt: ") + kActionNames[a] + " and " + kActionNames[b] + " are both " +
                          DescribeChord(bindings.chords[a]) + ": the default keys stay");
      return KeyBindings();
    }
  }
  return bindings;
}

}  // namespace vykcn
