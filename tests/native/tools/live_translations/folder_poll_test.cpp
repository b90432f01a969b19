// watch's look at a folder: each change named once, by content, whatever the file system's times say.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

#include "live_translations/folder_poll.h"
#include "tools/support/test_files.h"

namespace vykcn::test {
namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::string>;
using tool::FolderChanges;
using tool::FolderPoll;

TEST(FolderPoll, NamesEachChangeOnceByContent) {
  TempDir dir;
  const std::string set = dir.Path("set"), a = set + "/a.po", b = set + "/sub/b.CSV", c = set + "/c.po";
  fs::create_directories(set + "/sub");
  dir.Write("set/a.po", "one");
  dir.Write("set/sub/b.CSV", "two");
  dir.Write("set/notes.txt", "not a translators' file");
  // The same size and the same time as before, as a file system with coarse times gives a quick edit.
  const auto sameSizeAndTime = [&](const std::string& path, const std::string& content) {
    const fs::file_time_type time = fs::last_write_time(path);
    std::ofstream(path, std::ios::binary | std::ios::trunc) << content;
    fs::last_write_time(path, time);
  };
  struct Step {
    std::function<void()> change;
    Paths added, changed, removed;
    bool problem = false;
  };
  const Step steps[] = {
      {[] {}, {a, b}, {}, {}},
      {[] {}, {}, {}, {}},
      {[&] { dir.Write("set/a.po", "one"); }, {}, {}, {}},  // written again, the same bytes
      {[&] { sameSizeAndTime(a, "uno"); }, {}, {a}, {}},
      {[&] { dir.Write("set/c.po", "three"); fs::remove(b); }, {c}, {}, {b}},
      {[&] { fs::rename(set, set + "-away"); }, {}, {}, {}, true},
      {[] {}, {}, {}, {}},  // the problem said once
      {[&] { fs::rename(set + "-away", set); dir.Write("set/c.po", "drei"); }, {}, {c}, {}},
  };
  FolderPoll poll(set);
  for (size_t i = 0; i < std::size(steps); ++i) {
    SCOPED_TRACE(i);
    steps[i].change();
    const FolderChanges changes = poll.Look();
    EXPECT_EQ(changes.added, steps[i].added);
    EXPECT_EQ(changes.changed, steps[i].changed);
    EXPECT_EQ(changes.removed, steps[i].removed);
    EXPECT_EQ(!changes.problem.empty(), steps[i].problem) << changes.problem;
  }
  EXPECT_EQ(poll.Paths(), (Paths{a, c}));
}

}  // namespace
}  // namespace vykcn::test
