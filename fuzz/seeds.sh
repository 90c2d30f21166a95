#!/bin/sh
# Fills the seed corpus of each fuzz target from the repository's own documents and files.
# Usage: fuzz/seeds.sh CORPUS_DIR   (run from the repository root)
set -e
out=$1
for t in document solve options_line settings_file user_function jacobian_file list_file common_format series_file; do
    mkdir -p "$out/$t"
done
# Seeds are named after their whole path: cases in different folders share file names.
seed() { cp "$1" "$out/$2/$(echo "$1" | tr / _)"; }
for f in examples/*.alg tests/golden/*/*.alg; do
    # Some cases give a folder or a device the document's name to show it refused.
    [ -f "$f" ] || continue
    seed "$f" document
    if [ "$(wc -c < "$f")" -le 400 ]; then seed "$f" solve; fi
    if head -n 1 "$f" | grep -q '^{Options: '; then
        head -n 1 "$f" | cut -c11- > "$out/options_line/$(echo "$f" | tr / _)"
    fi
done
printf '30 -5 robust incremental 10 sequential 1e-6 0.05 complex}' > "$out/options_line/all"
for f in tests/golden/*/*.FUN; do seed "$f" user_function; done
for f in tests/golden/*/expected/*.JAC; do seed "$f" jacobian_file; done
for f in tests/golden/*/*.LST; do seed "$f" list_file; done
printf 'x y z\n1 2 3\n2 4 6\n' > "$out/list_file/small"
for f in tests/data/ieee-cdf/*.cf; do seed "$f" common_format; done
for f in tests/golden/*/expected/*.FFT tests/golden/*/*.FFT tests/golden/*/expected/*.PRN; do
    if [ -f "$f" ]; then seed "$f" series_file; fi
done
# A settings file of a new document, written by the program itself.
printf '\000\000\002\000\000\000\000\000\000\000\000\000\000\000\000\000\001\000\000\000\001\000\000\000' > "$out/settings_file/new"
