#!/usr/bin/env bash
# Builds every benchmark and runs it, printing its table: the LZX decoder and encoder against
# their peers, BC3 alpha quality, the atlas's capacity per glyph height, and the first and warm
# subtitle lookups on the shipped set's size and on a full game's script, natively and under Wine,
# the translator's loop (make) on a whole game's set, and check and diff on a game's files beside
# msgfmt -c.
# Not tests: nothing here passes or fails on a figure; a benchmark that cannot run says so and the
# rest go on.
#   scripts/run-benchmarks.sh [BUILD_DIR]
set -uo pipefail

build=${1:-build}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=$(nproc)
status=0

run() {  # run TITLE COMMAND...
  echo
  echo "== $1"
  shift
  "$@" || { echo "(failed: $*)"; status=1; }
}

cmake -S . -B "$build/bench" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVYKCN_BENCH=ON >/dev/null || exit 1
cmake --build "$build/bench" -j "$jobs" >/dev/null || exit 1
# Configured as `make` configures the Windows build: its tool, its remembered settings.
cmake -S . -B "$build/bench-windows" -G Ninja -DCMAKE_BUILD_TYPE=Release -DVYKCN_BENCH=ON \
  -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake -DVYKCN_TOOL="$(realpath "$build/native/tools/vykcn-tool")" \
  -C "$build/settings.cmake" >/dev/null || exit 1
cmake --build "$build/bench-windows" -j "$jobs" --target lookup_bench >/dev/null || exit 1

bench=$build/bench/bench
corpora=$build/bench/lookup-corpora
run "LZX decoder" "$bench/lzx_decompress_bench" --seconds 2
run "LZX encoder" "$bench/lzx_compress_bench"
run "BC3 alpha" "$bench/bc3_alpha_bench"
run "atlas capacity" "$bench/atlas_capacity_bench"
run "lookup corpus: the shipped set's size" "$bench/lookup_bench" --write-corpus "$corpora/shipped"
run "lookup corpus: a full game's script" "$bench/lookup_bench" --write-corpus "$corpora/full-game" --records 100000
run "make on a whole game's set: full build, nothing new, one line edited" \
  bash bench/build_bench.sh "$build/build-bench" "$bench/game_set_writer"
game_set=$build/build-bench/game-set
[[ -f "$game_set/script-20.po" ]] || "$bench/game_set_writer" "$game_set" >/dev/null
run "from a saved edit to the module serving it: watch's repack and the module's reload" \
  "$bench/live_reload_bench" "$build/bench/tools/vykcn-tool" "$game_set" "$build/bench/live-reload"
run "check and diff on a game's files, beside msgfmt -c on the same files" \
  bash bench/check_bench.sh "$build/check-bench" "$bench/game_set_writer" "$build/bench/tools/vykcn-tool"
for corpus in shipped full-game; do
  run "lookups, $corpus, native" "$bench/lookup_bench" --corpus "$corpora/$corpus"
  run "lookups, $corpus, Wine" bash scripts/wine-run.sh "$build/bench-windows/lookup_bench.exe" --corpus "$corpora/$corpus"
done
exit $status
