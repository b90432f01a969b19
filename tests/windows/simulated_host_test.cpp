// The test build of the module loaded into a simulated host: patches, hooks and exports.
// Run once per host layout (--host=expected|mismatch|none), each in a process of its own,
// since the module patches the host when it is loaded.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "win32/host_contract.h"
#include "host_glyphs.h"
#include "simulated_host.h"
#include "test_support.h"

namespace vykcn {
namespace {

using test::HostGlyph;
using test::HostLayout;
using test::SimulatedHost;

std::string gLayout = "expected";
// The translated host's module: the test build's, or (--module=PATH) one that vykcn-tool build wrote.
std::string gTranslatedModule = "translated-module\\vykcn.dll";
constexpr const char* kDecoratedExport = "?ReplaceSubtitle@@YAPEBDPEBD@Z";
using ReplaceSubtitleFn = const char* (*)(const char*);

template <typename F>
F Export(HMODULE module, const char* name) {
  return reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
}

std::vector<uint8_t> BytesAt(uintptr_t address, size_t n) {
  const auto* p = reinterpret_cast<const uint8_t*>(address);
  return std::vector<uint8_t>(p, p + n);
}

bool InsideModule(HMODULE module, uint64_t address) {
  auto* base = reinterpret_cast<uint8_t*>(module);
  auto* nt = reinterpret_cast<IMAGE_NT_HEADERS*>(base + reinterpret_cast<IMAGE_DOS_HEADER*>(base)->e_lfanew);
  const uint64_t start = reinterpret_cast<uint64_t>(base);
  return address >= start && address < start + nt->OptionalHeader.SizeOfImage;
}

// The stub "mov rax, imm64; jmp rax" and `nops` no-ops; returns the routine address it holds.
uint64_t ExpectStub(uintptr_t at, size_t nops) {
  const auto bytes = BytesAt(at, 12 + nops);
  EXPECT_EQ(bytes[0], 0x48);
  EXPECT_EQ(bytes[1], 0xB8);
  EXPECT_EQ(bytes[10], 0xFF);
  EXPECT_EQ(bytes[11], 0xE0);
  for (size_t i = 0; i < nops; ++i) EXPECT_EQ(bytes[12 + i], 0x90) << i;
  uint64_t routine;
  std::memcpy(&routine, bytes.data() + 2, 8);
  return routine;
}

class PatchedHost : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(host_.Map(HostLayout::kExpected));
    siteBytesBefore_ = BytesAt(host::kGlyphPatchSite, 1);
    dialogueLastByte_ = *reinterpret_cast<uint8_t*>(host::kDialoguePatchSite + 16);
    module_ = test::LoadRelative("fixture-module\\vykcn.dll");
  }
  void SetUp() override {
    ASSERT_NE(module_, nullptr);
    messages_ = std::make_unique<test::MessageBoxRecorder>(module_);
  }
  static SimulatedHost host_;
  static HMODULE module_;
  static std::vector<uint8_t> siteBytesBefore_;
  static uint8_t dialogueLastByte_;
  std::unique_ptr<test::MessageBoxRecorder> messages_;
};
SimulatedHost PatchedHost::host_;
HMODULE PatchedHost::module_ = nullptr;
std::vector<uint8_t> PatchedHost::siteBytesBefore_;
uint8_t PatchedHost::dialogueLastByte_ = 0;

TEST_F(PatchedHost, SitesHoldTheDisplacementAndTheStubs) {
  for (uintptr_t site : {host::kGlyphPatchSite, host::kSubtitlePatchSite}) {
    EXPECT_EQ(BytesAt(site, 5), (std::vector<uint8_t>{0xE8, 0x0A, 0x00, 0x00, 0x00}));
  }
  const uint64_t glyphHook = ExpectStub(host::kGlyphStubPlace, 2);
  const uint64_t subtitleHook = ExpectStub(host::kSubtitleStubPlace, 2);
  const uint64_t trampoline = ExpectStub(host::kDialoguePatchSite, 4);
  EXPECT_TRUE(InsideModule(module_, glyphHook));
  EXPECT_TRUE(InsideModule(module_, subtitleHook));
  EXPECT_TRUE(InsideModule(module_, trampoline));
  EXPECT_NE(glyphHook, subtitleHook);
  EXPECT_EQ(*reinterpret_cast<uint8_t*>(host::kDialoguePatchSite + 16), dialogueLastByte_);
  EXPECT_EQ(BytesAt(host::kGlyphPatchSite, 1), siteBytesBefore_);
}

