// The test build (build/windows/test/vykcn.dll) in a simulated host, with vykcn-live/translations.bin
// beside this executable. Two runs, each a process of its own:
//   live_tests --reload  the file is replaced (renamed over, as vykcn-tool watch does) by a new version,
//                        then by a truncated and a corrupt one, while the sites and the export are asked
//   live_tests --keys    the keys, driven through the system's input (SendInput) with a window of this
//                        process in front (under a virtual display)
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>
#include <vector>

#include "simulated_host.h"
#include "test_support.h"
#include "translation/subtitle_hash.h"

namespace vykcn {
namespace {

using test::HostLayout;
using test::SimulatedHost;
using Bytes = std::string;
using ReplaceSubtitleFn = const char* (*)(const char*);

constexpr DWORD kPatienceMs = 10000;  // a replaced file is served well within this

std::string Here(const std::string& relative) { return test::ExeDirectory() + relative; }

Bytes ReadAll(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Written beside it, then renamed over it, as the toolkit puts a new file in place; the rename tried
// again while it is refused, as the toolkit does: Windows lets it replace a file that the test build
// holds open (with FILE_SHARE_DELETE), but Wine refuses it for as long as any handle is open.
void PlaceLive(const std::string& name, const Bytes& bytes) {
  const std::string path = Here("vykcn-live\\" + name), temporary = path + ".new";
  std::ofstream(temporary, std::ios::binary | std::ios::trunc).write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
  bool renamed = false;
  for (int attempt = 0; attempt < 100 && !(renamed = MoveFileExA(temporary.c_str(), path.c_str(), MOVEFILE_REPLACE_EXISTING)); ++attempt) {
    Sleep(20);
  }
  ASSERT_TRUE(renamed) << path << ": error " << GetLastError();
}

std::string Status() { return ReadAll(Here("vykcn-live\\status.txt")); }

std::string Hex(const char* text) {
  char hex[16];
  std::snprintf(hex, sizeof hex, "0x%08X", static_cast<unsigned>(SubtitleHash(text)));
  return hex;
}

// Asks `done` until it holds or `patience` runs out, keeping this thread's windows answered.
bool WaitFor(const std::function<bool()>& done, DWORD patience = kPatienceMs) {
  for (const DWORD start = GetTickCount(); GetTickCount() - start < patience; Sleep(20)) {
    MSG message;
    while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) DispatchMessageW(&message);
    if (done()) return true;
  }
  return done();
}

// The host with the test build loaded, and each of its sites.
class Host {
 public:
  Host() {
    CreateDirectoryA(Here("vykcn-live").c_str(), nullptr);
    PlaceLive("translations.bin", ReadAll(Here("..\\generated\\live-before.bin")));
    DeleteFileA(Here("vykcn-live\\keys.txt").c_str());
    DeleteFileA(Here("vykcn-live\\status.txt").c_str());
    EXPECT_TRUE(host_.Map(HostLayout::kExpected));
    module_ = test::LoadRelative("..\\..\\test\\vykcn.dll");
    if (module_ != nullptr) {
      replace_ = reinterpret_cast<ReplaceSubtitleFn>(
          reinterpret_cast<void*>(GetProcAddress(module_, "?ReplaceSubtitle@@YAPEBDPEBD@Z")));
    }
  }
  bool loaded() const { return replace_ != nullptr; }
  const char* Export(const char* text) { return replace_(text); }
  const char* Subtitle(const char* text) {
    host_.currentSubtitle() = text;
    host_.RunSubtitleSite();
    return host_.currentSubtitle();
  }
  const char* Dialogue(const char* text) {
    uint32_t r14Value = 7;
    host_.RunDialogueSite(text, &r14Value);
    return reinterpret_cast<const char*>(host_.recorder().rbx);
  }

