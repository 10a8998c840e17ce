# shellcheck shell=bash
# Steps shared by the Ardour checks; sourced, not run.

# Scans PLUGIN.so with Ardour's own scanner: a copy goes to WORK/vst, the scanner's cache to
# WORK/cache. Sets vst_info (what the scanner read) and vst_id; answers 1 with the scanner's log
# when Ardour did not accept the plug-in.
ardour_scan() {
  local plug=$1 work=$2
  local name
  name=$(basename "$plug")
  mkdir -p "$work/vst" "$work/cache"
  # Ardour's scanner treats a binary modified in the same second as the scan as out of date, so
  # the copy gets an older time stamp.
  cp "$plug" "$work/vst/$name"
  touch -d '1 min ago' "$work/vst/$name"
  XDG_CACHE_HOME="$work/cache" LD_LIBRARY_PATH=/usr/lib/ardour7 \
    /usr/lib/ardour7/ardour-vst-scanner -f "$work/vst/$name" >"$work/scan.log" 2>&1 || true
  vst_info=$(cat "$work"/cache/ardour7/vst/*.v2i 2>/dev/null | grep -o '<VST2Info[^>]*>' | head -n 1 || true)
  vst_id=$(printf '%s' "$vst_info" | sed -n 's/.* id="\([0-9-]*\)".*/\1/p')
  if [ -z "$vst_id" ]; then
    echo "Ardour's scanner did not accept $name:"
    cat "$work/scan.log"
    return 1
  fi
  echo "scanned: $vst_info"
}

# Runs COMMAND (an ardour7-lua session script) with its output in LOG, each attempt after CLEAN (a
# command that removes what an earlier attempt left). Headless ardour7-lua 7.3 sometimes corrupts
# its own heap on a busy machine, even for a session that holds nothing but an empty bus (about one
# run in three with both cores busy); such a crash (death by a signal) is tried again, up to five
# attempts. A plug-in's own fault repeats, and other failures are not retried: they answer 1 with
# the log.
ardour_lua_retried() {
  local log=$1 clean=$2
  shift 2
  local attempt=1 status
  while :; do
    "$clean"
    status=0
    "$@" >"$log" 2>&1 || status=$?
    [ "$status" -eq 0 ] && return 0
    if [ "$status" -le 128 ] || [ "$attempt" -ge 5 ]; then
      echo "the Ardour session script failed (exit status $status, attempt $attempt):"
      cat "$log"
      return 1
    fi
    echo "note: ardour7-lua died by signal $((status - 128)) (attempt $attempt); trying again"
    attempt=$((attempt + 1))
  done
}
