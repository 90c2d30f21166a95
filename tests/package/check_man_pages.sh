#!/usr/bin/env bash
# Fails unless the SYNOPSIS and OPTIONS of each manual page name exactly the options its
# program's --help lists (examples and prose may name other programs' options), and unless groff
# formats the page without a warning.
# Usage: check_man_pages.sh PROGRAM PAGE [PROGRAM PAGE ...]
set -uo pipefail
if [ $# -eq 0 ] || [ $(($# % 2)) -ne 0 ]; then
    echo "usage: check_man_pages.sh PROGRAM PAGE [PROGRAM PAGE ...]" >&2
    exit 2
fi
# The options a text names: words that start with one or two dashes and a letter, standing
# after a blank, a bracket, a bar or a comma (so "power-flow" is none).
options_in() {
    grep -oE '(^|[][ |,("])--?[a-z][a-z0-9-]*' | sed -E 's/^[][ |,("]//' | sort -u
}
failures=0
while [ $# -gt 0 ]; do
    program="$1"
    page="$2"
    shift 2
    name=$(basename "$page")
    from_help=$(QT_QPA_PLATFORM=offscreen "$program" --help 2> /dev/null | options_in)
    # In roff a dash of an option is written \- .
    from_page=$(awk '/^\.SH/ { keep = ($2 == "SYNOPSIS" || $2 == "OPTIONS"); next } keep' "$page" |
        sed 's/\\-/-/g' | options_in)
    if [ -z "$from_help" ]; then
        echo "FAIL: $program --help names no option"
        failures=$((failures + 1))
    fi
    missing=$(comm -23 <(echo "$from_help") <(echo "$from_page"))
    extra=$(comm -13 <(echo "$from_help") <(echo "$from_page"))
    if [ -n "$missing" ]; then
        echo "FAIL: $name lacks options that $(basename "$program") --help lists:" $missing
        failures=$((failures + 1))
    fi
    if [ -n "$extra" ]; then
        echo "FAIL: $name names options that $(basename "$program") --help does not list:" $extra
        failures=$((failures + 1))
    fi
    warnings=$(groff -man -Tutf8 -ww -z "$page" 2>&1)
    if [ -n "$warnings" ]; then
        echo "FAIL: groff warns about $name:"
        echo "$warnings"
        failures=$((failures + 1))
    fi
done
[ $failures -eq 0 ]
