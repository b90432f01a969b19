#!/usr/bin/env bash
# Keeps the dependencies pointing one way: only src/win32, the toolkit's tools/system/windows (and
# the Windows tests) may see <windows.h> or another Windows header, only src/win32 Direct3D or a
# header of src/win32; only tools/system/posix sees the POSIX headers among the toolkit's sources
# (files, iconv, memory files); nothing portable asks which platform it is on;
# only the decoder's CPU-specific folder (src/lzx/decoder/x86) uses intrinsics, target attributes
# or asks which processor it runs on; the LZX encoder is the toolkit's: nothing else under src/
# includes it or links it, so the module never carries it; the test build's code, and the PO
# string's escapes it shares with the toolkit, are included by its own files alone; the LZX
# decoder's layers point one way (below); and the toolkit's lower
# folders never include its checks or commands, nor those below the set a build makes that set.
# Prints each offending line and exits 1, or prints "layout: ok".
set -uo pipefail
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"

status=0
report() {  # report MESSAGE MATCHES
  if [[ -n "$2" ]]; then
    echo "$1:"
    echo "$2"
    status=1
  fi
}

sources=$(find src tools bench fuzz tests/native -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \
          -o -name '*.S' \) -not -path 'src/win32/*' | sort)
# shellcheck disable=SC2086
report "Windows or Direct3D headers outside src/win32 (and, for Windows headers, tools/system/windows)" \
  "$(grep -nE '^\s*#\s*include\s*[<"](windows\.h|shellapi\.h|io\.h|d3d[0-9a-z_]*\.h|dxgi[0-9a-z_]*\.h|win32/)' $sources \
     | grep -vE '^tools/system/windows/[^:]*:[0-9]+:\s*#\s*include\s*<(windows|shellapi|io)\.h>')"
tool_sources=$(find tools -type f \( -name '*.cpp' -o -name '*.h' \) -not -path 'tools/system/posix/*' -not -path 'tools/system/windows/*' | sort)
# shellcheck disable=SC2086
report "POSIX system headers in the toolkit outside tools/system/posix" \
  "$(grep -nE '^\s*#\s*include\s*<(unistd|fcntl|dirent|iconv|dlfcn|spawn|poll|termios|pthread)\.h>|^\s*#\s*include\s*<sys/' $tool_sources)"
# shellcheck disable=SC2086
report "platform conditionals in portable code" \
  "$(grep -nE '^\s*#\s*(if|ifdef|ifndef|elif)\b.*\b_WIN(32|64)\b' $sources)"

cpu_sources=$(find src tools bench fuzz tests/native -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \
              -o -name '*.S' \) -not -path 'src/lzx/decoder/x86/*' | sort)
# shellcheck disable=SC2086
report "intrinsics or CPU detection outside src/lzx/decoder/x86" \
  "$(grep -nE '^\s*#\s*include\s*<([a-z0-9]*intrin\.h|cpuid\.h)>|__builtin_cpu_(supports|is|init)|__get_cpuid|__cpuid|\b_mm[0-9]*_[a-z]|\b__m(64|128|256|512)[di]?\b|gnu::target\b|__attribute__\s*\(\(\s*target\b|^\s*#\s*(if|ifdef|ifndef|elif)\b.*\b(__x86_64__|__i386__|_M_X64|_M_IX86|__aarch64__|__arm__|__SSE[0-9_]*__|__AVX[0-9]*__|__BMI2?__)\b' $cpu_sources)"

