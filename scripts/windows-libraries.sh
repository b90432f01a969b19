#!/usr/bin/env bash
# The libraries vykcn-tool.exe links, cross-built with mingw-w64 from Debian's sources of the very
# versions the Linux tool links (so that both tools read and draw alike): FreeType, static, with
# no optional dependency (CMake), and libgettextpo from gettext's upstream tarball (configure of
# gettext-tools alone; Debian's patches need the autotools). libgettextpo calls iconv, which
# Windows lacks: it is compiled against the toolkit's own (tools/gettextpo_iconv/iconv.h).
# Each library is kept under BUILD_DIR/windows-libraries in a folder named after its version (and,
# for libgettextpo, the iconv header's checksum), and built only when that folder is missing.
# Writes BUILD_DIR/windows-libraries/libraries.cmake, which the Windows build includes.
#   scripts/windows-libraries.sh BUILD_DIR
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
libraries=$(realpath -m "${1:-build}/windows-libraries")
sources=$libraries/sources
jobs=$(nproc)

source_version() {  # source_version PACKAGE: the Debian version of the package's source
  dpkg-query -W -f='${source:Version}' "$1"
}
freetype_version=$(source_version libfreetype-dev)
gettext_version=$(source_version libgettextpo-dev)
upstream() { local v=${1#*:}; echo "${v%-*}"; }  # without epoch and Debian revision
no_epoch() { echo "${1#*:}"; }

freetype_dsc=$sources/freetype_$(no_epoch "$freetype_version").dsc
gettext_tarball=$sources/gettext_$(upstream "$gettext_version").orig.tar.xz
if [[ ! -f "$freetype_dsc" || ! -f "$gettext_tarball" ]]; then
  bash "$root/scripts/install-deps.sh" --sources "$sources"
fi

# run_logged LOG COMMAND...: the command's output goes to LOG, and its end to the terminal on failure.
run_logged() {
  local log=$1
  shift
  if ! "$@" >>"$log" 2>&1; then
    tail -n 30 "$log"
    echo "windows-libraries: failed: $* (log: $log)" >&2
    exit 1
  fi
}

freetype=$libraries/freetype-$freetype_version
if [[ ! -f "$freetype/lib/libfreetype.a" ]]; then
  echo "cross-building FreeType $freetype_version for vykcn-tool.exe"
  work=$libraries/work-freetype
  rm -rf "$work" "$freetype"
  mkdir -p "$work"
  # dpkg-source applies Debian's patches (as the Linux library has them) without the autotools.
  run_logged "$work/log" dpkg-source --no-check -x "$freetype_dsc" "$work/source"
  run_logged "$work/log" cmake -S "$work/source" -B "$work/build" -G Ninja \
    -DCMAKE_TOOLCHAIN_FILE="$root/cmake/mingw-w64-x86_64.cmake" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$freetype" -DBUILD_SHARED_LIBS=OFF \
    -DFT_DISABLE_ZLIB=ON -DFT_DISABLE_BZIP2=ON -DFT_DISABLE_PNG=ON -DFT_DISABLE_HARFBUZZ=ON -DFT_DISABLE_BROTLI=ON
  run_logged "$work/log" cmake --build "$work/build" --target install -j "$jobs"
  rm -rf "$work"
fi

iconv_header=$root/tools/gettextpo_iconv/iconv.h
gettextpo=$libraries/gettextpo-$gettext_version-$(cksum <"$iconv_header" | cut -d ' ' -f 1)
if [[ ! -f "$gettextpo/lib/libgettextpo.a" ]]; then
  echo "cross-building libgettextpo $gettext_version for vykcn-tool.exe"
  work=$libraries/work-gettextpo
  rm -rf "$work" "$gettextpo"
  mkdir -p "$work"
  tar -xf "$gettext_tarball" -C "$work"
  tools=$(echo "$work"/gettext-*/gettext-tools)
  # iconv is the toolkit's: configure is told that it exists and works, since it is linked only
  # into the program.
  (cd "$tools" && run_logged "$work/log" ./configure --host=x86_64-w64-mingw32 --disable-shared --enable-static \
    --disable-nls --disable-java --disable-csharp --disable-openmp --disable-curses --without-emacs \
    --without-git --without-cvs --without-bzip2 --without-xz --disable-acl --disable-threads \
    CPPFLAGS="-I$(dirname "$iconv_header")" CFLAGS="-O2" \
    am_cv_func_iconv=yes am_cv_lib_iconv=no am_cv_func_iconv_works=yes)
  grep -q '^#define HAVE_ICONV 1' "$tools/config.h" || { echo "windows-libraries: libgettextpo configured without iconv" >&2; exit 1; }
  run_logged "$work/log" make -C "$tools/libgettextpo" -j "$jobs"
  mkdir -p "$gettextpo/lib" "$gettextpo/include"
  cp "$tools/libgettextpo/.libs/libgettextpo.a" "$gettextpo/lib/"
  cp "$tools/libgettextpo/gettext-po.h" "$gettextpo/include/"
  rm -rf "$work"
fi

# Libraries of versions no longer installed are of no more use.
for old in "$libraries"/freetype-* "$libraries"/gettextpo-*; do
  [[ -e "$old" && "$old" != "$freetype" && "$old" != "$gettextpo" ]] && rm -rf "$old"
done

cat >"$libraries/libraries.cmake.new" <<CMAKE
# Written by scripts/windows-libraries.sh: the cross-built libraries of vykcn-tool.exe.
set(VYKCN_WINDOWS_FREETYPE "$freetype")
set(VYKCN_WINDOWS_GETTEXTPO "$gettextpo")
CMAKE
if cmp -s "$libraries/libraries.cmake.new" "$libraries/libraries.cmake"; then
  rm "$libraries/libraries.cmake.new"
else
  mv "$libraries/libraries.cmake.new" "$libraries/libraries.cmake"
fi
