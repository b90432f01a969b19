#!/usr/bin/env bash
# Builds and runs every test suite, then prints one summary line: "N passed, N failed". The native
# and Windows builds are configured by `make test` (as `make` configures them); the ASan build here.
# Everything is built under BUILD_DIR: the Windows tests take the native tool from there.
set -uo pipefail

build=${1:-build}
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
cd "$root"
jobs=$(nproc)

passed=0
failed=0
status=0

# run_suite NAME BUILD_DIR: build everything in BUILD_DIR, run its ctest, add up the results.
run_suite() {
  local name=$1 dir=$2 log
  log=$(mktemp)
  echo "== $name"
  if ! cmake --build "$dir" -j "$jobs" >"$log" 2>&1; then
    tail -n 40 "$log"
    echo "$name: build failed"
    failed=$((failed + 1))
    status=1
    rm -f "$log"
    return
  fi
  ctest --test-dir "$dir" -j "$jobs" --output-on-failure --timeout 600 2>&1 | tee "$log" | grep -v -E '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .* Passed'
  local total bad
  total=$(sed -n -E 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\2/p' "$log" | tail -n 1)
  bad=$(sed -n -E 's/.*tests passed, ([0-9]+) tests failed out of ([0-9]+).*/\1/p' "$log" | tail -n 1)
  if [[ -z "$total" ]]; then
    echo "$name: ctest did not report"
    failed=$((failed + 1))
    status=1
  else
    passed=$((passed + total - bad))
    failed=$((failed + bad))
    [[ "$bad" -eq 0 ]] || status=1
  fi
  rm -f "$log"
}

cmake -S . -B "$build/asan" -G Ninja -DCMAKE_BUILD_TYPE=Debug -DVYKCN_SANITIZE=ON \
  -DVYKCN_TEST_PREFIX=asan. >/dev/null

# Wine tests need the prefix once; creating it up front keeps the first test's time honest.
bash scripts/wine-run.sh cmd /c exit >/dev/null 2>&1 || true

run_suite native "$build/native"
run_suite "native (ASan+UBSan)" "$build/asan"
run_suite "windows (Wine)" "$build/windows"

echo
echo "tests: $passed passed, $failed failed"
exit $status
