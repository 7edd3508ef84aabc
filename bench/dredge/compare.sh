#!/usr/bin/env bash
# Byte comparison of two builds of the long-term mound model on the
# benchmark weeks of dredge_bench (a non-cohesive and a cohesive week at an
# offshore site and under harbour currents): each build's dredge runs every
# case in its own folder, and PLOTBATH.DAT, STORE.DAT (cohesive cases) and
# the console must be the same byte for byte.
#
#   bench/dredge/compare.sh OLD_BIN NEW_BIN [CASE...]
#
# OLD_BIN and NEW_BIN are folders holding a dredge program (for example
# /work/baseline/bin and build/bin); the cases' inputs are written by
# dredge_bench_cases from NEW_BIN (or build/bin). Exit status 0 when every
# case agrees, 1 when one differs. Set KEEP=1 to keep the work folder.
set -euo pipefail
old=$(realpath "${1:?usage: compare.sh OLD_BIN NEW_BIN [CASE...]}")
new=$(realpath "${2:?usage: compare.sh OLD_BIN NEW_BIN [CASE...]}")
shift 2
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
writer=$new/dredge_bench_cases
[ -x "$writer" ] || writer=$root/build/bin/dredge_bench_cases
for b in "$old" "$new"; do [ -x "$b/dredge" ] || { echo "no dredge program in $b" >&2; exit 2; }; done
[ -x "$writer" ] || { echo "no dredge_bench_cases (build the dredge_bench_cases target)" >&2; exit 2; }

work=$(mktemp -d "${TMPDIR:-/tmp}/dredge_compare.XXXXXX")
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$work"' EXIT
"$writer" "$work/cases"
cases=("$@")
[ ${#cases[@]} -gt 0 ] || cases=($(ls "$work/cases"))

status=0
for c in "${cases[@]}"; do
    [ -d "$work/cases/$c" ] || { echo "no case $c" >&2; exit 2; }
    for side in old new; do
        d=$work/$side/$c
        mkdir -p "$d"
        cp "$work/cases/$c"/* "$d/"
        bin=$old; [ $side = new ] && bin=$new
        (cd "$d" && "$bin/dredge" < /dev/null > console.txt 2>&1; echo "exit status $?" >> console.txt)
    done
    result=same files=
    for file in PLOTBATH.DAT STORE.DAT console.txt; do
        a=$work/old/$c/$file b=$work/new/$c/$file
        if [ ! -e "$a" ] && [ ! -e "$b" ]; then continue; fi
        files="$files $file"
        if ! cmp -s "$a" "$b"; then
            result=DIFFERENT
            echo "$c: $file differs" >&2
        fi
    done
    printf '%-36s %-9s (%s)\n' "$c" "$result" "${files# }"
    [ $result = same ] || status=1
done
exit $status
