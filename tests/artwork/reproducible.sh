#!/usr/bin/env bash
# Two runs of the bitmap generator give byte-identical PNGs.
# Usage: reproducible.sh BRELVIK_ARTWORK
set -euo pipefail
tool=$1
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/a" "$work/b"
"$tool" --out "$work/a" >/dev/null
"$tool" --out "$work/b" >/dev/null
count=$(ls "$work/a" | wc -l)
[ "$count" -eq 36 ] || { echo "expected 36 bitmaps, got $count"; exit 1; }
for f in "$work"/a/*.png; do
  cmp "$f" "$work/b/$(basename "$f")" || { echo "$(basename "$f") differs between two runs"; exit 1; }
done
echo "36 bitmaps, byte-identical over two runs"
