#!/usr/bin/env bash
# A 20-week long-term run (NDAYS = 140, 1121 three-hour steps) of the mound
# model on a 201 x 201 grid of 50-ft cells: a cohesive mound with
# consolidation, waves from the wave series (its records repeated to cover
# the 20 weeks) and the tide of South Beach with a steady 0.5 ft/s current.
# While the run goes on, its resident memory and its open files are sampled
# every few seconds; at the end a small table, the size of PLOTBATH.DAT and
# the run time are printed.
#
#   bench/dredge/long_run.sh [path/to/dredge] [seconds between samples]
#
# The inputs are written to a temporary folder, removed at the end (set
# KEEP=1 to keep it).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
dredge=$(realpath "${1:-$root/build/bin/dredge}")
every=${2:-5}
data=$root/tests/dredge/data
[ -x "$dredge" ] || { echo "no dredge program at $dredge" >&2; exit 2; }

dir=$(mktemp -d "${TMPDIR:-/tmp}/dredge_long_run.XXXXXX")
[ "${KEEP:-0}" = 1 ] || trap 'rm -rf "$dir"' EXIT

n=201
ndays=140
nsteps=$((ndays * 8 + 1))

# The site: a 14-ft mound on a 55-ft bed with a pseudo-random roughness of
# up to half a foot, depths column by column in (26F8.3) records.
awk -v n="$n" 'BEGIN {
    printf "          %5.1f\n", 50.0
    printf "%-60s\n", "LONG RUN SITE 201 X 201"
    seed = 12345; k = 0; line = ""
    for (i = 1; i <= n; i++) for (j = 1; j <= n; j++) {
        x = (i - 101) * 50.0; y = (j - 101) * 50.0
        r2 = (x * x + y * y) / (2.0 * 600.0 * 600.0)
        seed = (seed * 1103515245 + 12345) % 4294967296
        rough = int(seed / 256) % 65536 / 65535.0 - 0.5
        line = line sprintf("%8.3f", 55.0 - 14.0 * exp(-r2) + rough)
        if (++k % 26 == 0) { print line; line = "" }
    }
    if (line != "") print line
    printf "%20s %9s\n", "", "999999999"
}' > "$dir/SITE.TNS"

# PCD.INI: (7I5) N0 NDAYS NX NY IWAVE ITIDE ICOH / (A32) grid file /
# (8F8.3) angle, wave height, period, direction, gauge depths /
# (8F8.3) schedule, speeds, directions, switch day / (F8.3,I4,3F8.3).
{
    printf "%5d%5d%5d%5d%5d%5d%5d\n" 1 "$ndays" "$n" "$n" 1 1 2
    printf "%-32s\n" SITE.TNS
    printf "%8.3f%8.3f%8.3f%8.3f%8.3f%8.3f\n" 20 3 8 0 60 60
    printf "%8.3f%8.3f%8.3f%8.3f%8.3f%8.3f\n" 0 0.5 45 3 0.5 45
    printf "%8.3f%4d%8.3f%8.3f%8.3f\n" 0.2 2 30 25 0.4
} > "$dir/PCD.INI"

cp "$data/TIDAL_SOUTH_BEACH.DAT" "$dir/TIDAL.DAT"
cp "$data/PCDDF_CLAY.DAT" "$dir/PCDDF2.DAT"
# The wave series: its nine header records, then its data records repeated
# until every step has one.
{
    head -n 9 "$data/WAVREC.OUT"
    records=$(tail -n +10 "$data/WAVREC.OUT")
    count=$(printf '%s\n' "$records" | wc -l)
    for ((k = 0; k * count < nsteps; k++)); do printf '%s\n' "$records"; done
} > "$dir/WAVREC.OUT"

cd "$dir"
start=$(date +%s.%N)
"$dredge" < /dev/null > console.txt 2>&1 &
pid=$!

printf '%10s %10s %10s %8s\n' "elapsed s" "RSS kB" "HWM kB" "open fds"
sample() {
    local now rss hwm fds
    now=$(date +%s.%N)
    rss=$(awk '/^VmRSS/ {print $2}' "/proc/$pid/status" 2>/dev/null) || return 1
    hwm=$(awk '/^VmHWM/ {print $2}' "/proc/$pid/status" 2>/dev/null) || return 1
    fds=$(ls "/proc/$pid/fd" 2>/dev/null | wc -l)
    [ -n "$rss" ] || return 1
    printf '%10.1f %10s %10s %8s\n' "$(echo "$now - $start" | bc)" "$rss" "$hwm" "$fds"
}
sleep 1
while kill -0 "$pid" 2>/dev/null; do
    sample || break
    sleep "$every"
done
status=0
wait "$pid" || status=$?
end=$(date +%s.%N)

echo
echo "exit status:        $status"
echo "run time:           $(printf '%.1f' "$(echo "$end - $start" | bc)") s"
echo "PLOTBATH.DAT:       $(stat -c %s PLOTBATH.DAT 2>/dev/null || echo missing) bytes"
echo "grids written:      $(grep -c 'ELAPSED TIME' PLOTBATH.DAT 2>/dev/null || echo 0)"
echo "end marker:         $(tail -n 1 PLOTBATH.DAT 2>/dev/null | tr -s ' ')"
echo "last console line:  $(tr '\r' '\n' < console.txt | grep -v '^ *$' | tail -n 1)"
exit "$status"
