#!/usr/bin/env bash
# Builds a fuzz target (clang-14, libFuzzer, ASan+UBSan; CMake option VYKCN_FUZZ) and runs it for
# SECONDS on one core, starting from the seeds in fuzz/corpus (valid streams) and fuzz/regressions
# (inputs earlier runs found interesting). New inputs go to a working corpus under the run
# directory, so the repository's seeds stay small; findings are written to its findings folder.
#   fuzz/run-fuzz.sh SECONDS [RUN_DIR] [TARGET]
# TARGET: decompress_fuzzer (default; run directory build/fuzz) or differential_fuzzer (the current
# decoder against the frozen reference; build/fuzz-differential).
set -euo pipefail

seconds=${1:?usage: fuzz/run-fuzz.sh SECONDS [RUN_DIR] [TARGET]}
target=${3:-decompress_fuzzer}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
case $target in
  decompress_fuzzer) default_run=$root/build/fuzz ;;
  differential_fuzzer) default_run=$root/build/fuzz-differential ;;
  *) echo "unknown fuzz target: $target" >&2; exit 2 ;;
esac
run=${2:-$default_run}
build=$root/build/fuzz-build
mkdir -p "$run/corpus" "$run/findings"
run=$(cd "$run" && pwd)  # the fuzzer runs from the findings folder

CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVYKCN_FUZZ=ON >/dev/null
cmake --build "$build" --target "$target"

cd "$run/findings"
"$build/fuzz/$target" -max_total_time="$seconds" -max_len=262144 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$run/corpus" "$root/fuzz/corpus" "$root/fuzz/regressions"
