#!/usr/bin/env bash
# check and diff on a game's files, each beside gettext's own check of the same files (msgfmt -c,
# one run a file, as a team runs it): check --font on a file of 5,000 entries, whose translations
# use 5,000 distinct ideographs (so that the glyphs fit the atlas only below 'M' 25 px), and diff
# of two 100,000-line folders (20 files each) that differ in one line. Each command and its peer
# take turns, ROUNDS rounds (5 unless given), and each keeps its fastest run.
#   bench/check_bench.sh BUILD_DIR GAME_SET_WRITER TOOL [ROUNDS]
set -uo pipefail

build=$(realpath -m "$1")
writer=$2
tool=$(realpath "$3")
rounds=${4:-5}

entries=$build/entries-5000
old=$build/set-old
new=$build/set-new
[[ -f "$entries/script-01.po" ]] || "$writer" "$entries" --lines 5000 --files 1 >/dev/null || exit 1
if [[ ! -f "$new/script-20.po" ]]; then
  rm -rf "$old" "$new"
  "$writer" "$old" >/dev/null || exit 1
  cp -r "$old" "$new"
  # One line edited: a translation gets a character it already uses.
  line=$(grep -n '^msgstr "..*"$' "$new/script-07.po" | sed -n 100p | cut -d: -f1)
  sed -i "${line}s/\"\$/的\"/" "$new/script-07.po"
fi
font=$("$tool" default-fonts | head -n 1)

now() { date +%s%N; }
# fastest NAME COMMAND...: runs it, keeps its fastest time in nanoseconds in best[NAME].
declare -A best
fastest() {
  local name=$1 start took
  shift
  start=$(now)
  "$@" >/dev/null 2>&1
  took=$(($(now) - start))
  [[ -n "${best[$name]:-}" && ${best[$name]} -le $took ]] || best[$name]=$took
}
msgfmt_each() {  # msgfmt -c on each file; it reports the joined lines' line ends, and reads on
  local file
  for file in "$@"; do msgfmt -c -o /dev/null "$file"; done
  return 0
}

"$tool" check --font "$font" "$entries" >/dev/null 2>&1
[[ $? -le 1 ]] || { echo "check failed on $entries"; exit 1; }
"$tool" diff "$old" "$new" >/dev/null 2>&1
[[ $? -eq 1 ]] || { echo "diff of $old and $new did not find the edited line"; exit 1; }
for ((round = 0; round < rounds; round++)); do
  fastest check "$tool" check --font "$font" "$entries"
  fastest check-peer msgfmt_each "$entries"/*.po
  fastest diff "$tool" diff "$old" "$new"
  fastest diff-peer msgfmt_each "$old"/*.po "$new"/*.po
done

row() {  # row LABEL NAME
  awk -v label="$1" -v ours="${best[$2]}" -v peer="${best[$2-peer]}" \
    'BEGIN { printf "%-40s %9.3f %12.3f %12.2f\n", label, ours / 1e9, peer / 1e9, ours / peer }'
}
printf '%-40s %9s %12s %12s\n' "seconds, fastest of $rounds" "ours" "msgfmt -c" "ours/peer"
row "check --font, 5,000 entries" check
row "diff, two 100,000-line folders" diff
