#!/usr/bin/env bash
# The folder a translator copies to a Windows machine: OUT_DIR/windows, with vykcn-tool.exe, the
# module (and the test build, test/vykcn.dll, when OUT_DIR/test holds one), the default fonts
# beside the program (where it looks for them), the licences of everything linked into the two
# programs or shipped beside them, and README.txt (UTF-8 with a byte order mark, CR LF line ends,
# as Notepad reads it), which names the sources: Debian's source packages, at the versions built.
# A file already as it should be is left alone.
#   scripts/release-folder.sh BUILD_DIR OUT_DIR
set -euo pipefail

build=$1
out=$2
release=$out/windows
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)

place() {  # place SOURCE NAME: copies SOURCE to $release/NAME unless it is there already
  mkdir -p "$(dirname "$release/$2")"
  cmp -s "$1" "$release/$2" || cp "$1" "$release/$2"
}
place_text() {  # place_text NAME: standard input to $release/NAME unless it is there already
  local new
  new=$(mktemp)
  cat >"$new"
  chmod 644 "$new"
  if cmp -s "$new" "$release/$1"; then rm "$new"; else mkdir -p "$(dirname "$release/$1")" && mv "$new" "$release/$1"; fi
}

place "$build/windows/tools/vykcn-tool.exe" vykcn-tool.exe
place "$build/windows/module/vykcn.dll" vykcn.dll
if [[ -f "$out/test/vykcn.dll" ]]; then
  place "$out/test/vykcn.dll" test/vykcn.dll
else
  rm -rf "$release/test"
fi
for font in wqy-microhei.ttc DejaVuSans.ttf; do place "$build/windows/tools/$font" "$font"; done

# What is linked or shipped: the Debian package whose copyright file states its licence, a file
# name for that licence, the part, what it is in, and its licence in short. The licence texts those
# files refer to go beside them.
parts='
libfreetype6       |freetype    |FreeType            |vykcn-tool.exe, which draws fonts with it |the FreeType License or GPL-2, at your choice
libgettextpo-dev   |libgettextpo|GNU gettext libgettextpo|vykcn-tool.exe, which reads PO files with it |GPL-3.0-or-later
libstb-dev         |stb         |stb                 |vykcn-tool.exe, which packs and writes images with it |public domain or MIT, at your choice
libcli11-dev       |cli11       |CLI11               |vykcn-tool.exe, which reads its command line with it |BSD-3-Clause
gcc-mingw-w64-base |gcc-runtime |the GCC runtime (libstdc++, libgcc) |both programs |GPL-3 with the GCC Runtime Library Exception
mingw-w64-common   |mingw-w64   |the mingw-w64 runtime (start-up code, winpthreads) |both programs |ZPL, MIT and others, file by file
fonts-wqy-microhei |wenquanyi   |WenQuanYi Micro Hei |wqy-microhei.ttc, the default font |Apache-2.0, or GPL-3 with the font embedding exception
fonts-dejavu-core  |dejavu      |DejaVu Sans         |DejaVuSans.ttf, the default fallback font |the Bitstream Vera Fonts licence, with changes in the public domain
'
table=""
trim() { sed -e 's/^ *//' -e 's/ *$//' <<<"$1"; }
while IFS='|' read -r package file name used licence; do
  package=$(trim "$package")
  [[ -n "$package" ]] || continue
  file="licences/$(trim "$file").txt"
  place "/usr/share/doc/$package/copyright" "$file"
  source=$(dpkg-query -W -f='${source:Package} ${source:Version}' "$package")
  table+="  $(trim "$name"), in $(trim "$used")"$'\n'
  table+="    licence: $(trim "$licence") (${file//\//\\})"$'\n'
  table+="    source: Debian source package ${source% *}, version ${source#* }"$'\n'
done <<<"$parts"
for licence in GPL-2 GPL-3 Apache-2.0; do place "/usr/share/common-licenses/$licence" "licences/$licence.txt"; done

{
  printf '\xEF\xBB\xBF'
  sed 's/$/\r/' <<TEXT
vykcn for translators
=====================

vykcn-tool.exe checks your translations and builds the game's vykcn.dll from them. It needs no
installation: keep this folder together (the program finds its fonts beside it), and run it from a
command prompt (cmd or PowerShell) opened in this folder.

Check a folder of PO and CSV files (its subfolders too): every problem, with its file and line.

    vykcn-tool check DIR

Build the module for the game from your files and the module in this folder, straight into the
game's folder (GAME stands for it). The game loads it at its next start.

    vykcn-tool build DIR --module vykcn.dll -o GAME\\vykcn.dll

Without --font, build draws the glyphs with the fonts beside the program: WenQuanYi Micro Hei,
and DejaVu Sans for the characters it lacks, the same files on every machine, so the same files
give the same module everywhere. A font of your own: --font FILE (and --fallback-font FILE for
the characters it lacks).

While you translate, let the game show each change as you save it:

    vykcn-tool watch DIR --into GAME_DIR

It checks DIR and builds into the game's folder GAME_DIR again each time you save a file of DIR,
until you stop it with Ctrl+C (vykcn-tool watch --help says what it writes there).

vykcn-tool --help lists every command; vykcn-tool COMMAND --help (or /?) its options. Paths may
hold spaces and Chinese characters: put a path with spaces in double quotes. A command that cannot
do what was asked says why in one line and ends with an exit code other than 0; nothing it would
have written is left half-written.

Licences
--------

vykcn-tool.exe and vykcn.dll are linked statically. These are the parts linked into them and the
fonts beside them, each with its licence (the licences folder holds the texts) and where its
source is: Debian's source packages, at https://deb.debian.org/debian and
https://sources.debian.org, of the versions named.

${table}
TEXT
} | place_text README.txt
