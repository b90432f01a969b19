// Modules whose translations cannot be used: every lookup loads again, says so each time (or,
// for an image of zero records, silently), and answers with the host's own text.
// Usage: load_failure_tests MODULE-DLL EXPECTED-MESSAGE ("" for none).
#include <gtest/gtest.h>

#include <string>

#include "test_support.h"

namespace vykcn {
namespace {

std::string gModulePath;
std::string gExpectedMessage;
int gResourceLookups = 0;
HRSRC(WINAPI* gRealFindResource)(HMODULE, LPCSTR, LPCSTR) = nullptr;

HRSRC WINAPI CountingFindResource(HMODULE module, LPCSTR name, LPCSTR type) {
  ++gResourceLookups;
  return gRealFindResource(module, name, type);
}

TEST(LoadFailure, EveryLookupLoadsAgainAndKeepsTheHostText) {
  HMODULE module = test::LoadRelative(gModulePath);
  ASSERT_NE(module, nullptr);
  test::MessageBoxRecorder messages(module);
  void** slot = test::FindImportSlot(module, "kernel32.dll", "FindResourceA");
  ASSERT_NE(slot, nullptr);
  gRealFindResource = reinterpret_cast<decltype(gRealFindResource)>(*slot);
  test::WriteProtected(slot, reinterpret_cast<void*>(&CountingFindResource));

  using ReplaceSubtitleFn = const char* (*)(const char*);
  auto replace = reinterpret_cast<ReplaceSubtitleFn>(
      reinterpret_cast<void*>(GetProcAddress(module, MAKEINTRESOURCEA(1))));
  ASSERT_NE(replace, nullptr);
  const char* text = "Welcome home.";
  for (int lookup = 0; lookup < 3; ++lookup) EXPECT_EQ(replace(text), text);
  EXPECT_EQ(replace(nullptr), nullptr);

  EXPECT_EQ(gResourceLookups, 4);  // the null lookup loads too
  const size_t expectedMessages = gExpectedMessage.empty() ? 0 : 4;
  ASSERT_EQ(messages.calls().size(), expectedMessages);
  for (const test::MessageBoxCall& call : messages.calls()) {
    EXPECT_EQ(call.text, gExpectedMessage);
    EXPECT_EQ(call.caption, "error");
    EXPECT_EQ(call.type, 0u);
  }
  test::WriteProtected(slot, reinterpret_cast<void*>(gRealFindResource));
}

}  // namespace
}  // namespace vykcn

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  if (argc != 3) {
    std::fprintf(stderr, "usage: load_failure_tests MODULE-DLL EXPECTED-MESSAGE\n");
    return 2;
  }
  vykcn::gModulePath = argv[1];
  vykcn::gExpectedMessage = argv[2];
  return RUN_ALL_TESTS();
}
