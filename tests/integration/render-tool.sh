#!/usr/bin/env bash
# Checks brelvik-render from the outside, as a user runs it: formats and channel counts survive the
# render, output formats follow the command line, bad input gives a one-line error and a non-zero
# exit, an existing output file is only ever replaced by a complete render, and settings, listings
# and preset files work from the command line.
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

# ---- the report
run stereo.wav out.wav
check "the report gives the loudness of input and output" \
  test "$(grep -cE '^  (input|output) +(-?[0-9.]+|-inf) LUFS +[0-9.]+ LU +(-?[0-9.]+|-inf) dBTP +(-?[0-9.]+|-inf) dBFS$' stdout.txt)" = 2
check "the report states the compensated delay" \
  grep -qE 'latency 88 samples \(2.00 ms\) \+ look-ahead [0-9]+ samples \([0-9.]+ ms\), compensated' stdout.txt
check "the report names the program" grep -q '^program 0 "default"' stdout.txt
check "no progress bar when stderr is not a terminal" test -z "$(grep -F 'mastering [' stderr.txt)"

# ---- output formats
run stereo.wav out.flac
check "OUT's extension picks the container" test "$(info -t out.flac)" = flac
check "FLAC from a 16-bit WAV stays 16-bit" test "$(info -b out.flac)" = 16
run --format aiff --bits 24 stereo.wav out.aif
check "--format and --bits are obeyed" test "$(info -t out.aif)-$(info -b out.aif)" = aiff-24
run --float stereo.wav float.wav
check "--float writes floating-point samples" test "$(info -e float.wav)" = "Floating Point PCM"
run --format flac --float stereo.wav never.flac
check "float FLAC is refused" test $? -eq 1
check "float FLAC is explained" grep -q 'FLAC cannot hold 32-bit float samples' stderr.txt
check "a refused format creates no file" test ! -e never.flac
run --bits 12 stereo.wav never.wav
check "an impossible bit depth is a usage error (exit 2)" test $? -eq 2
check "an impossible bit depth is refused" grep -q -- '--bits takes 8, 16, 24 or 32' stderr.txt
sox -n -r 44100 -c 2 -b 32 -e floating-point float-in.wav synth 0.3 sine 300
run float-in.wav to.flac
check "a float input rendered to FLAC falls back to 24 bits" test "$(info -b to.flac)" = 24
check "the fallback is noted" grep -q 'note: writing 24-bit samples: FLAC cannot hold' stderr.txt
if sox -n -r 44100 -c 2 in.ogg synth 0.5 sine 440 2>/dev/null; then
  run in.ogg out.ogg
  check "OGG in gives OGG Vorbis out" test "$(info -t out.ogg)" = vorbis
fi

run stereo.wav made.mp3
if [ -f made.mp3 ]; then
  run made.mp3 from-mp3.wav
  check "an MP3 rendered to WAV becomes 24-bit PCM" test "$(info -b from-mp3.wav)" = 24
fi

# ---- bad input: one line on stderr, exit status 1, no output file
bad() { # bad DESCRIPTION PATTERN ARGS...
  local what=$1 pattern=$2; shift 2
  rm -f never.wav
  run "$@"
  local status=$?
  check "$what: exit status 1" test "$status" -eq 1
  check "$what: one line" test "$(wc -l <stderr.txt)" -eq 1
  check "$what: says why" grep -qF -- "$pattern" stderr.txt
  check "$what: no output" test ! -e never.wav
}
mkdir folder.wav
printf 'not audio at all\n' >text.wav
run --save-preset good.fxp --save-bank good.fxb
check "saving presets alone succeeds" test $? -eq 0
head -c 700 good.fxp >cut.fxp
cp good.fxp other.fxp && printf 'ZaMM' | dd of=other.fxp bs=1 seek=16 conv=notrunc 2>/dev/null
bad "a folder as input" "cannot read 'folder.wav': it is a folder" folder.wav never.wav
bad "an unknown format" "cannot read 'text.wav'" text.wav never.wav
bad "an unknown output format" "unknown output format 'mp9'" --format mp9 stereo.wav never.wav
bad "a preset of another plug-in" "'other.fxp' is a preset for another plug-in (ID 'ZaMM'; this plug-in is 'BrSt')" \
  --preset other.fxp stereo.wav never.wav
