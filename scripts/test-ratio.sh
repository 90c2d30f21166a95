#!/usr/bin/env bash
# Lines of test code against lines of the rest: every .cpp and .h under tests/ (not tests/data
# and tests/golden, whose cases are data) against every other .cpp and .h of the project.
set -euo pipefail
cd "$(dirname "$0")/.."
count() { xargs -0 -r cat | wc -l; }
tests=$(find tests -path tests/data -prune -o -path tests/golden -prune -o \
        \( -name '*.cpp' -o -name '*.h' \) -print0 | count)
code=$(find . \( -path ./tests -o -path './build*' -o -path ./.git \) -prune -o \
       \( -name '*.cpp' -o -name '*.h' \) -print0 | count)
awk -v t="$tests" -v c="$code" 'BEGIN { printf "tests %d, code %d, ratio %.3f\n", t, c, t / c }'