 private:
  SimulatedHost host_;
  HMODULE module_ = nullptr;
  ReplaceSubtitleFn replace_ = nullptr;
};

bool Is(const char* shown, const char* expected) { return shown != nullptr && std::strcmp(shown, expected) == 0; }

TEST(LiveReload, ANewFileIsServedAndABadOneLeavesTheTableServing) {
  static Host host;
  ASSERT_TRUE(host.loaded());
  // The file in place at start is served from the first lookup.
  const char* before = host.Export("Welcome home.");
  EXPECT_TRUE(Is(before, "欢迎回家。"));
  EXPECT_TRUE(Is(host.Subtitle("Open the door!"), "开门"));
  // Untranslated yet; the capture sees the host text.
  const char* rarest = "The rarest word";
  EXPECT_EQ(host.Subtitle(rarest), rarest);

  const Bytes after = ReadAll(Here("..\\generated\\live-after.bin"));
  ASSERT_GT(after.size(), 64u);
  PlaceLive("translations.bin", after);
  EXPECT_TRUE(WaitFor([&] {
    return Is(host.Export("Welcome home."), "欢迎回来。") && Is(host.Subtitle("Good night.!"), "晚安。") &&
           Is(host.Dialogue("A dragon!"), "一条龙！") && Is(host.Subtitle(rarest), "龘");
  }));
  EXPECT_TRUE(Is(host.Subtitle("Open the door!"), "开门"));
  EXPECT_TRUE(Is(before, "欢迎回家。")) << "a text handed out before the reload moved";

  std::string status;
  EXPECT_TRUE(WaitFor([&] {
    status = Status();
    return status.find("last reload result: loaded: 1 changed, 3 added, 0 removed, 2 unchanged\n") != std::string::npos;
  })) << status;
  EXPECT_NE(status.find("\ntranslations: vykcn-live/translations.bin\nrecords: 6\n"), std::string::npos) << status;
  // The ideograph beyond GB 2312 is named with its record's hash and the host text the capture saw;
  // the one GB 2312 holds has a glyph.
  EXPECT_NE(status.find("\nmissing glyph: " + Hex(rarest) + " U+9F98 龘: \"龘\" (host text \"The rarest word\")\n"),
            std::string::npos)
      << status;
  EXPECT_NE(status.find("\nrecords with missing glyphs: 1\n"), std::string::npos) << status;

  // A truncated file and a corrupt one: each is named, and the table in use serves on.
  Bytes corrupt = after;
  for (size_t i = 16; i < 48; ++i) corrupt[i] = static_cast<char>(0xA5);
  const struct {
    const char* what;
    Bytes bytes;
    const char* named;
  } bad[] = {
      {"truncated", after.substr(0, after.size() / 2), "truncated or corrupt"},
      {"corrupt", corrupt, "corrupt"},
  };
  for (const auto& file : bad) {
    DeleteFileA(Here("vykcn-live\\status.txt").c_str());
    PlaceLive("translations.bin", file.bytes);
    EXPECT_TRUE(WaitFor([&] {
      status = Status();
      return status.find("\nproblem: vykcn-live/translations.bin: refused: ") != std::string::npos;
    })) << file.what << "\n" << status;
    EXPECT_NE(status.find(file.named), std::string::npos) << status;
    EXPECT_NE(status.find("the table in use is unchanged\n"), std::string::npos) << status;
    EXPECT_TRUE(Is(host.Export("Welcome home."), "欢迎回来。")) << file.what;
    EXPECT_TRUE(Is(host.Dialogue("A dragon!"), "一条龙！")) << file.what;
  }
}

// A window of this process, in front.
HWND WindowInFront() {
  WNDCLASSW windowClass{};
  windowClass.lpfnWndProc = DefWindowProcW;
  windowClass.hInstance = GetModuleHandleW(nullptr);
  windowClass.lpszClassName = L"live_tests";
  RegisterClassW(&windowClass);
  HWND window = CreateWindowExW(0, L"live_tests", L"live_tests", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0, 320, 200,
                                nullptr, nullptr, windowClass.hInstance, nullptr);
  SetForegroundWindow(window);
  WaitFor([window] { return GetForegroundWindow() == window; });
  return window;
}

// `key` pressed with Ctrl held, through the system's input, and released once `acted` holds (or its
// patience ran out): a loaded machine may leave the test build's low-priority thread unscheduled for
// longer than a hand holds a key.
void PressWithCtrl(WORD key, const std::function<bool()>& acted = [] { return false; }, DWORD patience = 100) {
  INPUT inputs[4] = {};
  const WORD keys[4] = {VK_CONTROL, key, key, VK_CONTROL};
  for (int i = 0; i < 4; ++i) {
    inputs[i].type = INPUT_KEYBOARD;
    inputs[i].ki.wVk = keys[i];
    inputs[i].ki.dwFlags = i < 2 ? 0 : KEYEVENTF_KEYUP;
  }
  ASSERT_EQ(SendInput(2, inputs, sizeof(INPUT)), 2u);
  // Held, and then left up as long, each longer than the test build's look at the keys, so that it
  // sees the key go down once and come up before the next press.
  WaitFor(acted, patience);
  ASSERT_EQ(SendInput(2, inputs + 2, sizeof(INPUT)), 2u);
  WaitFor([] { return false; }, 100);
}

TEST(LiveKeys, TheSitesShowTheOriginalTheHashPrefixedTextAndTheTranslationAgain) {
  static Host host;
  ASSERT_TRUE(host.loaded());
  HWND window = WindowInFront();
  ASSERT_EQ(GetForegroundWindow(), window);
  const char* welcome = "Welcome home.";
  const char* door = "Open the door!";
  ASSERT_TRUE(Is(host.Export(welcome), "欢迎回家。"));

  const std::string prefixed = "[" + Hex(welcome) + "] 欢迎回家。";
  const std::string fallback = "[" + Hex("Open the door") + "~] 开门";
  const struct {
    WORD key;
    std::string welcome, door;  // what the export and the subtitle site then return
  } steps[] = {
      {VK_F9, welcome, door},
      {VK_F9, "欢迎回家。", "开门"},
      {VK_F10, prefixed, fallback},
      {VK_F10, "欢迎回家。", "开门"},
  };
  for (const auto& step : steps) {
    const auto shown = [&] {
      return Is(host.Export(welcome), step.welcome.c_str()) && Is(host.Subtitle(door), step.door.c_str()) &&
             Is(host.Dialogue(welcome), step.welcome.c_str());
    };
    PressWithCtrl(step.key, shown, kPatienceMs);
    EXPECT_TRUE(shown()) << step.welcome << " " << host.Export(welcome);
  }

  // Reload now: the same file again.
  std::string status;
  const auto reloaded = [&] {
    status = Status();
    return status.find(" (Ctrl+F11)\nlast reload result: no change: ") != std::string::npos;
  };
  PressWithCtrl(VK_F11, reloaded, kPatienceMs);
  EXPECT_TRUE(WaitFor(reloaded)) << status;

  // keys.txt moves a key.
  PlaceLive("keys.txt", "# the original text on Ctrl+F5\noriginal = ctrl+f5\n");
  EXPECT_TRUE(WaitFor([&] { return Status().find("\nkey original: Ctrl+F5\n") != std::string::npos; })) << Status();
  const auto original = [&] { return host.Export(welcome) == welcome; };
  const auto translated = [&] { return Is(host.Export(welcome), "欢迎回家。"); };
  PressWithCtrl(VK_F5, original, kPatienceMs);
  EXPECT_TRUE(original());
  PressWithCtrl(VK_F9, [] { return false; }, 300);  // no longer a key of the test build: the original stays
  EXPECT_TRUE(original());
  PressWithCtrl(VK_F5, translated, kPatienceMs);
  EXPECT_TRUE(translated());
  DestroyWindow(window);
}

}  // namespace
}  // namespace vykcn

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  const bool keys = argc > 1 && std::strcmp(argv[1], "--keys") == 0;
  ::testing::GTEST_FLAG(filter) = keys ? "LiveKeys.*" : "LiveReload.*";
  return RUN_ALL_TESTS();
}