TEST_F(PatchedHost, ProtectionsAreRestored) {
  for (uintptr_t at : {host::kGlyphPatchSite, host::kGlyphStubPlace, host::kSubtitlePatchSite,
                       host::kSubtitleStubPlace, host::kDialoguePatchSite}) {
    EXPECT_EQ(test::ProtectionAt(at), static_cast<DWORD>(PAGE_EXECUTE_READ)) << std::hex << at;
  }
}

TEST_F(PatchedHost, ModuleIsPinned) {
  EXPECT_TRUE(FreeLibrary(module_));
  EXPECT_EQ(GetModuleHandleA("vykcn"), module_);
}

TEST_F(PatchedHost, EveryPassOfTheGlyphSiteHandsOutAScaledTable) {
  static GlyphRecord hostGlyphs[] = {HostGlyph('A', 19), HostGlyph('M', 20)};
  test::HostFontObject& font = host_.font();
  font.glyphArray = hostGlyphs;
  font.glyphCount = 2;
  const uint64_t callsBefore = host_.recorder().continueCalls;

  std::vector<GlyphRecord*> handedOut;
  for (int pass = 0; pass < 3; ++pass) {
    host_.RunGlyphSite();
    handedOut.push_back(font.glyphArray);
    // HostContinue runs with the stack exactly as the site's call left it.
    EXPECT_EQ(host_.recorder().continueRsp, host_.recorder().siteRsp - 8);
  }
  EXPECT_EQ(host_.recorder().continueCalls, callsBefore + 3);
  EXPECT_EQ(font.glyphCount, 3u);  // the fixture table's three records
  EXPECT_NE(handedOut[0], hostGlyphs);
  EXPECT_NE(handedOut[0], handedOut[1]);
  EXPECT_NE(handedOut[1], handedOut[2]);
  const GlyphRecord& m = font.glyphArray[1];
  EXPECT_EQ(m.code, 'M');
  EXPECT_EQ(m.height, 20);
  EXPECT_EQ(m.offsetY, -20);
  EXPECT_EQ(m.advance, 24);
  EXPECT_TRUE(messages_->calls().empty());
}

TEST_F(PatchedHost, DialogueSiteReplaysTheDisplacedInstructions) {
  uint32_t r14Value = 0xCAFE1234;
  const char* text = "no translation for this";
  host_.RunDialogueSite(text, &r14Value);
  const test::HostRecorder& r = host_.recorder();
  EXPECT_EQ(r.rbx, reinterpret_cast<uint64_t>(text));
  EXPECT_EQ(r.rcx, 0xCAFE1234u);
  EXPECT_EQ(r.r8, r.dialogueRsp + 0xB0);
  EXPECT_EQ(r.r9, 1024u);

  host_.RunDialogueSite(nullptr, &r14Value);
  EXPECT_EQ(host_.recorder().rbx, 0u);
}

TEST_F(PatchedHost, SubtitleSiteWithABrokenResourceReportsOnEveryPass) {
  // The fixture's resource 102 claims 424676 bytes but carries a 3-byte stream, which decodes to
  // nothing: every pass tries the load again, says so, and leaves the host's text alone.
  const char* text = "Some subtitle";
  host_.currentSubtitle() = text;
  const uint64_t callsBefore = host_.recorder().continueCalls;
  host_.RunSubtitleSite();
  host_.RunSubtitleSite();
  EXPECT_EQ(host_.currentSubtitle(), text);
  EXPECT_EQ(host_.recorder().continueCalls, callsBefore + 2);
  EXPECT_EQ(host_.recorder().continueRsp, host_.recorder().siteRsp - 8);
  ASSERT_EQ(messages_->calls().size(), 2u);
  for (const test::MessageBoxCall& call : messages_->calls()) {
    EXPECT_EQ(call.text, "decomp size mismatch");
    EXPECT_EQ(call.caption, "error");
    EXPECT_EQ(call.type, 0u);
  }
}

