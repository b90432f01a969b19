#!/usr/bin/env bash
# The test build's glyph table and font atlas. The host makes its font texture once, so they must
# already hold what a reload may bring: the characters the shipped module's have (printable ASCII,
# the Latin extras, the set's), GB 2312's rows 1, 3 and 16-87 (its symbols, full-width forms and
# 6,763 ideographs) and EXTRA_CHARS' characters, at the shipped module's 'M' height, in a 4096 x 2048
# atlas, or 4096 x 4096 where that is too small. Nothing fits: one line, and exit 1.
#   scripts/pack-test-font.sh TOOL SHIPPED_DLL OUT_DIR [--extra-chars FILE] -- PACK-FONT OPTIONS AND FILES...
# Writes OUT_DIR/vykcn-test-glyphs.bin and OUT_DIR/vykcn-test-atlas.dds (pack-font leaves them alone
# when what it made them from did not change), and OUT_DIR/test-glyph-options.txt, the options it
# added, one a line (for `vykcn-tool build`, which then gives the test build back byte for byte).
set -euo pipefail

tool=$1 shipped=$2 out=$3
shift 3
extra=""
if [[ ${1:-} == --extra-chars ]]; then
  extra=$2
  shift 2
fi
[[ ${1:-} == -- ]] && shift

fail() {
  echo "test build: $*" >&2
  exit 1
}

height=$("$tool" inspect --summary "$shipped" | sed -n "s/.*'M' \([0-9][0-9]*\) px.*/\1/p")
[[ -n $height ]] || fail "no 'M' height in $("$tool" inspect --summary "$shipped" 2>&1 | head -n 1)"
command -v iconv >/dev/null || fail "iconv, which lists GB 2312's characters, is not installed"

# Each row's cells 1..94 are the bytes (row + 0xA0, cell + 0xA0); iconv leaves the unassigned ones out.
chars=$out/test-extra-chars.txt
mkdir -p "$out"
{
  for row in 1 3 $(seq 16 87); do
    printf -v lead '\\x%x' $((0xA0 + row))
    bytes=""
    for cell in $(seq 1 94); do
      printf -v trail '\\x%x' $((0xA0 + cell))
      bytes+=$lead$trail
    done
    printf '%b' "$bytes" | iconv -c -f GB2312 -t UTF-8
    echo
  done
  [[ -z $extra ]] || cat -- "$extra"
} >"$chars.new"
mv "$chars.new" "$chars"

pack=("$tool" pack-font "$@" --extra-chars "$chars" --glyph-height "$height" --glyphs "$out/vykcn-test-glyphs.bin"
      --atlas "$out/vykcn-test-atlas.dds" --stamp "$out/test-glyphs.stamp")
log=$out/pack-test-font.log
for size in 4096x2048 4096x4096; do
  if "${pack[@]}" --atlas-size "$size" >"$log" 2>&1; then
    sed 's/^/test build: /' "$log"
    printf '%s\n' --extra-chars "$chars" --glyph-height "$height" --atlas-size "$size" >"$out/test-glyph-options.txt"
    exit 0
  fi
  grep -q 'do not fit the' "$log" || break
done
fail "pack-font --glyph-height $height (the shipped module's 'M') --atlas-size $size: $(grep -m 1 -e 'vykcn-tool:' -e 'error' "$log" || tail -n 1 "$log")"
