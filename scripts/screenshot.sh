#!/usr/bin/env bash
# Makes every picture of the documentation, drawn by Qt's offscreen platform (no display needed):
#   docs/screenshot.png           the main window after a Solve of docs/images/screenshot.alg
#   docs/images/tutorial-*.png    the steps of docs/tutorial.md, from docs/images/throw.alg and
#                                 examples/regression.alg
# Usage: scripts/screenshot.sh [BUILD_DIR] [OUT_DIR]   (OUT_DIR instead of docs/, for a check)
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
build="${1:-$root/build}"
out="${2:-$root/docs}"
gui="$build/valdrix-gui"
if [ ! -x "$gui" ]; then
    echo "screenshot: $gui is missing; run 'make build' first" >&2
    exit 1
fi
# A fixed folder keeps the path shown in the Properties window short and the same every time.
work="${VALDRIX_SCREENSHOT_WORK:-/tmp/valdrix}"
rm -rf "$work"
mkdir -p "$work" "$out/images"

# shoot PICTURE DOC [OPTIONS...]: the window after DOC's run, every picture from a fresh profile
# so that none depends on what an earlier one left behind.
shoot() {
    local picture="$1" doc="$2"
    shift 2
    rm -rf "$work/config"
    QT_QPA_PLATFORM=offscreen XDG_CONFIG_HOME="$work/config" \
        "$gui" --screenshot "$work/shot.png" "$@" "$doc" 2> "$work/log" ||
        { cat "$work/log" >&2; exit 1; }
    # Fewer colours keep the picture small enough for the repository.
    if command -v convert > /dev/null; then
        convert "$work/shot.png" -colors 128 -strip "PNG8:$picture"
    else
        cp "$work/shot.png" "$picture"
    fi
    echo "screenshot: wrote $picture ($(stat -c %s "$picture") bytes)"
}

cp "$root/docs/images/screenshot.alg" "$work/model.alg"
shoot "$out/screenshot.png" "$work/model.alg"

# The tutorial's model as typed, then with the ')' of SIN(a) forgotten, then with the range
# no longer fixed so that a sweep of the angle can give it.
cp "$root/docs/images/throw.alg" "$work/throw.alg"
shoot "$out/images/tutorial-solve.png" "$work/throw.alg"
sed 's|^T = 2\*v\*SIN(a)/g;|T = 2*v*SIN(a/g;|' "$root/docs/images/throw.alg" > "$work/typo.alg"
cmp -s "$work/typo.alg" "$root/docs/images/throw.alg" &&
    { echo "screenshot: throw.alg no longer holds the line the typo is made in" >&2; exit 1; }
shoot "$out/images/tutorial-error.png" "$work/typo.alg"
grep -av '^r = 35;' "$root/docs/images/throw.alg" > "$work/range.alg"
shoot "$out/images/tutorial-sweep.png" "$work/range.alg" \
    --screenshot-sweep a=0.1:1.5:14 --screenshot-graph a:r

cp "$root/examples/regression.alg" "$root/examples/regression.LST" "$work/"
shoot "$out/images/tutorial-fit.png" "$work/regression.alg" --screenshot-fit "$work/regression.LST"
rm -rf "$work"
