#!/usr/bin/env bash
# Builds the Decompress fuzz target (clang-14, libFuzzer, ASan+UBSan) and runs it for SECONDS on one
# core, starting from the seed corpus in fuzz/corpus. New inputs go to a working corpus under the
# build directory, so the repository's seeds stay small; findings are written to build/fuzz/.
#   fuzz/run-fuzz.sh SECONDS [BUILD_DIR]
set -euo pipefail

seconds=${1:?usage: fuzz/run-fuzz.sh SECONDS [BUILD_DIR]}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build=${2:-$root/build/fuzz}
mkdir -p "$build/corpus" "$build/findings"
build=$(cd "$build" && pwd)  # the fuzzer runs from the findings folder

decoder_sources=(context_memory decompression_context huffman_table tree_reader block_decoder
                 call_translation chunk_framing pending_raw)
sources=("$root/fuzz/decompress_fuzzer.cpp")
for s in "${decoder_sources[@]}"; do sources+=("$root/src/lzx/$s.cpp"); done

clang++-14 -std=c++17 -O2 -g -fno-omit-frame-pointer \
  -fsanitize=fuzzer,address,undefined -fno-sanitize-recover=undefined \
  -I "$root/src" "${sources[@]}" -o "$build/decompress_fuzzer"

cd "$build/findings"
"$build/decompress_fuzzer" -max_total_time="$seconds" -max_len=262144 -timeout=10 -rss_limit_mb=2048 \
  -print_final_stats=1 "$build/corpus" "$root/fuzz/corpus"
