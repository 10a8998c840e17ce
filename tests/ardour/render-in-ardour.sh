#!/usr/bin/env bash
# Renders a 48 kHz stereo file through a Linux VST 2 plug-in inside Ardour 7 without a display:
# Ardour's own scanner reads the binary, then a headless session (Dummy backend, 48 kHz, one
# stereo bus: a player for the input, then the plug-in) exports the bus as 32-bit float WAV.
# Usage: render-in-ardour.sh PLUGIN.so IN.wav OUT.wav
# Prints what Ardour's scanner read from the plug-in. Exits 1 with Ardour's log when a step fails.
set -euo pipefail

if [ $# -ne 3 ]; then
  echo "usage: $0 PLUGIN.so IN.wav OUT.wav" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
plug=$(readlink -f "$1")
in=$(readlink -f "$2")
out=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/config/ardour7/scripts" "$work/config/ardour7/export" "$work/cache" "$work/vst" "$work/out"
cp "$here/shm_player.lua" "$work/config/ardour7/scripts/"
cp "$here/float-wav.preset" "$work/config/ardour7/export/"

# Ardour finds plug-ins by folder. Its scanner treats a binary modified in the same second as the
# scan as out of date, so the copy gets an older time stamp.
name=$(basename "$plug")
cp "$plug" "$work/vst/$name"
touch -d '1 min ago' "$work/vst/$name"
XDG_CACHE_HOME="$work/cache" LD_LIBRARY_PATH=/usr/lib/ardour7 \
  /usr/lib/ardour7/ardour-vst-scanner -f "$work/vst/$name" >"$work/scan.log" 2>&1 || true
info=$(cat "$work"/cache/ardour7/vst/*.v2i 2>/dev/null | grep -o '<VST2Info[^>]*>' | head -n 1 || true)
id=$(printf '%s' "$info" | sed -n 's/.* id="\([0-9-]*\)".*/\1/p')
if [ -z "$id" ]; then
  echo "Ardour's scanner did not accept $name:"
  cat "$work/scan.log"
  exit 1
fi
echo "scanned: $info"

sox "$in" -t f32 "$work/in.raw"
frames=$(( $(stat -c %s "$work/in.raw") / 8 ))
# Headless ardour7-lua 7.3 sometimes corrupts its own heap on a busy machine, even for a session
# that holds nothing but an empty bus and exports it (about one run in three with both cores
# busy); such a crash (death by a signal) is retried. A plug-in's own fault repeats, and other
# failures are not retried.
attempt=1
while :; do
  rm -rf "$work/session" "$work/out" && mkdir -p "$work/out"
  status=0
  XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" LXVST_PATH="$work/vst" \
    LV2_PATH=/nonexistent LADSPA_PATH=/nonexistent \
    IN_RAW="$work/in.raw" FRAMES=$frames VSTID=$id SESSDIR="$work/session" OUT_DIR="$work/out" OUT_NAME=render \
    /usr/bin/ardour7-lua "$here/wavrender.lua" >"$work/render.log" 2>&1 || status=$?
  [ "$status" -eq 0 ] && break
  if [ "$status" -le 128 ] || [ "$attempt" -ge 5 ]; then
    echo "the Ardour session script failed (exit status $status, attempt $attempt):"
    cat "$work/render.log"
    exit 1
  fi
  echo "note: ardour7-lua died by signal $((status - 128)) (attempt $attempt); trying again"
  attempt=$((attempt + 1))
done
exported=$(ls "$work"/out/*.wav 2>/dev/null | head -n 1 || true)
if [ -z "$exported" ]; then
  echo "Ardour exported no file:"
  cat "$work/render.log"
  exit 1
fi
grep -E '^plugin:' "$work/render.log" || true
cp "$exported" "$out"