bad "a damaged preset" "'cut.fxp' is not a usable preset file: the size field of the file says 832 bytes, but it holds 692" \
  --preset cut.fxp stereo.wav never.wav
bad "a bank given as a preset" "'good.fxb' is a bank file (chunk), not a program file (.fxp)" --preset good.fxb stereo.wav never.wav
bad "a missing preset" "cannot read 'none.fxp'" --preset none.fxp stereo.wav never.wav
bad "an unknown parameter" "the plug-in has no parameter named 'Loudness'; --list-params shows them all" \
  --set "Loudness=3" stereo.wav never.wav
bad "a value outside the range" "-50 is outside the range of 'Low Thresh dB' (-40 to 0)" \
  --set "Low Thresh dB=-50" stereo.wav never.wav
bad "a label the parameter does not have" "'Metering' is one of Peak | RMS; 'Loud' is none of them" \
  --set "Metering=Loud" stereo.wav never.wav
bad "a program that does not exist" "there is no program 12; the plug-in has 12 (0 to 11)" --program 12 stereo.wav never.wav
bad "an output folder that does not exist" "cannot write 'nowhere/never.wav'" stereo.wav nowhere/never.wav
"$render" --plugin "$plugin" --set "no equals" stereo.wav never.wav >stdout.txt 2>stderr.txt
check "a malformed --set is a usage error (exit 2)" test $? -eq 2
check "no partial files are left behind" test -z "$(ls | grep partial)"

# ---- files are never harmed: each case leaves the protected file byte-identical and no stray file
cp stereo.wav in.wav && cp in.wav in.orig
run --save-preset ours.fxp
mkdir sub && ln -s in.wav link-in.wav && ln in.wav hard-in.wav && mkfifo fifo.wav
cp in.wav audio.wav && cp audio.wav audio.orig
harm() { # harm DESCRIPTION PROTECTED ORIGINAL PATTERN ARGS...
  local what=$1 protected=$2 original=$3 pattern=$4; shift 4
  run "$@"
  local status=$?
  check "$what: exit status 1" test "$status" -eq 1
  check "$what: says why" grep -qF -- "$pattern" stderr.txt
  check "$what: the file is unchanged" cmp -s "$protected" "$original"
  check "$what: no stray file" test -z "$(ls | grep -E 'partial|never')"
}
harm "OUT is IN" in.wav in.orig "it is the input file" in.wav in.wav
harm "OUT is IN spelt another way" in.wav in.orig "it is the input file" in.wav sub/../in.wav
harm "OUT is a symlink to IN" in.wav in.orig "it is the input file" in.wav link-in.wav
harm "OUT is a hard link to IN" in.wav in.orig "it is the input file" in.wav hard-in.wav
harm "OUT is a FIFO" in.wav in.orig "it is a special file" in.wav fifo.wav
check "the FIFO stays a FIFO" test -p fifo.wav
harm "OUT is a device" in.wav in.orig "it is a special file" in.wav /dev/null
check "the device stays a device" test -c /dev/null
harm "a preset saved over an audio file" audio.wav audio.orig "is not a preset file; --force replaces it" \
  --save-preset audio.wav
harm "a bank saved over an audio file during a render" audio.wav audio.orig "--force replaces it" \
  --save-bank audio.wav in.wav never.wav
harm "a preset saved over IN" in.wav in.orig "it is the input file" --force --save-preset in.wav in.wav never.wav
run --save-preset ours.fxp
check "a preset of ours is replaced without --force" test $? -eq 0
run --force --save-preset audio.wav
check "--force replaces any regular file" test "$(head -c 4 audio.wav)" = CcnK
head -c 100000 in.wav >cut.wav && cp cut.wav cut.orig
harm "a truncated input" cut.wav cut.orig "'cut.wav' is truncated: its header promises 264600 bytes of audio, the file holds 99956" \
  cut.wav never.wav
