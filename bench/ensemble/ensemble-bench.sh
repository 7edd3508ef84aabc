#!/usr/bin/env bash
# Ensemble benchmark (a script, not run by ctest): the example activity as an
# ensemble of N members on the local engine (GNU parallel on every core)
# against the same N placement runs one after another, each in a fresh copy of
# the run folder as the ensemble makes it; then the aggregation alone (a rerun
# of the finished ensemble, which only aggregates).
#
#   bench/ensemble/ensemble-bench.sh [BIN_DIR] [N]      (defaults: build/bin, 100)
#
# Prints the wall times, the speed-up, and the overhead per member: the
# ensemble's wall time beyond a perfect share of the sequential runs over the
# cores, per member, as a share of one member's run; and the processor time
# of both ways (which other work on a shared machine does not change).
set -euo pipefail
src=$(cd "$(dirname "$0")/../.." && pwd)
bin=$(cd "${1:-$src/build/bin}" && pwd)
n=${2:-100}
cores=$(nproc)
work=$(mktemp -d /tmp/ensemble-bench.XXXXXX)
trap 'rm -rf "$work"' EXIT

mkdir -p "$work/run"
cp "$src"/examples/newport/* "$work/run/"
chmod -R u+w "$work/run"
(cd "$work/run" && echo GRIDYES > ACTION.BAT && "$bin/sitegen" < /dev/null > /dev/null)

now() { date +%s.%N; }
# Processor seconds (user + system) used so far by the children of this script.
# (`times` runs in this shell, not in a command substitution, which would be a subshell.)
cpu() {
    times > "$work/times.txt"
    cpu_seconds=$(tail -n 1 "$work/times.txt" | awk '{ split($1, u, "m"); split($2, s, "m");
        printf "%.3f", u[1] * 60 + u[2] + s[1] * 60 + s[2] }')
}

echo "== $n placement runs one after another"
cpu; c0=$cpu_seconds
t0=$(now)
for k in $(seq 1 "$n"); do
    d="$work/seq/$k"
    mkdir -p "$d"
    cp "$work"/run/* "$d/"
    (cd "$d" && echo DUMPYES > ACTION.BAT && "$bin/placer" --seed "$k" < /dev/null > placer.log) || true
done
t1=$(now)
cpu; c1=$cpu_seconds

echo "== an ensemble of $n members on the local engine ($cores cores)"
"$bin/ensemble" "$work/run" --members "$n" --seed 1 -o "$work/ens" > "$work/ens.log"
t2=$(now)
cpu; c2=$cpu_seconds
"$bin/ensemble" "$work/run" --members "$n" --seed 1 -o "$work/ens" > "$work/agg.log"
t3=$(now)

# The same seeds give the same members: the two ways did the same work.
cmp -s "$work/seq/1/NPSAND.IN" "$work/ens/members/base-0001/NPSAND.IN" ||
    echo "WARNING: member 1 differs from the sequential run with seed 1"

awk -v n="$n" -v p="$cores" -v s="$t0" -v a="$t1" -v b="$t2" -v c="$t3" \
    -v cs="$(awk -v x="$c0" -v y="$c1" 'BEGIN { print y - x }')" \
    -v ce="$(awk -v x="$c1" -v y="$c2" 'BEGIN { print y - x }')" 'BEGIN {
    seq = a - s; ens = b - a; agg = c - b; member = seq / n
    printf "sequential runs:      %8.1f s  (%.2f s per run)\n", seq, member
    printf "ensemble:             %8.1f s  (prepare, run, aggregate)\n", ens
    printf "speed-up:             %8.2f x  on %d cores\n", seq / ens, p
    over = (ens - seq / p) * p / n
    printf "overhead per member:  %8.3f s  (%.1f %% of a member run)\n", over, 100 * over / member
    printf "aggregation alone:    %8.2f s  (%d members, a rerun with every member done)\n", agg, n
    # On a shared machine the wall times depend on what else runs; the
    # processor seconds do not.
    printf "processor time:       %8.1f s sequential, %.1f s ensemble: %.3f s (%.1f %%) more per member\n",
        cs, ce, (ce - cs) / n, 100 * (ce - cs) / cs
}'
