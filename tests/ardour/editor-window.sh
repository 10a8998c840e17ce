#!/usr/bin/env bash
# Opens the plug-in's editor in Ardour 7, a real packaged VST2 host, with its full GUI under Xvfb.
# A session with the plug-in on a stereo bus is made headless (Dummy backend) and saved with the
# plug-in's window marked open in Ardour's window state, so Ardour opens the editor itself when it
# loads the session: no synthetic clicks, no window manager. The check waits for a mapped
# 1100 x 176 window inside Ardour's plug-in window, takes a screenshot of it and compares patches
# of bare faceplate with brelvik-snapshot's offscreen picture.
# Usage: editor-window.sh PLUGIN.so WINDOW_PROBE BRELVIK_SNAPSHOT OUT_DIR
# Leaves ardour-editor.png (the screenshot), snapshot.png (the offscreen picture), windows.txt and
# ardour.log in OUT_DIR. Exits 77 (skipped) without Ardour or Xvfb, and for sanitizer builds.
set -euo pipefail

if [ $# -ne 4 ]; then
  echo "usage: $0 PLUGIN.so WINDOW_PROBE BRELVIK_SNAPSHOT OUT_DIR" >&2
  exit 2
fi
here=$(cd "$(dirname "$0")" && pwd)
plug=$(readlink -f "$1")
probe=$(readlink -f "$2")
snapshot=$(readlink -f "$3")
out=$4
for tool in /usr/bin/ardour /usr/lib/ardour7/ardour-vst-scanner /usr/bin/ardour7-lua; do
  [ -x "$tool" ] || { echo "SKIP: $tool not found (Debian package ardour)"; exit 77; }
done
command -v Xvfb >/dev/null || { echo "SKIP: Xvfb not found (Debian package xvfb)"; exit 77; }
command -v python3 >/dev/null || { echo "SKIP: python3 not found"; exit 77; }
if readelf -d "$plug" 2>/dev/null | grep -qE 'NEEDED.*lib(a|t|ub)san'; then
  echo "SKIP: $plug is a sanitizer build; Ardour cannot load it"
  exit 77
fi

# The editor's size, and patches of bare faceplate (X,Y,W,H) well away from every view, with the
# settings panel open (as on every opening) or closed and the credits panel at home: the titles of
# the compressor, the bass and treble and the output sections, the product name, the strip above
# the spatial controls and the space between the width and parallel knobs. The window and the
# offscreen picture are drawn from the same back buffer, so they must be equal to the bit.
width=1100
height=176
patches=("400,2,120,10" "600,2,190,10" "1033,2,46,17" "812,2,210,20" "812,81,110,9" "888,132,36,40")
tolerance=0

work=$(mktemp -d)
xvfb_pid=""
ardour_pid=""
# Ardour and Xvfb are ended by their ids; how they end does not change the check's result.
cleanup() {
  local status=$?
  if [ -n "$ardour_pid" ]; then
    kill "$ardour_pid" 2>/dev/null || true
    for _ in $(seq 50); do kill -0 "$ardour_pid" 2>/dev/null || break; sleep 0.1; done
    kill -KILL "$ardour_pid" 2>/dev/null || true
    wait "$ardour_pid" 2>/dev/null || true
  fi
  if [ -n "$xvfb_pid" ]; then kill "$xvfb_pid" 2>/dev/null || true; wait "$xvfb_pid" 2>/dev/null || true; fi
  rm -rf "$work"
  exit "$status"
}
trap cleanup EXIT
mkdir -p "$out" "$work/config/ardour7"
rm -f "$out/ardour-editor.png" "$out/snapshot.png" "$out/windows.txt" "$out/ardour.log"

echo "== scan"
# shellcheck source=ardour-steps.sh
. "$here/ardour-steps.sh"
ardour_scan "$plug" "$work" || { echo "FAIL: see above"; exit 1; }
plugin_name=$(printf '%s' "$vst_info" | sed -n 's/.* name="\([^"]*\)".*/\1/p')
printf '%s' "$vst_info" | grep -q 'has_editor="1"' || { echo "FAIL: Ardour's scanner saw no editor"; exit 1; }

# Ardour's settings: no first-run wizard, no memory-lock warning, the Dummy backend started without
# the audio/MIDI setup dialog.
touch "$work/config/ardour7/.a7"
echo '<instant><no-memory-warning/></instant>' >"$work/config/ardour7/instant.xml"
cat >"$work/config/ardour7/config" <<'XML'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="try-autostart-engine" value="1"/>
    <Option name="hide-dummy-backend" value="0"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Silence" input-device="Silence"
               output-device="Silence" sample-rate="48000" buffer-size="1024" n-periods="0" input-latency="0"
               output-latency="0" active="1" use-buffered-io="0" midi-option="No MIDI I/O"/>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
XML
export XDG_CONFIG_HOME="$work/config" XDG_CACHE_HOME="$work/cache" XDG_DATA_HOME="$work/data" LXVST_PATH="$work/vst" \
  LV2_PATH=/nonexistent LADSPA_PATH=/nonexistent VST3_PATH=/nonexistent ARDOUR_TRY_AUTOSTART_ENGINE=1

echo "== session"
clean_attempt() { rm -rf "$work/session"; }
ardour_lua_retried "$work/session.log" clean_attempt \
  env VSTID="$vst_id" SESSDIR="$work/session" /usr/bin/ardour7-lua "$here/editor-session.lua" ||
  { echo "FAIL: see above"; exit 1; }
route=$(sed -n 's/^route:[[:space:]]*//p' "$work/session.log")
processor=$(sed -n 's/^processor:[[:space:]]*//p' "$work/session.log")
session_file="$work/session/editor.ardour"
if [ -z "$route" ] || [ -z "$processor" ] || [ ! -f "$session_file" ]; then
  echo "FAIL: the session script made no session:"
  cat "$work/session.log"
  exit 1
fi
# Ardour keeps which of a session's windows are open in its "UI" state, and opens them on load.
python3 - "$session_file" "P-$route-$processor" <<'PY'
import sys
import xml.etree.ElementTree as ET
path, window = sys.argv[1], sys.argv[2]
tree = ET.parse(path)
extra = tree.getroot().find("Extra")
if extra is None:
    extra = ET.SubElement(tree.getroot(), "Extra")
ui = extra.find("UI")
if ui is None:
    ui = ET.SubElement(extra, "UI")
ET.SubElement(ui, "Window", {"name": window, "visible": "1", "x-off": "20", "y-off": "20"})
tree.write(path, encoding="UTF-8", xml_declaration=True)
PY

echo "== offscreen picture"
"$snapshot" "$work/snapshot.png" >/dev/null
cp "$work/snapshot.png" "$out/snapshot.png"

echo "== X server"
# Xvfb picks a free display itself and writes its number, so runs side by side never race.
Xvfb -displayfd 1 -screen 0 1600x1000x24 -nolisten tcp >"$work/display" 2>"$work/xvfb.log" &
xvfb_pid=$!
for _ in $(seq 100); do
  [ -s "$work/display" ] && break
  kill -0 "$xvfb_pid" 2>/dev/null || break
  sleep 0.1
done
[ -s "$work/display" ] || { echo "SKIP: Xvfb did not start:"; cat "$work/xvfb.log"; exit 77; }
DISPLAY=":$(head -n 1 "$work/display")"
export DISPLAY
echo "display $DISPLAY"

# Starts Ardour on the session and waits up to a minute for the editor's window. Answers 0 when it
# is there, 2 when Ardour died by a signal (worth another try), 1 otherwise.
open_editor() {
  /usr/bin/ardour --no-announcements --no-splash "$session_file" >"$work/ardour.log" 2>&1 &
  ardour_pid=$!
  local waited
  for waited in $(seq 120); do
    if ! kill -0 "$ardour_pid" 2>/dev/null; then
      local status=0
      wait "$ardour_pid" || status=$?
      ardour_pid=""
      echo "Ardour ended with status $status after $((waited / 2)) s"
      [ "$status" -gt 128 ] && return 2
      return 1
    fi
    if "$probe" find "$width" "$height" >"$work/found.txt"; then
      return 0
    fi
    sleep 0.5
  done
  echo "no ${width} x ${height} window after 60 s"
  return 1
}

echo "== Ardour"
attempt=1
while :; do
  result=0
  open_editor || result=$?
  [ "$result" -eq 0 ] && break
  "$probe" tree >"$out/windows.txt" 2>&1 || true
  cp "$work/ardour.log" "$out/ardour.log"
  if [ "$result" -ne 2 ] || [ "$attempt" -ge 5 ]; then
    echo "FAIL: Ardour did not show the editor (attempt $attempt); windows on the display:"
    cat "$out/windows.txt"
    echo "Ardour's log: $out/ardour.log"
    exit 1
  fi
  echo "note: Ardour died by a signal (attempt $attempt); trying again"
  attempt=$((attempt + 1))
done
echo "Ardour shows the editor (attempt $attempt):"
cat "$work/found.txt"

echo "== check"
editor=$(head -n 1 "$work/found.txt" | cut -d' ' -f1)
# The editor's window must sit inside Ardour's window for this plug-in, not be a top-level of its own.
ancestors=$(grep -c '^  in ' "$work/found.txt" || true)
[ "$ancestors" -ge 1 ] || { echo "FAIL: the editor's window is a top-level window, not a child of Ardour's"; exit 1; }
grep '^  in ' "$work/found.txt" | tail -n 1 | grep -qF "$plugin_name" ||
  { echo "FAIL: the editor's top-level window is not Ardour's window for $plugin_name"; exit 1; }
# The first frames may still be on their way: compare until they match or five seconds have passed.
compared=1
for _ in $(seq 10); do
  sleep 0.5
  "$probe" shot "$editor" "$out/ardour-editor.png" || continue
  if "$probe" compare "$out/ardour-editor.png" "$work/snapshot.png" "$tolerance" "${patches[@]}" >"$work/compare.txt"; then
    compared=0
    break
  fi
done
"$probe" tree >"$out/windows.txt" 2>&1 || true
cp "$work/ardour.log" "$out/ardour.log"
cat "$work/compare.txt" 2>/dev/null || true
echo "screenshot: $(readlink -f "$out/ardour-editor.png")"
echo "offscreen picture: $(readlink -f "$out/snapshot.png")"
if [ "$compared" -ne 0 ]; then
  echo "FAIL: the window's faceplate differs from brelvik-snapshot's picture"
  exit 1
fi
echo "PASS: Ardour opened the $width x $height editor of $plugin_name and shows its faceplate"
