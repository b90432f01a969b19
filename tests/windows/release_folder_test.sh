#!/usr/bin/env bash
# The folder a translator copies (scripts/release-folder.sh): README.txt in UTF-8 with a byte order
# mark and CR LF line ends, every licence it names beside it, the programs and fonts as built, a
# second run changing no file, and the vykcn-tool.exe there drawing with the fonts beside it when
# given no --font.
#   tests/windows/release_folder_test.sh OUT_DIR BUILD_DIR SOURCE_DIR
set -uo pipefail
out=$1 root=$2 source=$3
fail() { echo "release folder: $*"; exit 1; }

rm -rf "$out" && bash "$source/scripts/release-folder.sh" "$root" "$out" || fail "the script failed"
r=$out/windows
[[ "$(head -c 3 "$r/README.txt" | od -An -tx1 | tr -d ' ')" == efbbbf ]] || fail "README.txt has no byte order mark"
lines=$(tr -cd '\n' <"$r/README.txt" | wc -c)
[[ "$lines" -gt 0 && "$lines" == "$(grep -c $'\r$' "$r/README.txt")" ]] || fail "README.txt has a line not ended by CR LF"
named=$(grep -o 'licences\\[A-Za-z0-9-]*\.txt' "$r/README.txt" | cut -c10-)
[[ -n "$named" ]] || fail "README.txt names no licence"
for licence in $named; do [[ -s "$r/licences/$licence" ]] || fail "licences/$licence is named but missing"; done
for part in tools/vykcn-tool.exe module/vykcn.dll tools/wqy-microhei.ttc tools/DejaVuSans.ttf; do
  cmp -s "$r/${part#*/}" "$root/windows/$part" || fail "${part#*/} differs from the build's"
done

before=$(find "$r" -type f -printf '%p %T@\n' | sort)
bash "$source/scripts/release-folder.sh" "$root" "$out" || fail "the second run failed"
[[ "$before" == "$(find "$r" -type f -printf '%p %T@\n' | sort)" ]] || fail "a second run rewrote a file"

bash "$source/scripts/wine-run.sh" --windows-paths "$r/vykcn-tool.exe" pack-font --glyphs "$out/g.bin" \
  --atlas "$out/a.dds" "$source/tests/windows/fixtures/translations" >/dev/null 2>&1 && [[ -s "$out/g.bin" ]] ||
  fail "vykcn-tool.exe in the folder did not draw with the fonts beside it"
echo "release folder: ok"
