// The toolkit's file access, whose implementation differs per platform (tools/system), held to one
// behaviour: run natively and, built by tests/windows, under Wine.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "system/files.h"

namespace vykcn::test {
namespace {

using tool::system::FileKind;
namespace files = tool::system;

std::vector<std::string> Names(const std::string& folder) {
  std::vector<files::FolderEntry> entries;
  std::string reason;
  EXPECT_TRUE(files::ListFolder(folder, &entries, &reason)) << reason;
  std::vector<std::string> names;
  for (const files::FolderEntry& entry : entries) names.push_back(entry.name + (entry.folder ? "/" : ""));
  std::sort(names.begin(), names.end());
  return names;
}

TEST(SystemFiles, WritesAllOrNothingAndNamesFilesAlikeOnEveryPlatform) {
  // A folder of the test's own (ASCII, as the C++ library makes it on every platform).
  const std::string folder = (std::filesystem::temp_directory_path() /
                              ("vykcn-files-" + std::to_string(std::random_device()()))).string();
  std::filesystem::create_directories(folder + "/sub");
  const std::string chinese = files::JoinPath(folder, "\xE7\xBF\xBB\xE8\xAF\x91.po");  // 翻译.po
  const std::string old = files::JoinPath(folder, "old.bin");
  const std::vector<uint8_t> one = {'1'}, two = {'2', '2'}, three = {'3'};
  size_t failed = 9;
  std::string reason;
  ASSERT_TRUE(files::ReplaceFiles({{old, &one}}, &failed, &reason)) << reason;
  ASSERT_TRUE(files::ReplaceFiles({{chinese, &two}, {old, &three}}, &failed, &reason)) << reason;
  // A second file that cannot be written leaves the first as it was, and no temporary file behind.
  EXPECT_FALSE(files::ReplaceFiles({{old, &one}, {files::JoinPath(folder, "missing/x.bin"), &one}}, &failed, &reason));
  EXPECT_EQ(failed, 1u);
  EXPECT_EQ(reason, "No such file or directory");
  EXPECT_EQ(Names(folder), (std::vector<std::string>{"old.bin", "sub/", "\xE7\xBF\xBB\xE8\xAF\x91.po"}));

  std::vector<uint8_t> bytes;
  EXPECT_TRUE(files::ReadWholeFile(chinese, &bytes, &reason)) << reason;
  EXPECT_EQ(bytes, two);
  EXPECT_TRUE(files::ReadWholeFile(old, &bytes, &reason)) << reason;
  EXPECT_EQ(bytes, three);
  EXPECT_FALSE(files::ReadWholeFile(folder, &bytes, &reason));
  EXPECT_EQ(reason, "Is a directory");

  // A file's size and last write, for telling a change without reading it; a folder made once.
  const files::FileInfo before = files::LookAt(old);
  ASSERT_TRUE(files::ReplaceFiles({{old, &two}}, &failed, &reason)) << reason;
  const files::FileInfo after = files::LookAt(old);
  EXPECT_EQ(before.size, 1u);
  EXPECT_EQ(after.size, 2u);
  EXPECT_NE(before.modified, after.modified);
  EXPECT_EQ(files::LookAt(old).modified, after.modified);
  const std::string made = files::JoinPath(folder, "ç¿»è¯");
  EXPECT_TRUE(files::MakeFolder(made, &reason)) << reason;
  EXPECT_TRUE(files::MakeFolder(made, &reason)) << reason;
  EXPECT_EQ(files::LookAt(made).kind, FileKind::kDirectory);
  EXPECT_FALSE(files::MakeFolder(old, &reason));
  EXPECT_EQ(reason, "File exists");
  EXPECT_FALSE(files::MakeFolder(files::JoinPath(folder, "missing/x"), &reason));
  EXPECT_EQ(reason, "No such file or directory");

  const files::FileInfo file = files::LookAt(chinese), sameFile = files::LookAt(folder + "/sub/../" + "\xE7\xBF\xBB\xE8\xAF\x91.po");
  EXPECT_EQ(file.kind, FileKind::kRegular);
  EXPECT_TRUE(file.SameFileAs(sameFile));
  EXPECT_FALSE(file.SameFileAs(files::LookAt(old)));
  EXPECT_EQ(files::LookAt(folder + "/sub").kind, FileKind::kDirectory);
  const files::FileInfo missing = files::LookAt(folder + "/none.po");
  EXPECT_EQ(missing.kind, FileKind::kMissing);
  EXPECT_EQ(missing.reason, "No such file or directory");
  EXPECT_TRUE(files::CanRead(old, &reason)) << reason;
  EXPECT_EQ(files::PlaceOfNewFile(folder + "/new.bin"), files::PlaceOfNewFile(folder + "/sub/../new.bin"));
  EXPECT_NE(files::PlaceOfNewFile(folder + "/new.bin"), files::PlaceOfNewFile(folder + "/sub/new.bin"));
  EXPECT_EQ(files::LookAt(files::ThisProgram()).kind, FileKind::kRegular);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace vykcn::test
