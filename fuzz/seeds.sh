#!/bin/sh
# Fills the seed corpus of each fuzz target from the repository's own documents and files.
# Usage: fuzz/seeds.sh CORPUS_DIR   (run from the repository root)
set -e
out=$1
for t in document solve options_line settings_file user_function jacobian_file list_file common_format; do
    mkdir -p "$out/$t"
done
for f in examples/*.alg tests/golden/*/*.alg; do
    cp "$f" "$out/document/"
    [ "$(wc -c < "$f")" -le 400 ] && cp "$f" "$out/solve/"
    head -n 1 "$f" | grep -q '^{Options: ' && head -n 1 "$f" | cut -c11- > "$out/options_line/$(basename "$f")"
done
printf '30 -5 robust incremental 10 sequential 1e-6 0.05 complex}' > "$out/options_line/all"
cp tests/golden/*/*.FUN "$out/user_function/"
cp tests/golden/*/expected/*.JAC "$out/jacobian_file/"
cp tests/golden/*/*.LST "$out/list_file/"
printf 'x y z\n1 2 3\n2 4 6\n' > "$out/list_file/small"
cp tests/data/ieee-cdf/*.cf "$out/common_format/"
# A settings file of a new document, written by the program itself.
printf '\000\000\002\000\000\000\000\000\000\000\000\000\000\000\000\000\001\000\000\000\001\000\000\000' > "$out/settings_file/new"
