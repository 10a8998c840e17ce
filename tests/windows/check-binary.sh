#!/usr/bin/env bash
# Checks a Windows plug-in DLL with the toolchain's objdump: the expected machine, exactly the two
# entry exports (VSTPluginMain and main, undecorated) and imports from Windows' own DLLs only (the
# C and C++ runtimes, winpthread, zlib and libpng are linked in).
# Usage: tests/windows/check-binary.sh OBJDUMP DLL pei-x86-64|pei-i386
set -euo pipefail
[ $# -eq 3 ] || { echo "usage: tests/windows/check-binary.sh OBJDUMP DLL pei-x86-64|pei-i386" >&2; exit 2; }
objdump=$1 dll=$2 format=$3

# System DLLs the plug-in may use: the kernel and the C runtime now; the window, drawing, dialog
# and COM libraries for the editor.
allowed="kernel32.dll msvcrt.dll user32.dll gdi32.dll gdiplus.dll comdlg32.dll ole32.dll"

failed=0
verdict() { # OK NAME DETAIL
  if [ "$1" = 1 ]; then printf '[ ok ] %s: %s\n' "$2" "$3"; else printf '[FAIL] %s: %s\n' "$2" "$3"; failed=1; fi
}

actual=$("$objdump" -f "$dll" | sed -n 's/.*file format //p')
verdict "$([ "$actual" = "$format" ] && echo 1)" "$(basename "$dll") machine" "$actual"

headers=$("$objdump" -p "$dll")
# The export name table lists "[ordinal] name" lines after "[Ordinal/Name Pointer] Table".
exports=$(printf '%s\n' "$headers" | awk '/\[Ordinal\/Name Pointer\] Table/ {on = 1; next}
  on && /^[[:space:]]*\[ *[0-9]+\]/ {print $NF; next} on && NF == 0 {on = 0}' | sort | tr '\n' ' ')
verdict "$([ "$exports" = "VSTPluginMain main " ] && echo 1)" "exports" "${exports% }"

imports=$(printf '%s\n' "$headers" | sed -n 's/^[[:space:]]*DLL Name: //p' | tr 'A-Z' 'a-z' | sort -u | tr '\n' ' ')
unexpected=""
for name in $imports; do
  case " $allowed " in *" $name "*) ;; *) unexpected="$unexpected $name" ;; esac
done
verdict "$([ -z "$unexpected" ] && [ -n "$imports" ] && echo 1)" "imports only system DLLs" \
  "${imports% }${unexpected:+ (not allowed:$unexpected)}"
exit $failed
