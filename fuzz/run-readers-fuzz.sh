#!/usr/bin/env bash
# Builds the toolkit readers' fuzz target (clang-14, libFuzzer, ASan+UBSan; CMake option VYKCN_FUZZ)
# and runs it for SECONDS on one core from the seeds in fuzz/readers_corpus. New inputs go to a
# working corpus under the run directory; findings to its findings folder.
#   fuzz/run-readers-fuzz.sh SECONDS [RUN_DIR]
set -euo pipefail

seconds=${1:?usage: fuzz/run-readers-fuzz.sh SECONDS [RUN_DIR]}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
run=${2:-$root/build/readers-fuzz}
build=$root/build/fuzz-build
mkdir -p "$run/corpus" "$run/findings"
run=$(cd "$run" && pwd)  # the fuzzer runs from the findings folder

CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVYKCN_FUZZ=ON >/dev/null
cmake --build "$build" --target toolkit_readers_fuzzer

cd "$run/findings"
"$build/fuzz/toolkit_readers_fuzzer" -max_total_time="$seconds" -max_len=65536 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$run/corpus" "$root/fuzz/readers_corpus"