run --allow-truncated cut.wav cut-out.wav
check "--allow-truncated renders what is there" test "$(info -s cut-out.wav)" = 24989
check "--allow-truncated warns" grep -q "warning: 'cut.wav' is truncated" stderr.txt
cp audio.orig target.wav && ln -s target.wav link-out.wav
run in.wav link-out.wav
check "OUT as a symlink renders" test $? -eq 0
check "OUT as a symlink stays a symlink" test -L link-out.wav
check "OUT as a symlink writes its target" test "$(info -s target.wav)" = "$(info -s in.wav)"
check "the render through a symlink leaves IN alone" cmp -s in.wav in.orig

# ---- settings, listings and preset files from the command line
run --set "Low Thresh dB=-18" --set "Metering=RMS" --set "Eq 1 Width=20" --list-params
check "--list-params shows a value set by name" grep -qE '^  5  Low Thresh dB +-18.0000 +-40 to 0$' stdout.txt
check "--list-params shows a label set by name" grep -qE '^ 20  Metering +RMS +Peak \| RMS$' stdout.txt
check "--list-params shows a backwards range" grep -qE '^ 23  Eq 1 Width +20.00000 +100 to 10$' stdout.txt
check "--list-params shows switches as Off / On" grep -qE '^ 60  Psycho Bass +Off +Off \| On$' stdout.txt
check "--list-params leaves unused indices out" test -z "$(grep Unused stdout.txt)"
run --set "Spatial Mode=Low:Mid:High" --set "Psycho Bass=On" --list-params
check "a full choice label is accepted" grep -qE '^ 51  Spatial Mode +Low:Mid:High ' stdout.txt
check "On is accepted for a switch" grep -qE '^ 60  Psycho Bass +On ' stdout.txt
bad "a label that only starts like a choice" "'Low:Mid:XYZ' is none of them" --set "Spatial Mode=Low:Mid:XYZ" stereo.wav never.wav
run --set "Low Thresh dB=-18" stereo.wav out.wav
check "the report lists what --set changed" grep -qE '^program 0 "default" with changes; .*$' stdout.txt
check "the report shows the change" grep -qE '^  changed: Low Thresh dB -18.0+ \(was ' stdout.txt
run --float --bits 16 stereo.wav never.wav
check "float samples of 16 bits are a usage error (exit 2)" test $? -eq 2
run --program 4 --list-programs
check "--list-programs marks the selected program" grep -qE '^\*   4  ' stdout.txt
for form in chunk params; do
  run --save-form $form --set "High Gain dB=3.5" --save-preset p-$form.fxp --save-bank b-$form.fxb
  check "saving the $form form succeeds" test $? -eq 0
  run --preset p-$form.fxp --list-params
  check "a $form .fxp restores the value" grep -qE '^ 16  High Gain dB +3.500000 ' stdout.txt
  run --bank b-$form.fxb --list-params
  check "a $form .fxb restores the value" grep -qE '^ 16  High Gain dB +3.500000 ' stdout.txt
done
check "the chunk form is an FPCh program" test "$(head -c 12 p-chunk.fxp | tail -c 4)" = FPCh
check "the params form is an FxCk program" test "$(head -c 12 p-params.fxp | tail -c 4)" = FxCk
check "the chunk form is an FBCh bank" test "$(head -c 12 b-chunk.fxb | tail -c 4)" = FBCh
check "the params form is an FxBk bank" test "$(head -c 12 b-params.fxb | tail -c 4)" = FxBk

