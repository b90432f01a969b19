#!/usr/bin/env bash
# Builds the Decompress fuzz target (clang-14, libFuzzer, ASan+UBSan; CMake option VYKCN_FUZZ) and
# runs it for SECONDS on one core, starting from the seed corpus in fuzz/corpus. New inputs go to a
# working corpus under the run directory, so the repository's seeds stay small; findings are
# written to its findings folder.
#   fuzz/run-fuzz.sh SECONDS [RUN_DIR]
set -euo pipefail

seconds=${1:?usage: fuzz/run-fuzz.sh SECONDS [RUN_DIR]}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
run=${2:-$root/build/fuzz}
build=$root/build/fuzz-build
mkdir -p "$run/corpus" "$run/findings"
run=$(cd "$run" && pwd)  # the fuzzer runs from the findings folder

CC=clang-14 CXX=clang++-14 cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DVYKCN_FUZZ=ON >/dev/null
cmake --build "$build" --target decompress_fuzzer

cd "$run/findings"
"$build/fuzz/decompress_fuzzer" -max_total_time="$seconds" -max_len=262144 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$run/corpus" "$root/fuzz/corpus"
