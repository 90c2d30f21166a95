#!/usr/bin/env bash
# Refreshes docs/screenshot.png: the main window after a Solve of docs/images/screenshot.alg
# (Greek names, comments), drawn by Qt's offscreen platform (no display needed).
# Usage: scripts/screenshot.sh [BUILD_DIR]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
gui="$build/valdrix-gui"
if [ ! -x "$gui" ]; then
    echo "screenshot: $gui is missing; run 'make build' first" >&2
    exit 1
fi
# A fixed folder keeps the path shown in the Properties window short and the same every time.
work=/tmp/valdrix
rm -rf "$work"
mkdir -p "$work"
cp "$root/docs/images/screenshot.alg" "$work/model.alg"
out="$root/docs/screenshot.png"
QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" "$gui" --screenshot "$work/shot.png" \
    "$work/model.alg" 2> "$work/log" || { cat "$work/log" >&2; exit 1; }
# Fewer colours keep the picture small enough for the repository.
if command -v convert > /dev/null; then
    convert "$work/shot.png" -colors 128 -strip "PNG8:$out"
else
    cp "$work/shot.png" "$out"
fi
rm -rf "$work"
echo "screenshot: wrote $out ($(stat -c %s "$out") bytes)"