# ---- mastering presets, loudness targets, analysis and batches
analyzed() { # analyzed FILE COLUMN: a number from --analyze's line for FILE (1 LUFS, 5 dBTP, 7 peak dBFS, 9 DC)
  "$render" --analyze "$1" | tail -1 | sed "s|^$1 *||" | awk -v c="$2" '{print $c}'
}
run --list-presets
check "--list-presets shows eight presets" test "$(grep -cE '^  [a-z-]+ +[A-Z].{20,}$' stdout.txt)" -ge 8
sox -R -n -r 44100 -c 2 -b 24 mix.wav synth 3 pinknoise synth 3 sine mix 110 gain -3 norm -1
for preset in $(awk '/^  [a-z-]+ / {print $1}' stdout.txt); do
  run --float --preset "$preset" mix.wav "p-$preset.wav"
  check "preset $preset renders" test $? -eq 0
  check "preset $preset is named in the report" grep -q "^preset \"$preset\"" stdout.txt
  check "preset $preset does not clip a mix peaking at -1 dBFS" \
    awk -v p="$(analyzed "p-$preset.wav" 7)" 'BEGIN { exit !(p <= 0.0) }'
  check "preset $preset adds no DC" \
    awk -v d="$(analyzed "p-$preset.wav" 9)" -v i="$(analyzed mix.wav 9)" 'BEGIN { exit !(d == "-inf" || d < -60 || d <= i + 1) }'
done
bad "an unknown preset name" "no preset file or mastering preset named 'loudest'" --preset loudest stereo.wav never.wav
speech=/usr/share/sounds/alsa/Front_Center.wav # a recording from Debian's alsa-utils
if [ -f "$speech" ]; then
  run --float --target-lufs -14 "$speech" target.wav
  check "--target-lufs renders" test $? -eq 0
  check "--target-lufs lands within 0.1 LU" awk -v l="$(analyzed target.wav 1)" 'BEGIN { exit !(l >= -14.1 && l <= -13.9) }'
  run --float --target-lufs -6 --ceiling -1 "$speech" ceiling.wav
  check "--ceiling keeps the true peak under it" awk -v t="$(analyzed ceiling.wav 5)" 'BEGIN { exit !(t <= -1.0) }'
  check "the report says the ceiling decided" grep -q "the ceiling, not the target, decided the gain" stdout.txt
else
  echo "note: $speech missing (alsa-utils); loudness targets on a real recording not checked"
fi
sox -n -r 44100 -c 2 -b 24 quiet.wav synth 1 sine 440 gain -60
run --float --target-lufs -1 quiet.wav far.wav
check "a target out of reach renders at the limit and says so" grep -q "outside Master Gain's range" stdout.txt
"$render" --analyze stereo.wav mono.wav >stdout.txt 2>stderr.txt
check "--analyze measures each file" test "$(grep -cE 'LUFS .* dBFS .* dB$' stdout.txt)" -eq 2
mkdir batch
run --out-dir batch stereo.wav three.wav mono.wav
check "a batch with a failing file exits 1" test $? -eq 1
check "the other files of the batch are rendered" test -f batch/stereo.wav -a -f batch/mono.wav
check "the batch's summary counts them" grep -q '^2 done, 1 failed$' stdout.txt
check "the batch leaves no file for the failure" test ! -e batch/three.wav
mkdir -p same/a same/b same/out
sox -n -r 44100 -c 2 -b 16 same/a/mix.wav synth 0.5 sine 220
sox -n -r 44100 -c 2 -b 16 same/b/mix.wav synth 0.5 sine 330
run --out-dir same/out same/a/mix.wav same/b/mix.wav
check "two inputs of one name in a batch: the second fails" test $? -eq 1
check "the first one's output is kept" test "$("$render" --analyze same/out/mix.wav | tail -1 | awk '{print $2}')" = "$("$render" --plugin "$plugin" --quiet same/a/mix.wav same/a-alone.wav >/dev/null; "$render" --analyze same/a-alone.wav | tail -1 | awk '{print $2}')"
check "the second one is named in the summary" grep -q "FAILED  same/b/mix.wav" stdout.txt

echo "$passes passed, $failures failed"
[ "$failures" -eq 0 ]
