#!/usr/bin/env bash
# Kills sitegen, modify, utility (a mound) and placer at many points of their
# runs (a range of delays, SIGKILL and SIGTERM) and checks after each that the
# site's set of files is whole: every file as the uninterrupted run leaves it,
# or every file as before the run, never a mix; that no temporary or journal
# is left once the next program has touched the folder; and that the next run
# works.
#   kill_test.sh BIN_DIR SOURCE_DIR
set -uo pipefail
bin=$(realpath "${1:?usage: kill_test.sh BIN_DIR SOURCE_DIR}")
src=$(realpath "${2:?}")
work=$(mktemp -d "${TMPDIR:-/tmp}/kill-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
ex=$src/examples/newport
killed=0 checked=0 mixed=0 old_sets=0 new_sets=0 failures=0

sums() {  # sums DIR NAME EXT...: one checksum line per file ("-" if absent)
    local dir=$1 name=$2; shift 2
    for e in "$@"; do
        if [ -f "$dir/$name$e" ]; then sha256sum < "$dir/$name$e" | cut -c1-16; else echo -; fi
    done | tr '\n' ' '
}

fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# run_killed DIR FLAG SIGNAL DELAY PROGRAM [ARGS]: starts the program in its
# own process group and stops it after DELAY seconds (a SIGKILL takes its
# children with it, as a machine that stops would).
run_killed() {
    local dir=$1 flag=$2 sig=$3 delay=$4 prog=$5; shift 5
    (cd "$dir" && echo "$flag" > ACTION.BAT && exec setsid "$bin/$prog" "$@" < /dev/null > kill.log 2>&1) &
    local pid=$!
    sleep "$delay"
    # (Before the program has its group, the starting shell itself is killed.)
    if [ "$sig" = KILL ]; then
        kill -KILL -- "-$pid" 2>/dev/null || kill -KILL "$pid" 2>/dev/null
    else
        kill -"$sig" "$pid" 2>/dev/null
    fi
    wait "$pid" 2>/dev/null
    # Children of a stopped run end before the next program starts.
    while pgrep -g "$pid" > /dev/null 2>&1; do sleep 0.05; done
    killed=$((killed + 1))
}

# check DIR NAME OLD NEW EXT...: the next program touches the folder, then the
# set is all OLD or all NEW and nothing of the dead run is left.
check() {
    local dir=$1 name=$2 old=$3 new=$4; shift 4
    (cd "$dir" && echo NONE > ACTION.BAT && "$bin/placer" < /dev/null > /dev/null 2>&1)
    local now
    now=$(sums "$dir" "$name" "$@")
    checked=$((checked + 1))
    if [ "$now" = "$old" ]; then
        old_sets=$((old_sets + 1))
    elif [ "$now" = "$new" ]; then
        new_sets=$((new_sets + 1))
    else
        mixed=$((mixed + 1))
        fail "$name set mixed: $now (old $old, new $new)"
    fi
    local left
    left=$(cd "$dir" && ls | grep -E '\.(tmp|old)[0-9]+$|\.SET$')
    [ -z "$left" ] || fail "left behind in $dir: $left"
}

site_files=(.IN .OUT .DAT .TNS)

# ---- sitegen, modify, utility: a fresh folder from a stored start each time
base=$work/base
mkdir -p "$base"
cp "$ex"/SITEGEN.INI "$ex"/SURVEY.XYZ "$ex"/TIDAL.DAT "$ex"/TIDE.DAT "$ex"/WAVREC.OUT "$ex"/DUMP.INI "$base/"
chmod u+w "$base"/*
(cd "$base" && echo GRIDYES > ACTION.BAT && "$bin/sitegen" < /dev/null > /dev/null 2>&1) || fail "sitegen"
cat > "$base/MODIFY.INI" <<'INI'

NEWPRT
NEWPRT
EDITED IN PLACE
    1
    2
  12000.0000  27000.0000     55.0000
  12050.0000  27000.0000     55.5000
    1
INI
printf 'NEWPRT\nM\n  12500.0000  27500.0000\n     50.0000      0.0500\n   1\n' > "$base/UTL.INI"

# one_job FLAG PROGRAM START DELAYS...: the program killed in a copy of START
# at each delay with SIGKILL and SIGTERM. The first run is killed at once and
# then run to its end in the same folder: the next run works, and its set is
# the new set the other runs are checked against.
one_job() {
    local flag=$1 prog=$2 start=$3; shift 3
    local delays=("$@") files=("${site_files[@]}")
    [ "$prog" = placer ] && files=("${placer_files[@]}")
    local args=(); [ "$prog" = placer ] && args=(--seed 7)
    local d=$work/run old new
    old=$(sums "$start" NEWPRT "${files[@]}")
    rm -rf "$d"; cp -r "$start" "$d"
    run_killed "$d" "$flag" KILL 0 "$prog" "${args[@]}"
    check "$d" NEWPRT "$old" "-" "${files[@]}"
    (cd "$d" && echo "$flag" > ACTION.BAT && "$bin/$prog" "${args[@]}" < /dev/null > /dev/null 2>&1) ||
        fail "$prog after a killed run"
    new=$(sums "$d" NEWPRT "${files[@]}")
    [ "$new" != "$old" ] || fail "$prog changes nothing"
    local i=0 sig
    for delay in "${delays[@]}"; do
        for sig in KILL TERM; do
            [ "$prog" = placer ] && [ $((i % 2)) = 1 ] && [ $sig = TERM ] && sig=HUP
            rm -rf "$d"; cp -r "$start" "$d"
            run_killed "$d" "$flag" "$sig" "$delay" "$prog" "${args[@]}"
            check "$d" NEWPRT "$old" "$new" "${files[@]}"
        done
        i=$((i + 1))
    done
}

placer_files=(.IN .OUT .DAT .TNS .ACT .TIM .HIS)
quick=(0.003 0.01 0.02 0.04 0.08 0.15)
empty=$work/empty
cp -r "$base" "$empty"; rm -f "$empty"/NEWPRT.*
one_job GRIDYES sitegen "$empty" "${quick[@]}"
one_job EDITYES modify "$base" "${quick[@]}"
one_job UTILITY1 utility "$base" "${quick[@]}"
# placer with the output name the site name: the run changes its own site.
sed -i '3s/^....../NEWPRT/' "$base/DUMP.INI"
one_job DUMPYES placer "$base" 0.3 1.5 3.5

echo "runs killed: $killed; sets checked: $checked (all old $old_sets, all new $new_sets); mixed: $mixed"
[ "$failures" = 0 ]
