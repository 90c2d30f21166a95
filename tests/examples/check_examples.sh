#!/usr/bin/env bash
# Runs every command of the examples' table (examples/README.md) in a fresh copy of the folder
# and fails unless each exits with 0. It also fails when a file of the folder is missing from
# the table or the table names a file the folder lacks, and, with --golden, when an input of a
# golden example case is not the same as the example it copies.
#
# Usage: check_examples.sh [--golden GOLDEN_DIR] EXAMPLES_DIR PROGRAM_DIR SCRATCH_DIR
# PROGRAM_DIR holds valdrix (and valdrix-graph); the commands find them first on the PATH.
set -uo pipefail
golden=""
if [ "${1:-}" = "--golden" ]; then
    golden="$2"
    shift 2
fi
if [ $# -ne 3 ]; then
    echo "usage: check_examples.sh [--golden GOLDEN_DIR] EXAMPLES_DIR PROGRAM_DIR SCRATCH_DIR" >&2
    exit 2
fi
examples="$(cd "$1" && pwd)"
programs="$(cd "$2" && pwd)"
scratch="$3"
failures=0
fail() {
    echo "FAIL: $*"
    failures=$((failures + 1))
}

table="$examples/README.md"
[ -f "$table" ] || { echo "FAIL: $table is missing"; exit 1; }
# Rows of the table: "| `file`, ... | kind | `command` | what it shows |".
mapfile -t rows < <(grep -E '^\| `' "$table")
[ ${#rows[@]} -gt 0 ] || fail "$table has no rows of examples"

named=()
commands=()
for row in "${rows[@]}"; do
    IFS='|' read -r _ files _ command _ <<< "$row"
    for f in $(grep -oE '`[^`]+`' <<< "$files" | tr -d '`'); do
        named+=("$f")
        [ -f "$examples/$f" ] || fail "the table names $f, which $examples lacks"
    done
    command=$(sed -E 's/^ *`(.*)` *$/\1/' <<< "$command")
    [ -n "$command" ] || fail "a row without a command: $row"
    commands+=("$command")
done

for path in "$examples"/*; do
    f=$(basename "$path")
    [ "$f" = README.md ] && continue
    # What a run of an example in place (make run) leaves beside it is no example.
    case "${f##*.}" in PRN | TMP | JAC | SJC | KTK | FFT | FIT | UPD | VDP) continue ;; esac
    printf '%s\n' "${named[@]}" | grep -qxF "$f" || fail "$f is in $examples but not in its table"
done

if [ -n "$golden" ]; then
    for case_dir in "$golden"/example_*/; do
        for input in "$case_dir"*; do
            f=$(basename "$input")
            case "$f" in cmdline | expected | EXPECTED_FAIL) continue ;; esac
            if [ ! -f "$examples/$f" ]; then
                fail "$(basename "$case_dir") holds $f, which is no example"
            elif ! cmp -s "$input" "$examples/$f"; then
                fail "$(basename "$case_dir")/$f differs from the example $f"
            fi
        done
    done
fi

rm -rf "$scratch"
n=0
for command in "${commands[@]}"; do
    n=$((n + 1))
    dir="$scratch/$n"
    mkdir -p "$dir"
    cp -r "$examples"/. "$dir"
    # Installed examples are read-only; the copy must not be.
    chmod -R u+w "$dir"
    out=$(cd "$dir" && PATH="$programs:$PATH" sh -c "$command" 2>&1 < /dev/null)
    status=$?
    if [ $status -ne 0 ]; then
        fail "'$command' exited with $status"
        tail -n 20 <<< "$out"
    fi
done
[ $failures -eq 0 ] && rm -rf "$scratch"
echo "$n example commands run, $failures failures"
[ $failures -eq 0 ]
