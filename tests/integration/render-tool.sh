#!/usr/bin/env bash
# Checks brelvik-render from the outside, as a user runs it: formats and channel counts survive the
# render, bad input gives a one-line error and a non-zero exit, and an existing output file is only
# ever replaced by a complete render.
# Usage: render-tool.sh BRELVIK_RENDER PLUGIN.so
# Exits 77 (skipped) when sox is not installed.
set -uo pipefail

if [ $# -ne 2 ]; then
  echo "usage: $0 BRELVIK_RENDER PLUGIN.so" >&2
  exit 2
fi
command -v sox >/dev/null || { echo "SKIP: sox not found"; exit 77; }
render=$(readlink -f "$1")
plugin=$(readlink -f "$2")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work"

failures=0
passes=0
check() { # check DESCRIPTION COMMAND...
  local what=$1; shift
  if "$@"; then passes=$((passes + 1)); else echo "FAIL: $what"; failures=$((failures + 1)); fi
}
info() { soxi "$@" 2>/dev/null; }
run() { "$render" --plugin "$plugin" "$@" >stdout.txt 2>stderr.txt; }

sox -n -r 44100 -c 2 -b 16 stereo.wav synth 1.5 sine 220 sine 330
sox -n -r 48000 -c 1 -b 24 mono.wav synth 1.2 pinknoise gain -10
sox -n -r 44100 -c 2 -b 24 stereo.flac synth 0.7 sine 440 sine 550
sox -n -r 44100 -c 3 three.wav synth 0.5 sine 440

"$render" >stdout.txt 2>stderr.txt
check "no arguments exit with 2" test $? -eq 2
check "no arguments print the usage" grep -q '^Usage: brelvik-render' stderr.txt

run stereo.wav out.wav
check "stereo render succeeds" test $? -eq 0
check "stereo output keeps 2 channels" test "$(info -c out.wav)" = 2
check "stereo output keeps the rate" test "$(info -r out.wav)" = 44100
check "stereo output keeps the length" test "$(info -s out.wav)" = "$(info -s stereo.wav)"
check "stereo output keeps 16-bit samples" test "$(info -b out.wav)" = 16
check "the summary names the output" grep -q 'out.wav' stdout.txt

run mono.wav mono-out.wav
check "mono render succeeds" test $? -eq 0
check "mono output stays mono" test "$(info -c mono-out.wav)" = 1
check "mono output keeps the length" test "$(info -s mono-out.wav)" = "$(info -s mono.wav)"
check "mono output keeps 24-bit samples" test "$(info -b mono-out.wav)" = 24

run stereo.flac out.flac
check "FLAC render succeeds" test $? -eq 0
check "FLAC in gives FLAC out" test "$(info -t out.flac)" = flac

echo "previous master" >keep.wav
run three.wav keep.wav
check "three channels exit with 1" test $? -eq 1
check "three channels are explained in one line" \
  test "$(grep -c 'has 3 channels; only mono and stereo' stderr.txt)" = 1
check "a failed render leaves the existing output alone" grep -q 'previous master' keep.wav
check "a failed render leaves no partial file" test -z "$(ls | grep partial)"

run missing.wav never.wav
check "a missing input exits with 1" test $? -eq 1
check "a missing input is named" grep -q "cannot read 'missing.wav'" stderr.txt
check "a missing input creates no output" test ! -e never.wav

"$render" --plugin "$work/none.so" stereo.wav never.wav >stdout.txt 2>stderr.txt
check "a missing plug-in exits with 1" test $? -eq 1
check "a missing plug-in is named" grep -q "cannot load plug-in '$work/none.so'" stderr.txt

"$render" --plugin "$plugin" --frobnicate stereo.wav never.wav >stdout.txt 2>stderr.txt
check "an unknown option exits with 2" test $? -eq 2

run --demo demo.wav
check "the demo renders" test $? -eq 0
check "the demo is stereo" test "$(info -c demo.wav)" = 2
check "the demo is 8 seconds at 48 kHz" test "$(info -s demo.wav)" = 384000

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