encoder_sources=$(find src -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' -o -name '*.S' \) \
                  -not -path 'src/lzx/encoder/*' | sort)
# shellcheck disable=SC2086
report "the LZX encoder included under src/ outside src/lzx/encoder" \
  "$(grep -nE '^\s*#\s*include\s*[<"]lzx/encoder/' $encoder_sources)"
# Comments aside: a CMakeLists may say why it does not link the encoder.
# shellcheck disable=SC2046
report "the LZX encoder linked by a library of src/ outside src/lzx" \
  "$(grep -nE '^[^#]*\bvykcn_lzx_encoder\b' $(find src -name CMakeLists.txt -not -path 'src/lzx/*' | sort))"

# The test build's code stays out of the shipped module: under src/, only src/capture, src/live and the
# test build's own files of src/win32 (test_build_*) include it, and src/capture includes nothing of
# src/live. (Its link is checked on the link map.)
shipped_sources=$(find src -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' -o -name '*.S' \) \
                  -not -path 'src/capture/*' -not -path 'src/live/*' -not -name 'test_build_*' | sort)
# shellcheck disable=SC2086
report "the test build's code included by a source of the shipped module" \
  "$(grep -nE '^\s*#\s*include\s*[<"](capture/|live/|win32/test_build_)' $shipped_sources)"
report "src/capture including src/live, which lies above it" \
  "$(grep -rnE '^\s*#\s*include\s*[<"]live/' src/capture)"
# Nor does it write PO strings: their escapes (src/formats/po_string) are the test build's and the
# toolkit's alone, in a library the shipped module does not link.
# shellcheck disable=SC2086
report "the PO string's escapes included by a source of the shipped module" \
  "$(grep -nE '^\s*#\s*include\s*[<"]formats/po_string\.h"' $(echo $shipped_sources | tr ' ' '\n' | grep -v '^src/formats/po_string\.'))"

# The LZX decoder's layers, lowest first. A file of the decoder may include the headers of its own
# layer and of the layers below it, never one above; every file of src/lzx/decoder is in a layer;
# the rest of src/ includes the top layer's headers alone, and the testing door only the tests, the
# fuzz targets and the benchmarks.
decoder_layers=(
  "bit stream:bit_stream.h"
  "decode tables:decode_tables.h decode_tables.cpp"
  "block header and item rules:block_header.h block_header.cpp item_rules.h"
  "outputs:match_copy.h window_output.h window_output.cpp direct_output.h direct_output.cpp decoder_state.h"
  "fast loop:item_table.h item_table.cpp fast_loop.h fast_loop_portable.cpp x86/fast_loop_x86.cpp"
  "public calls:chunk_framing.h decompress.h decompress.cpp decompression_context.h decoder_testing.h decoder_testing.cpp"
)
declare -A layer_of layer_name
for i in "${!decoder_layers[@]}"; do
  layer_name[$i]=${decoder_layers[$i]%%:*}
  for file in ${decoder_layers[$i]#*:}; do layer_of[$file]=$i; done
done
decoder=src/lzx/decoder
unplaced="" upward=""
for path in $(find $decoder -type f \( -name '*.cpp' -o -name '*.h' \) | sort); do
  file=${path#"$decoder"/}
  if [[ -z ${layer_of[$file]+set} ]]; then
    unplaced+="$path"$'\n'
    continue
  fi
  while IFS=: read -r line included; do
    [[ -n $included ]] || continue
    target=${layer_of[$included]-}
    if [[ -n $target && $target -gt ${layer_of[$file]} ]]; then
      upward+="$path:$line: ${layer_name[${layer_of[$file]}]} includes ${layer_name[$target]} ($included)"$'\n'
    fi
  done < <(grep -nE '^\s*#\s*include\s*"lzx/decoder/' "$path" | sed -E 's|^([0-9]+):.*"lzx/decoder/([^"]+)".*|\1:\2|')
done
report "files of src/lzx/decoder in no layer of scripts/check-layout.sh" "${unplaced%$'\n'}"
report "an include from a lower layer of the decoder to a higher one" "${upward%$'\n'}"
outside=$(find src -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' \) -not -path "$decoder/*" | sort)
# shellcheck disable=SC2086
report "the decoder's inner headers included under src/ (only decompress.h and chunk_framing.h)" \
  "$(grep -nE '^\s*#\s*include\s*"lzx/decoder/' $outside | grep -vE '"lzx/decoder/(decompress|chunk_framing)\.h"')"
# shellcheck disable=SC2046
report "the decoder's testing door included outside the tests, fuzz targets and benchmarks" \
  "$(grep -nE '^\s*#\s*include\s*"lzx/decoder/decoder_testing\.h"' $(find src tools -type f \( -name '*.cpp' -o -name '*.h' \) -not -path "$decoder/decoder_testing.cpp" | sort))"

# The toolkit's folders below the checks (the set a build makes, rendering, the placeholder table of
# text_syntax, translators' files, font building, module reading, common) never include the checks
# or the commands: the checks are passes over the built set, and the table of placeholders is shared
# from below, so that the line breaker and the checks read one table. The set is built from the
# folders below it, which never include it.
set_sources=$(find tools/translation_set -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
lower_tool_sources=$(find tools/rendering tools/text_syntax tools/text_sources tools/font_building \
                     tools/module_reading tools/common -type f \( -name '*.cpp' -o -name '*.h' \) | sort)
# shellcheck disable=SC2086
report "the checks or the commands included by a folder of the toolkit below them" \
  "$(grep -nE '^\s*#\s*include\s*"(checks|commands|live_translations)/' $set_sources $lower_tool_sources)"
# shellcheck disable=SC2086
report "the set a build makes (tools/translation_set) included by a folder of the toolkit below it" \
  "$(grep -nE '^\s*#\s*include\s*"translation_set/' $lower_tool_sources)"

[[ $status -eq 0 ]] && echo "layout: ok"
exit $status