TEST_F(PatchedHost, ExportIsReachableByNameAndOrdinal) {
  auto byName = Export<ReplaceSubtitleFn>(module_, kDecoratedExport);
  auto byOrdinal = Export<ReplaceSubtitleFn>(module_, MAKEINTRESOURCEA(1));
  ASSERT_NE(byName, nullptr);
  EXPECT_EQ(byName, byOrdinal);
  EXPECT_EQ(byName(nullptr), nullptr);
}

class MismatchedHost : public ::testing::Test {};

TEST_F(MismatchedHost, ASiteWithOtherBytesIsLeftUntouched) {
  SimulatedHost host;
  ASSERT_TRUE(host.Map(HostLayout::kSubtitleMismatch));
  const auto siteBefore = BytesAt(host::kSubtitlePatchSite, 5);
  const auto stubBefore = BytesAt(host::kSubtitleStubPlace, 14);
  HMODULE module = test::LoadRelative("fixture-module\\vykcn.dll");
  ASSERT_NE(module, nullptr);
  EXPECT_EQ(BytesAt(host::kSubtitlePatchSite, 5), siteBefore);
  EXPECT_EQ(BytesAt(host::kSubtitleStubPlace, 14), stubBefore);
  // The other two sites are still patched.
  EXPECT_EQ(BytesAt(host::kGlyphPatchSite + 1, 4), (std::vector<uint8_t>{0x0A, 0, 0, 0}));
  ExpectStub(host::kDialoguePatchSite, 4);
}

class NoHost : public ::testing::Test {};

TEST_F(NoHost, LoadingPatchesNothingAndUnloads) {
  HMODULE module = test::LoadRelative("fixture-module\\vykcn.dll");
  ASSERT_NE(module, nullptr);
  {
    test::MessageBoxRecorder messages(module);  // gone before the module is
    auto replace = Export<ReplaceSubtitleFn>(module, kDecoratedExport);
    ASSERT_NE(replace, nullptr);
    EXPECT_EQ(replace(nullptr), nullptr);
  }
  // Nothing was patched, so nothing pins the module: it unloads, detach and all.
  EXPECT_TRUE(FreeLibrary(module));
  EXPECT_EQ(GetModuleHandleA("vykcn"), nullptr);
}

class TranslatedHost : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(host_.Map(HostLayout::kExpected));
    module_ = test::LoadRelative(gTranslatedModule);
  }
  void SetUp() override {
    ASSERT_NE(module_, nullptr);
    messages_ = std::make_unique<test::MessageBoxRecorder>(module_);
  }
  void TearDown() override { EXPECT_TRUE(messages_->calls().empty()); }

  // Runs the subtitle site on `text` and returns what the host's pointer then reads.
  std::string SubtitleAfterSite(const char* text) {
    host_.currentSubtitle() = text;
    const uint64_t calls = host_.recorder().continueCalls;
    host_.RunSubtitleSite();
    EXPECT_EQ(host_.recorder().continueCalls, calls + 1);
    return host_.currentSubtitle() == text ? "<unchanged>" : host_.currentSubtitle();
  }

  static SimulatedHost host_;
  static HMODULE module_;
  std::unique_ptr<test::MessageBoxRecorder> messages_;
};
SimulatedHost TranslatedHost::host_;
HMODULE TranslatedHost::module_ = nullptr;

