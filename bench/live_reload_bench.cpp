// From a saved edit to the test build serving it, on a whole game's set (game_set_writer's 100,000
// lines in 20 PO files): `vykcn-tool watch` runs on a copy of the set, one line of one file is
// edited, and the time from the file's write to vykcn-live/translations.bin renamed into place is
// taken (the watch's look every 200 ms included, as a translator waits for it); then the written
// file is decoded by the module's one load call, LoadTranslationResource. Both, and their sum, are
// the median of the rounds; beside them, the peers a translator would run instead: a full pack-text
// of the set at the default level, and msgfmt of the edited file.
//
// usage: live_reload_bench VYKCN_TOOL SET_DIR WORK_DIR [--rounds N]
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

#include "translation/translation_loader.h"
#include "translation/translation_table.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

double Seconds(Clock::time_point from, Clock::time_point to) { return std::chrono::duration<double>(to - from).count(); }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

pid_t Spawn(const std::vector<std::string>& command, const std::string& output) {
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 1, output.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
  posix_spawn_file_actions_addopen(&actions, 2, output.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
  std::vector<char*> argv;
  for (const std::string& part : command) argv.push_back(const_cast<char*>(part.c_str()));
  argv.push_back(nullptr);
  pid_t child = -1;
  if (posix_spawnp(&child, argv[0], &actions, nullptr, argv.data(), environ) != 0) child = -1;
  posix_spawn_file_actions_destroy(&actions);
  return child;
}

int Wait(pid_t child) {
  int status = 0;
  if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

// Seconds a command takes, or a negative number when it fails.
double TimeCommand(const std::vector<std::string>& command, const std::string& output) {
  const Clock::time_point start = Clock::now();
  const pid_t child = Spawn(command, output);
  if (child < 0 || Wait(child) != 0) return -1;
  return Seconds(start, Clock::now());
}

// The file's inode, which a rename into place changes; 0 when it is missing.
ino_t Inode(const std::string& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 ? info.st_ino : 0;
}

std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// The file with the `n`th translation that is one line long ("msgstr "..."" not empty) given a
// character it already uses more, as a translator's one-line edit would.
std::string EditedLine(const std::string& text, int n) {
  size_t at = 0;
  for (int seen = 0;; ++seen) {
    at = text.find("\nmsgstr \"", at + 1);
    if (at == std::string::npos) return "";
    const size_t end = text.find('\n', at + 1);
    if (end == std::string::npos || text[at + 9] == '"' || text[end - 1] != '"') continue;
    if (seen < n) continue;
    std::string edited = text;
    edited.insert(end - 1, "\xE7\x9A\x84");  // 的
    return edited;
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 4) {
    std::fprintf(stderr, "usage: live_reload_bench VYKCN_TOOL SET_DIR WORK_DIR [--rounds N]\n");
    return 1;
  }
  const std::string tool = argv[1], setSource = argv[2], work = argv[3];
  const int rounds = argc > 5 && std::strcmp(argv[4], "--rounds") == 0 ? std::max(1, std::atoi(argv[5])) : 5;
  const std::string set = work + "/set", game = work + "/game", log = work + "/watch.log";
  const std::string live = game + "/vykcn-live/translations.bin";
  fs::remove_all(work);
  fs::create_directories(game);
  fs::copy(setSource, set, fs::copy_options::recursive);
  const std::string edited = set + "/script-07.po";
  const std::string original = ReadText(edited);

  const pid_t watch = Spawn({tool, "watch", set, "--into", game}, log);
  if (watch < 0) {
    std::fprintf(stderr, "live_reload_bench: cannot run %s\n", tool.c_str());
    return 1;
  }
  const auto waitForNew = [&live](ino_t before, double limit) {
    const Clock::time_point start = Clock::now();
    while (Inode(live) == before || Inode(live) == 0) {
      if (Seconds(start, Clock::now()) > limit) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return true;
  };
  bool ok = waitForNew(0, 300);
  std::vector<double> repacks, reloads;
  size_t records = 0;
  for (int round = 0; ok && round < rounds; ++round) {
    const std::string text = EditedLine(round == 0 ? original : ReadText(edited), 100 + round);
    const ino_t before = Inode(live);
    const Clock::time_point saved = Clock::now();
    std::ofstream(edited, std::ios::binary | std::ios::trunc) << text;
    ok = waitForNew(before, 30);
    if (!ok) break;
    repacks.push_back(Seconds(saved, Clock::now()));
    const std::string resource = ReadText(live);
    vykcn::TranslationTable table;
    const Clock::time_point start = Clock::now();
    const vykcn::LoadStatus status =
        vykcn::LoadTranslationResource(reinterpret_cast<const uint8_t*>(resource.data()), resource.size(), table);
    reloads.push_back(Seconds(start, Clock::now()));
    ok = status == vykcn::LoadStatus::kLoaded;
    records = table.size();
  }
  kill(watch, SIGINT);
  const int watchStatus = Wait(watch);
  size_t leftovers = 0;
  for (const fs::directory_entry& entry : fs::directory_iterator(game + "/vykcn-live")) {
    leftovers += entry.path().filename() != "translations.bin";
  }
  if (!ok || repacks.empty()) {
    std::fprintf(stderr, "live_reload_bench: the watch wrote no new file, or the module refused it (see %s)\n", log.c_str());
    return 1;
  }

  std::ofstream(edited, std::ios::binary | std::ios::trunc) << original;
  const double packText = TimeCommand({tool, "pack-text", set, "-o", work + "/full.bin"}, work + "/pack-text.log");
  const double msgfmt = TimeCommand({"msgfmt", "-o", work + "/script-07.mo", edited}, work + "/msgfmt.log");

  const double repack = Median(repacks), reload = Median(reloads), sum = repack + reload;
  std::printf("a one-line edit of %s, %d rounds (medians), %zu records served\n", edited.c_str(), rounds, records);
  std::printf("%-58s %8s\n", "from a saved edit to the module serving it", "seconds");
  std::printf("%-58s %8.3f\n", "watch: saved -> translations.bin renamed into place", repack);
  std::printf("%-58s %8.3f\n", "module: LoadTranslationResource of it (native)", reload);
  std::printf("%-58s %8.3f   (under 1 s asked)\n", "sum", sum);
  std::printf("%-58s %8.3f\n", "peer: pack-text of the whole set, default level", packText);
  std::printf("%-58s %8.3f\n", "peer: msgfmt of the edited file", msgfmt);
  if (packText > 0) std::printf("sum / pack-text: %.3f\n", sum / packText);
  if (msgfmt > 0) std::printf("sum / msgfmt:    %.3f\n", sum / msgfmt);
  std::printf("watch stopped by SIGINT: exit %d, %zu temporary file%s left\n", watchStatus, leftovers,
              leftovers == 1 ? "" : "s");
  return 0;
}
