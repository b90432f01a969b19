#!/usr/bin/env bash
# Runs a command unless it ran with success for the very same files before (by content).
#   scripts/if-changed.sh STAMP FILE... -- COMMAND [ARGUMENT...]
# STAMP records the files' checksums (and the command) after a successful run; a later call with
# the same checksums and command does nothing. A run that fails records nothing.
set -uo pipefail

stamp=$1
shift
files=()
while [[ $# -gt 0 && "$1" != "--" ]]; do
  files+=("$1")
  shift
done
[[ "${1:-}" == "--" ]] || { echo "usage: if-changed.sh STAMP FILE... -- COMMAND..." >&2; exit 2; }
shift

record=$(printf '%s\0' "$@" | cksum; cksum -- "${files[@]}" 2>/dev/null)
if [[ -f "$stamp" && "$(cat "$stamp")" == "$record" ]]; then
  exit 0
fi
"$@" || exit $?
mkdir -p "$(dirname "$stamp")"
printf '%s\n' "$record" >"$stamp.new" && mv "$stamp.new" "$stamp"