TEST_F(TranslatedHost, SubtitleSiteSwapsTheHostPointer) {
  EXPECT_EQ(SubtitleAfterSite("Welcome home."), "欢迎回家。");
  EXPECT_EQ(SubtitleAfterSite("Open the door!"), "开门");  // without its last byte
  EXPECT_EQ(SubtitleAfterSite("Run away!?"), "快跑");      // without its last two bytes
  EXPECT_EQ(SubtitleAfterSite("Halt!"), "OK");            // without its last byte, then the second pass
  EXPECT_EQ(SubtitleAfterSite("Nothing like it"), "<unchanged>");
  EXPECT_EQ(SubtitleAfterSite("OKx"), "<unchanged>");  // 3 bytes: no fallback
  EXPECT_EQ(SubtitleAfterSite("Still a draft"), "<unchanged>");
}

TEST_F(TranslatedHost, DialogueSiteHandsTheHostTheTranslationInRbx) {
  uint32_t r14Value = 7;
  host_.RunDialogueSite("Who goes there?", &r14Value);
  const test::HostRecorder& r = host_.recorder();
  ASSERT_NE(r.rbx, 0u);
  EXPECT_STREQ(reinterpret_cast<const char*>(r.rbx), "谁在那儿？");
  EXPECT_EQ(r.rcx, 7u);
  EXPECT_EQ(r.r8, r.dialogueRsp + 0xB0);
  EXPECT_EQ(r.r9, 1024u);
}

// Detach runs at process exit, after the tests have reported. The module's frees are observed
// through its import of free, and the verdict is written out as the process ends.
void* gIssuedTables[3];
void (*gRealFree)(void*) = nullptr;
int gTimesFreed[3];

void WriteOut(const std::string& line) {
  DWORD written;
  WriteFile(GetStdHandle(STD_OUTPUT_HANDLE), line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
}

void RecordingFree(void* p) {
  int freedNow = 0, freedTwice = 0;
  for (int i = 0; i < 3; ++i) {
    if (p == gIssuedTables[i]) ++gTimesFreed[i];
    freedNow += gTimesFreed[i] >= 1;
    freedTwice += gTimesFreed[i] >= 2;
  }
  if (p != nullptr && (p == gIssuedTables[0] || p == gIssuedTables[1] || p == gIssuedTables[2])) {
    WriteOut("glyph tables freed at detach: " + std::to_string(freedNow) + " of 3, " +
             std::to_string(freedTwice) + " twice\n");
  }
  gRealFree(p);
}

class DetachingHost : public ::testing::Test {};

TEST_F(DetachingHost, GlyphTablesHandedOutAreFreedOnceAtExit) {
  static SimulatedHost host;
  ASSERT_TRUE(host.Map(HostLayout::kExpected));
  HMODULE module = test::LoadRelative("fixture-module\\vykcn.dll");
  ASSERT_NE(module, nullptr);
  static GlyphRecord hostGlyphs[] = {HostGlyph('M', 25)};
  host.font().glyphArray = hostGlyphs;
  host.font().glyphCount = 1;
  for (void*& table : gIssuedTables) {
    host.RunGlyphSite();
    table = host.font().glyphArray;
  }
  void** slot = test::FindImportSlot(module, "msvcrt.dll", "free");
  ASSERT_NE(slot, nullptr);
  gRealFree = reinterpret_cast<void (*)(void*)>(*slot);
  test::WriteProtected(slot, reinterpret_cast<void*>(&RecordingFree));
  for (int times : gTimesFreed) EXPECT_EQ(times, 0);  // nothing is freed before detach
}

}  // namespace
}  // namespace vykcn

int main(int argc, char** argv) {
  ::testing::InitGoogleTest(&argc, argv);
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg.rfind("--host=", 0) == 0) vykcn::gLayout = arg.substr(7);
    if (arg.rfind("--module=", 0) == 0) vykcn::gTranslatedModule = arg.substr(9);
  }
  const char* filter = vykcn::gLayout == "expected"   ? "PatchedHost.*"
                       : vykcn::gLayout == "mismatch" ? "MismatchedHost.*"
                       : vykcn::gLayout == "detach"   ? "DetachingHost.*"
                       : vykcn::gLayout == "translated" ? "TranslatedHost.*"
                                                      : "NoHost.*";
  ::testing::GTEST_FLAG(filter) = filter;
  return RUN_ALL_TESTS();
}
