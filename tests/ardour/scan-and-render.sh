#!/usr/bin/env bash
# Loads the plug-in in Ardour 7, a real packaged VST2 host, without a display: Ardour's own scanner
# reads the binary, then a headless session (Dummy backend, 48 kHz, one stereo bus) plays a short
# test signal through it and exports the result. Checks that the export exists, has the input's
# length and channel count, and holds no NaN or infinity.
# Usage: scan-and-render.sh PLUGIN.so
# Exits 77 (skipped) when ardour7 or sox is not installed, and for sanitizer builds.
set -euo pipefail

if [ $# -ne 1 ]; then
  echo "usage: $0 PLUGIN.so" >&2
  exit 2
fi
for tool in /usr/lib/ardour7/ardour-vst-scanner /usr/bin/ardour7-lua; do
  [ -x "$tool" ] || { echo "SKIP: $tool not found (Debian package ardour)"; exit 77; }
done
command -v sox >/dev/null || { echo "SKIP: sox not found"; exit 77; }

here=$(cd "$(dirname "$0")" && pwd)
plug=$(readlink -f "$1")
[ -f "$plug" ] || { echo "no plug-in at $1" >&2; exit 1; }
# A sanitizer runtime has to be loaded by the executable itself, which Ardour's is not.
if readelf -d "$plug" 2>/dev/null | grep -qE 'NEEDED.*lib(a|t|ub)san'; then
  echo "SKIP: $plug is a sanitizer build; Ardour cannot load it"
  exit 77
fi
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

echo "== scan and render"
sox -n -r 48000 -c 2 -b 32 -e floating-point "$work/in.wav" synth 2 sine 110 sine 1760 remix 1 2 gain -12
frames=$(soxi -s "$work/in.wav")
"$here/render-in-ardour.sh" "$plug" "$work/in.wav" "$work/out.wav" || { echo "FAIL: see above"; exit 1; }
out="$work/out.wav"

echo "== check"
if /usr/bin/python3 -c 'import numpy, soundfile' 2>/dev/null; then
  /usr/bin/python3 - "$out" "$frames" <<'PY'
import sys
import numpy as np
import soundfile as sf
data, rate = sf.read(sys.argv[1], dtype="float64", always_2d=True)
frames = int(sys.argv[2])
problems = []
if rate != 48000:
    problems.append(f"rate {rate}, expected 48000")
if data.shape != (frames, 2):
    problems.append(f"{data.shape[0]} frames x {data.shape[1]} channels, expected {frames} x 2")
if not np.all(np.isfinite(data)):
    problems.append(f"{np.count_nonzero(~np.isfinite(data))} samples are NaN or infinite")
peak = np.max(np.abs(data[np.isfinite(data)]), initial=0.0)
print(f"output: {data.shape[0]} frames, {data.shape[1]} channels, {rate} Hz, peak {peak:.4f}")
if peak == 0.0:
    print("WARNING: the output is silent")
if problems:
    print("FAIL: " + "; ".join(problems))
    sys.exit(1)
PY
else
  got_frames=$(soxi -s "$out" 2>/dev/null)
  got_channels=$(soxi -c "$out" 2>/dev/null)
  got_rate=$(soxi -r "$out" 2>/dev/null)
  stats=$(sox "$out" -n stat 2>&1)
  echo "output: $got_frames frames, $got_channels channels, $got_rate Hz"
  if [ "$got_frames" != "$frames" ] || [ "$got_channels" != 2 ] || [ "$got_rate" != 48000 ]; then
    echo "FAIL: expected $frames frames, 2 channels, 48000 Hz"
    exit 1
  fi
  if printf '%s' "$stats" | grep -qiE 'nan|inf'; then
    echo "FAIL: the output holds NaN or infinite samples:"
    echo "$stats"
    exit 1
  fi
fi
echo "PASS: Ardour scanned and rendered $(basename "$plug")"
