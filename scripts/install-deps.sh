#!/usr/bin/env bash
# Installs the Debian packages that building and testing need; only the missing ones.
set -euo pipefail

packages=(
  # native build and tests
  build-essential cmake ninja-build pkg-config
  googletest libgtest-dev libgmock-dev libbenchmark-dev
  libcli11-dev libfreetype-dev libstb-dev libgettextpo-dev libsquish-dev
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

[[ ${#missing[@]} -eq 0 ]] && exit 0

sudo=""
[[ $(id -u) -eq 0 ]] || sudo="sudo"
echo "installing: ${missing[*]}"
$sudo apt-get update -qq
DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
