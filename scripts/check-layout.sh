#!/usr/bin/env bash
# Keeps the dependencies pointing one way: only src/win32 (and the Windows tests) may see
# <windows.h>, Direct3D or a header of src/win32; nothing portable asks which platform it is on;
# and the LZX encoder is the toolkit's: nothing else under src/ includes it or links it, so the
# module never carries it.
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
report "Windows or Direct3D headers outside src/win32" \
  "$(grep -nE '^\s*#\s*include\s*[<"](windows\.h|d3d[0-9a-z_]*\.h|dxgi[0-9a-z_]*\.h|win32/)' $sources)"
# shellcheck disable=SC2086
report "platform conditionals in portable code" \
  "$(grep -nE '^\s*#\s*(if|ifdef|ifndef|elif)\b.*\b_WIN(32|64)\b' $sources)"

encoder_sources=$(find src -type f \( -name '*.c' -o -name '*.cpp' -o -name '*.h' -o -name '*.S' \) \
                  -not -path 'src/lzx/encoder/*' | sort)
# shellcheck disable=SC2086
report "the LZX encoder included under src/ outside src/lzx/encoder" \
  "$(grep -nE '^\s*#\s*include\s*[<"]lzx/encoder/' $encoder_sources)"
# Comments aside: a CMakeLists may say why it does not link the encoder.
# shellcheck disable=SC2046
report "the LZX encoder linked by a library of src/ outside src/lzx" \
  "$(grep -nE '^[^#]*\bvykcn_lzx_encoder\b' $(find src -name CMakeLists.txt -not -path 'src/lzx/*' | sort))"

[[ $status -eq 0 ]] && echo "layout: ok"
exit $status
