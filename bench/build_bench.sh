#!/usr/bin/env bash
# The translator's loop, timed on a whole game's set (100,000 lines, 5,000 distinct ideographs,
# 20 PO files written by game_set_writer): a full build of the module's resources, a make with
# nothing new, and a one-line edit. Each is the whole `make`, as a translator runs it, in build
# and output folders of the benchmark's own (the first make there compiles everything, untimed).
#   bench/build_bench.sh BUILD_DIR GAME_SET_WRITER
set -uo pipefail

build=$(realpath -m "$1")
writer=$2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
set_dir=$build/game-set
trees=$build/make
out=$build/out

[[ -f "$set_dir/script-20.po" ]] || "$writer" "$set_dir" >/dev/null || exit 1
run_make() { make --no-print-directory BUILD="$trees" OUT="$out" "$@" >"$build/make.log" 2>&1; }
seconds() {  # seconds COMMAND...: runs it, prints the wall time
  local start end
  start=$(date +%s.%N)
  "$@" || { echo "failed: $* (see $build/make.log)" >&2; return 1; }
  end=$(date +%s.%N)
  printf '%.2f' "$(echo "$end - $start" | bc)"
}

run_make TRANSLATIONS="$set_dir" || { echo "failed: make (see $build/make.log)"; exit 1; }
shipping=$trees/windows/generated/shipping
rm -f "$shipping"/vykcn-glyphs.bin "$shipping"/vykcn-atlas.dds "$shipping"/vykcn-translations.bin \
  "$shipping"/*.stamp "$trees/stamps/report"
full=$(seconds run_make) || exit 1
summary=$(tail -n 1 "$build/make.log")
noop=$(seconds run_make) || exit 1
noop_line=$(tail -n 1 "$build/make.log")
# One line edited: a translation gets a character it already uses.
file=$set_dir/script-07.po
cp "$file" "$file.orig"
line=$(grep -n '^msgstr "..*"$' "$file" | sed -n 100p | cut -d: -f1)
sed -i "${line}s/\"\$/的\"/" "$file"
edit=$(seconds run_make)
status=$?
mv "$file.orig" "$file"
[[ $status -eq 0 ]] || exit 1
run_make >/dev/null || true  # back to the set as written

echo "$summary"
printf '%-34s %8s\n' "make on a whole game's set" "seconds"
printf '%-34s %8s\n' "full build of the resources" "$full"
printf '%-34s %8s\n' "nothing new" "$noop"
printf '%-34s %8s\n' "one line edited" "$edit"
echo "(nothing new says: ${noop_line:0:60}...)"
