#!/usr/bin/env bash
# Runs a Windows executable under Wine with the project's own prefix.
# Usage: wine-run.sh [--display | --windows-paths] PROGRAM.exe [ARGS...]
#   --display        run under a virtual X display (needed by Direct3D).
#   --windows-paths  arguments that are absolute paths go in as Wine's Z: paths (Z:\tmp\a for /tmp/a).
#        wine-run.sh --keep-server SECONDS
#   starts the prefix's wineserver to stay SECONDS after its last program ends (unless one runs
#   already), so that a test suite's many short runs share one.
set -euo pipefail

root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX=${VYKCN_WINEPREFIX:-$root/build/wineprefix}
export WINEDLLOVERRIDES=${WINEDLLOVERRIDES:-"mscoree,mshtml="}
export WINEDEBUG=${WINEDEBUG:--all}
export WINEARCH=win64

display=0
keep=""
if [[ "${1:-}" == "--keep-server" ]]; then
  keep=${2:?--keep-server needs a number of seconds}
elif [[ "${1:-}" == "--windows-paths" ]]; then
  shift
  arguments=("${1:?--windows-paths needs a program}")
  for argument in "${@:2}"; do
    [[ "$argument" != /* ]] || argument="Z:${argument//\//\\}"
    arguments+=("$argument")
  done
  set -- "${arguments[@]}"
elif [[ "${1:-}" == "--display" ]]; then
  display=1
  shift
  # A wineserver started without a display serves every process of its prefix without one, and
  # Direct3D then finds no adapter: programs that need the display get a prefix of their own.
  export WINEPREFIX=$WINEPREFIX-display
fi

# The first start creates the prefix; tests started side by side must not race on it.
mkdir -p "$(dirname "$WINEPREFIX")"
if [[ ! -f "$WINEPREFIX/.vykcn-ready" ]]; then
  (
    flock 9
    if [[ ! -f "$WINEPREFIX/.vykcn-ready" ]]; then
      wineboot -i >/dev/null 2>&1 || true
      wineserver -w || true
      touch "$WINEPREFIX/.vykcn-ready"
    fi
  ) 9>"$WINEPREFIX.lock"
fi

if [[ -n "$keep" ]]; then
  wineserver "-p$keep" 2>/dev/null || true  # fails when one runs already: that one serves
  exit 0
fi
if [[ $display -eq 1 ]]; then
  exec xvfb-run -a -s "-screen 0 1024x768x24" wine "$@"
fi
exec wine "$@"
