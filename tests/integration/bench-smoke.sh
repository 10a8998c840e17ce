#!/usr/bin/env bash
# A quick run of brelvik-bench (one second of workload, one pass): the table is printed with a row
# per binary and scenario, and the allocation counter sees what happens on the audio thread:
# nothing for Brelvik_Suite and the delay fixture, every call for the allocating fixture.
# Speed is not checked here; the bench measures it, tests do not.
# Usage: bench-smoke.sh BRELVIK_BENCH PLUGIN.so DELAY_FIXTURE.so ALLOC_FIXTURE.so
set -uo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 BRELVIK_BENCH PLUGIN.so DELAY_FIXTURE.so ALLOC_FIXTURE.so" >&2
  exit 2
fi
out=$(mktemp)
trap 'rm -f "$out"' EXIT

failures=0
check() { # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then echo "ok: $what"; else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
# The allocation column of a row: the second field from the end.
allocations() { grep -E "^$1 +$2 " "$out" | awk '{print $(NF-1)}'; }

"$1" --seconds 1 --repeat 1 "$2" "$3" "$4" >"$out" 2>&1
status=$?
cat "$out"
check "the bench exits with 0" test $status -eq 0
check "the table has its header" grep -qE '^binary +scenario +ns/frame +x realtime' "$out"
for scenario in "program 0" "everything on" "automation" "silence after loud"; do
  check "Brelvik_Suite: $scenario measured" grep -qE "^Brelvik_Suite +$scenario +[0-9]+\.[0-9] +[0-9]+\.[0-9]" "$out"
done
for fixture in "Brelvik Delay Fixture" "Brelvik Alloc Fixture"; do
  check "$fixture: defaults measured" grep -qE "^$fixture +defaults +[0-9]+\.[0-9]" "$out"
done
check "the targets are reported" grep -q '^targets for Brelvik_Suite:' "$out"

if grep -q '^allocation counting: on' "$out"; then
  for scenario in "program 0" "everything on" "automation" "silence after loud"; do
    check "Brelvik_Suite allocates nothing on the audio thread ($scenario)" \
      test "$(allocations Brelvik_Suite "$scenario")" = 0
  done
  check "the delay fixture allocates nothing" test "$(allocations "Brelvik Delay Fixture" defaults)" = 0
  # One second at 48 kHz in blocks of 512 is 94 calls; each allocates once.
  check "every allocation of the allocating fixture is counted" \
    test "$(allocations "Brelvik Alloc Fixture" defaults)" -ge 94
else
  echo "allocation counting is not available in this build (sanitizers); counts not checked"
fi

[ "$failures" -eq 0 ]
