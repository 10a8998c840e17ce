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
mkdir -p "$work/config/ardour7/scripts" "$work/config/ardour7/export" "$work/out"
cp "$here/shm_player.lua" "$work/config/ardour7/scripts/"
cp "$here/float-wav.preset" "$work/config/ardour7/export/"
# shellcheck source=ardour-steps.sh
. "$here/ardour-steps.sh"

ardour_scan "$plug" "$work" || exit 1

sox "$in" -t f32 "$work/in.raw"
frames=$(( $(stat -c %s "$work/in.raw") / 8 ))
clean_attempt() { rm -rf "$work/session" "$work/out" && mkdir -p "$work/out"; }
ardour_lua_retried "$work/render.log" clean_attempt \
  env XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" LXVST_PATH="$work/vst" \
  LV2_PATH=/nonexistent LADSPA_PATH=/nonexistent \
  IN_RAW="$work/in.raw" FRAMES=$frames VSTID="$vst_id" SESSDIR="$work/session" OUT_DIR="$work/out" OUT_NAME=render \
  /usr/bin/ardour7-lua "$here/wavrender.lua" || exit 1
exported=$(ls "$work"/out/*.wav 2>/dev/null | head -n 1 || true)
if [ -z "$exported" ]; then
  echo "Ardour exported no file:"
  cat "$work/render.log"
  exit 1
fi
grep -E '^plugin:' "$work/render.log" || true
cp "$exported" "$out"
