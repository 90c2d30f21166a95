#!/usr/bin/env bash
# Packages the build as `make package` does (into a scratch folder, so a package made by hand is
# left alone), unpacks it into a scratch root and checks what a user would meet: the control
# fields, every file in its place, the programs running from the root alone, every example
# solving with them, and the desktop entry, file type and AppStream metadata passing the
# desktop's own validators where those are installed.
# Usage: check_package.sh BUILD_DIR SCRATCH_DIR VERSION
set -uo pipefail
if [ $# -ne 3 ]; then
    echo "usage: check_package.sh BUILD_DIR SCRATCH_DIR VERSION" >&2
    exit 2
fi
build="$(cd "$1" && pwd)"
scratch="$2"
version="$3"
here="$(cd "$(dirname "$0")" && pwd)"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

rm -rf "$scratch"
mkdir -p "$scratch"
scratch="$(cd "$scratch" && pwd)"
if ! cpack -G DEB -B "$scratch/out" --config "$build/CPackConfig.cmake" > "$scratch/cpack.log" 2>&1
then
    cat "$scratch/cpack.log"
    echo "FAIL: cpack made no package"
    exit 1
fi
debs=("$scratch"/out/*.deb)
if [ ${#debs[@]} -ne 1 ] || [ ! -f "${debs[0]}" ]; then
    echo "FAIL: cpack made ${#debs[@]} packages, not one"
    exit 1
fi
deb="${debs[0]}"

[ "$(dpkg-deb -f "$deb" Package)" = valdrix ] || fail "the package is not named valdrix"
[ "$(dpkg-deb -f "$deb" Version)" = "$version" ] ||
    fail "version $(dpkg-deb -f "$deb" Version), not the project's $version"
depends=$(dpkg-deb -f "$deb" Depends)
# The libraries dpkg-shlibdeps found: the C++ runtime and Qt's widgets at least.
depended=$(tr ',' '\n' <<< "$depends" | sed -E 's/^ +//; s/ .*//')
for lib in libc6 libstdc++6 libqt6widgets6 libqt6gui6; do
    grep -qxF "$lib" <<< "$depended" || fail "Depends lacks $lib: $depends"
done

root="$scratch/root"
dpkg-deb -x "$deb" "$root"
for f in usr/bin/valdrix usr/bin/valdrix-gui usr/bin/valdrix-graph \
    usr/share/applications/valdrix.desktop usr/share/mime/packages/valdrix.xml \
    usr/share/icons/hicolor/scalable/apps/valdrix.svg \
    usr/share/metainfo/org.valdrix.valdrix.metainfo.xml \
    usr/share/man/man1/valdrix.1.gz usr/share/man/man1/valdrix-graph.1.gz \
    usr/share/man/man1/valdrix-gui.1.gz \
    usr/share/doc/valdrix/examples/README.md usr/share/doc/valdrix/examples/intro.alg; do
    [ -f "$root/$f" ] || fail "the package lacks /$f"
done
# Nothing may lead back into the build tree.
for program in valdrix valdrix-gui valdrix-graph; do
    if readelf -d "$root/usr/bin/$program" 2> /dev/null | grep -qE 'R(UN)?PATH'; then
        fail "$program carries a library search path: $(readelf -d "$root/usr/bin/$program" |
            grep -E 'R(UN)?PATH')"
    fi
done
for page in "$root"/usr/share/man/man1/*.gz; do
    gzip -t "$page" 2> /dev/null || fail "$(basename "$page") is no gzip archive"
done

bin="$root/usr/bin"
[ "$("$bin/valdrix" --version)" = "valdrix $version" ] || fail "valdrix --version"
[ "$("$bin/valdrix-gui" --version 2> /dev/null)" = "valdrix-gui $version" ] ||
    fail "valdrix-gui --version"
"$here/../examples/check_examples.sh" "$root/usr/share/doc/valdrix/examples" "$bin" \
    "$scratch/examples" || fail "the packaged examples do not all solve with the packaged programs"

# The graph tool draws the packaged sweep example's results.
mkdir -p "$scratch/graph"
cp "$root/usr/share/doc/valdrix/examples/sweep.alg" "$scratch/graph/"
(cd "$scratch/graph" && "$bin/valdrix" run --sweep a=0.1:1.5:14 sweep.alg G > /dev/null &&
    QT_QPA_PLATFORM=offscreen "$bin/valdrix-graph" sweep.PRN a r -o sweep.png 2> /dev/null) ||
    fail "valdrix-graph drew no graph of the sweep example"
[ "$(head -c 4 "$scratch/graph/sweep.png" 2> /dev/null | tail -c 3)" = PNG ] ||
    fail "sweep.png is no PNG picture"

if command -v desktop-file-validate > /dev/null; then
    out=$(desktop-file-validate "$root/usr/share/applications/valdrix.desktop" 2>&1) ||
        fail "desktop-file-validate: $out"
fi
if command -v appstreamcli > /dev/null; then
    out=$(appstreamcli validate --no-net \
        "$root/usr/share/metainfo/org.valdrix.valdrix.metainfo.xml" 2>&1) ||
        fail "appstreamcli validate: $out"
fi
if command -v update-mime-database > /dev/null; then
    mime="$scratch/mime"
    mkdir -p "$mime/packages"
    cp "$root/usr/share/mime/packages/valdrix.xml" "$mime/packages/"
    update-mime-database "$mime" > /dev/null 2>&1 || fail "update-mime-database refused valdrix.xml"
    grep -qx 'text/x-valdrix-alg:\*\.alg' "$mime/globs" 2> /dev/null ||
        fail "the file type does not claim *.alg"
fi

[ $failures -eq 0 ] && rm -rf "$scratch"
echo "package $(basename "$deb") checked, $failures failures"
[ $failures -eq 0 ]
