#!/usr/bin/env bash
# Installs the Debian packages that building and testing need; only the missing ones.
#   scripts/install-deps.sh [--sources DIR]
# With --sources, also fetches into DIR Debian's sources of the installed FreeType and
# libgettextpo, which scripts/windows-libraries.sh cross-builds for vykcn-tool.exe; the deb-src
# entries that apt needs for them (bookworm, bookworm-security) are added when apt has none.
set -euo pipefail

sources_dir=""
if [[ "${1:-}" == "--sources" ]]; then
  sources_dir=${2:?--sources needs a folder}
fi

packages=(
  # native build and tests
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev libfreetype-dev libstb-dev libgettextpo-dev libsquish-dev
  # the sources of FreeType and libgettextpo, cross-built for vykcn-tool.exe (apt-get source, dpkg-source)
  dpkg-dev
  # peers for tests and benchmarks
  libmspack-dev libwim-dev cabextract xz-utils zstd gettext
  # fuzzing
  clang-14 libclang-rt-14-dev
  # fonts: the build's default chain (WenQuanYi Micro Hei, then DejaVu Sans) and the toolkit's tests
  fonts-wqy-microhei fonts-dejavu-core fonts-droid-fallback
  # Windows cross build and the Wine test rig
  g++-mingw-w64-x86-64 binutils-mingw-w64-x86-64 wine wine64 xvfb xauth
  # OpenGL for Wine's Direct3D 11 under Xvfb (recommended by wine only, so named here)
  libgl1 libgl1-mesa-dri
)

missing=()
for p in "${packages[@]}"; do
  status=$(dpkg-query -W -f='${Status}' "$p" 2>/dev/null || true)
  [[ "$status" == "install ok installed" ]] || missing+=("$p")
done

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
if [[ ${#missing[@]} -gt 0 ]]; then
  echo "installing: ${missing[*]}"
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
fi

[[ -n "$sources_dir" ]] || exit 0
# The source packages of the installed libraries, at their installed versions.
wanted=()
for p in libfreetype-dev libgettextpo-dev; do
  wanted+=("$(dpkg-query -W -f='${source:Package}=${source:Version}' "$p")")
done
if ! apt-get source --print-uris "${wanted[@]}" >/dev/null 2>&1; then
  echo "adding deb-src entries for bookworm and bookworm-security"
  $sudo tee /etc/apt/sources.list.d/vykcn-deb-src.sources >/dev/null <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg

Types: deb-src
URIs: http://deb.debian.org/debian-security
Suites: bookworm-security
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  $sudo apt-get update -qq
fi
mkdir -p "$sources_dir"
echo "fetching the sources of ${wanted[*]}"
(cd "$sources_dir" && apt-get source --download-only -qq "${wanted[@]}" >/dev/null 2>&1) \
  || { echo "install-deps: cannot fetch the sources of ${wanted[*]}" >&2; exit 1; }
