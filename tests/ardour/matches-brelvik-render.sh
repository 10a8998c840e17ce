#!/usr/bin/env bash
# Ardour, a real packaged VST 2 host, and brelvik-render master the same file through the plug-in
# with factory program 0; the two results must agree within 1e-6.
#
# Ardour's export of a bus does not shift plug-in latency out of the file here, brelvik-render
# does. Which of the two Ardour does is measured first with the pure-delay fixture plug-in (a
# known delay of 37 frames): its Ardour render must be the input moved by 0 or 37 frames exactly.
# The plug-in's Ardour render is then aligned by the same rule, with the plug-in's own latency.
# Usage: matches-brelvik-render.sh PLUGIN.so BRELVIK_RENDER DELAY_FIXTURE.so
# Exits 77 (skipped) without Ardour, sox or Debian's python3 with numpy and soundfile, and for
# sanitizer builds, which Ardour cannot load.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 PLUGIN.so BRELVIK_RENDER DELAY_FIXTURE.so" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
plug=$(readlink -f "$1")
render=$(readlink -f "$2")
fixture=$(readlink -f "$3")
for tool in /usr/lib/ardour7/ardour-vst-scanner /usr/bin/ardour7-lua; do
  [ -x "$tool" ] || { echo "SKIP: $tool not found (Debian package ardour)"; exit 77; }
done
command -v sox >/dev/null || { echo "SKIP: sox not found"; exit 77; }
/usr/bin/python3 -c 'import numpy, soundfile' 2>/dev/null ||
  { echo "SKIP: /usr/bin/python3 lacks numpy or soundfile"; exit 77; }
if readelf -d "$plug" 2>/dev/null | grep -qE 'NEEDED.*lib(a|t|ub)san'; then
  echo "SKIP: $plug is a sanitizer build; Ardour cannot load it"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Three seconds with something for every band and for the dynamics: a low and a high tone under
# pink noise that swells and fades, peaking at -1 dBFS, after a quarter second of silence.
sox -n -r 48000 -c 2 -b 32 -e floating-point "$work/tones.wav" synth 3 sine 80 sine 5000 gain -12
sox -n -r 48000 -c 2 -b 32 -e floating-point "$work/noise.wav" synth 3 pinknoise pinknoise \
  tremolo 1.5 90 gain -3
sox -m -v 1 "$work/tones.wav" -v 1 "$work/noise.wav" "$work/in.wav" gain -n -1 pad 0.25 0
latency_fixture=37

echo "== Ardour: the delay fixture"
"$here/render-in-ardour.sh" "$fixture" "$work/in.wav" "$work/fixture.wav"
echo "== Ardour: the plug-in"
"$here/render-in-ardour.sh" "$plug" "$work/in.wav" "$work/ardour.wav"
echo "== brelvik-render"
"$render" --plugin "$plug" --program 0 --quiet "$work/in.wav" "$work/brelvik.wav" | tee "$work/report.txt"
# brelvik-render removes the reported latency and the look-ahead, which delays the audio further.
reported=$(sed -n 's/.*latency \([0-9]*\) samples.*/\1/p' "$work/report.txt")
lookahead=$(sed -n 's/.*look-ahead \([0-9]*\) samples.*/\1/p' "$work/report.txt")
[ -n "$reported" ] && [ -n "$lookahead" ] || { echo "FAIL: brelvik-render did not report its delay"; exit 1; }
latency=$((reported + lookahead))

echo "== compare"
/usr/bin/python3 - "$work/in.wav" "$work/fixture.wav" "$work/ardour.wav" "$work/brelvik.wav" \
  "$latency_fixture" "$latency" <<'PY'
import sys
import numpy as np
import soundfile as sf

def read(path):
    data, rate = sf.read(path, dtype="float64", always_2d=True)
    if rate != 48000 or data.shape[1] != 2:
        sys.exit(f"FAIL: {path} is {data.shape[1]} channels at {rate} Hz, expected stereo 48000 Hz")
    return data

source, fixture, ardour, brelvik = (read(p) for p in sys.argv[1:5])
fixture_latency, latency = int(sys.argv[5]), int(sys.argv[6])
frames = len(source)
for name, data in (("fixture", fixture), ("Ardour", ardour), ("brelvik-render", brelvik)):
    if len(data) != frames:
        sys.exit(f"FAIL: the {name} render has {len(data)} frames, the input {frames}")

def worst(a, b):
    return float(np.max(np.abs(a - b))) if len(a) else 0.0

# How Ardour treats latency: the fixture's render is the input, moved by none or all of its delay.
shift = None
for candidate in (0, fixture_latency):
    if worst(fixture[candidate:], source[:frames - candidate]) <= 1e-7:
        shift = candidate
if shift is None:
    sys.exit("FAIL: Ardour's render of the delay fixture is not the input moved by 0 or "
             f"{fixture_latency} frames")
compensated = shift == 0
print(f"Ardour {'compensates' if compensated else 'does not compensate'} plug-in latency in the export")

lag = 0 if compensated else latency
difference = worst(ardour[lag:], brelvik[:frames - lag])
peak = float(np.max(np.abs(brelvik)))
print(f"plug-in latency {latency} frames; compared {frames - lag} frames; "
      f"largest difference {difference:.3g}; output peak {peak:.4f}")
if peak == 0.0:
    print("WARNING: the plug-in's output is silent, so this comparison shows little")
if difference > 1e-6:
    at = int(np.argmax(np.max(np.abs(ardour[lag:] - brelvik[:frames - lag]), axis=1)))
    sys.exit(f"FAIL: Ardour and brelvik-render differ by {difference:.3g} at frame {at}")
print("PASS: Ardour and brelvik-render agree within 1e-6")
PY
