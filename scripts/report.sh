#!/usr/bin/env bash
# The build's report: the module's resources checked (inspect), a few of its translations drawn
# (out/preview.png), and a last line naming what it was built from: the translators' folder, the
# files CMake packed (and in how many folders), the records and glyphs, and the compression level.
# A module that was reported as it is now is not checked again: its last line is said again, as
# up to date.
#   scripts/report.sh BUILD_DIR OUT_DIR
set -euo pipefail

build=$1
out=$2
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
tool=$out/vykcn-tool
dll=$out/vykcn.dll
packed=$build/windows/generated/shipping/packed-files.txt
stamp=$build/stamps/report

key=$( (cksum <"$dll"; cksum <"$packed"; cat "$build/settings.txt") | cksum)
if [[ -f "$stamp" && "$(head -n 1 "$stamp")" == "$key" ]]; then
  echo "up to date: $(tail -n 1 "$stamp")"
  exit 0
fi

echo
"$tool" inspect "$dll"
"$tool" preview --dll "$dll" --samples 6 -o "$out/preview.png"

folder=$(sed -n 's/^VYKCN_TRANSLATIONS:PATH=//p' "$build/windows/CMakeCache.txt")
folder=${folder#"$root/"}
files=$(wc -l <"$packed")
folders=$(xargs -d '\n' -n 1 dirname <"$packed" | sort -u | wc -l)
what="$files file$([[ $files -eq 1 ]] || echo s)"
[[ $folders -eq 1 ]] || what+=" in $folders folders, in path order"
level=default
grep -qx 'RELEASE=1' "$build/settings.txt" && level=best
summary=$("$tool" inspect --summary "$dll")
line="$dll ($(stat -c %s "$dll") bytes) from $folder ($what): $summary, compressed at the $level level"
echo "built $line"
mkdir -p "$(dirname "$stamp")"
printf '%s\n%s\n' "$key" "$line" >"$stamp"
