#!/usr/bin/env bash
# A real engine: a single-node Slurm cluster on this machine (its own munged,
# slurmctld and slurmd, configured in a temporary folder, without cgroups)
# runs a small ensemble as one job array; the same ensemble on the local
# engine (GNU parallel) must give byte-identical member outputs, seed for
# seed. Every daemon started here is stopped, however the test ends.
#   slurm_test.sh BIN_DIR SOURCE_DIR
set -euo pipefail
bin=$1
src=$2

. "$src/tools/need-packages.sh"
need_packages slurm-wlm munge parallel

work=$(mktemp -d /tmp/ensemble-slurm.XXXXXX)
pids=()
stop_daemons() {
    local p
    for p in "${pids[@]}"; do kill "$p" 2>/dev/null || true; done
    for p in "${pids[@]}"; do
        for _ in $(seq 50); do kill -0 "$p" 2>/dev/null || break; sleep 0.1; done
        kill -9 "$p" 2>/dev/null || true
    done
}
show_logs() {
    local f
    for f in "$work"/slurm/*.log "$work"/munge/munged.log; do
        [ -f "$f" ] && { echo "---- $f"; tail -n 30 "$f"; }
    done
}
trap 'status=$?; stop_daemons; [ $status -ne 0 ] && show_logs; rm -rf "$work"; exit $status' EXIT

# ---- a small run folder: the example site, 12 loads instead of 36
mkdir -p "$work/run"
cp "$src"/examples/newport/* "$work/run/"
chmod -R u+w "$work/run"
(cd "$work/run" && echo GRIDYES > ACTION.BAT && "$bin/sitegen" < /dev/null > /dev/null)
sed -i '16s/^.*$/       12    24000/' "$work/run/DUMP.INI"

# ---- munged with its own key and socket
mkdir -p "$work/munge" "$work/slurm/state" "$work/slurm/spool"
chmod 700 "$work/munge"
dd if=/dev/urandom of="$work/munge/munge.key" bs=1024 count=1 status=none
chmod 400 "$work/munge/munge.key"
socket="$work/munge/munge.socket"
munged --key-file="$work/munge/munge.key" --socket="$socket" \
       --pid-file="$work/munge/munged.pid" --log-file="$work/munge/munged.log" \
       --seed-file="$work/munge/munged.seed" --force
for _ in $(seq 50); do [ -s "$work/munge/munged.pid" ] && break; sleep 0.1; done
pids+=("$(cat "$work/munge/munged.pid")")

# ---- slurm.conf: one node, this machine, ports of our own
port=$(( 20000 + RANDOM % 20000 ))
node=ensnode
cat > "$work/slurm/slurm.conf" <<CONF
ClusterName=ensembletest
SlurmctldHost=$(hostname)(127.0.0.1)
SlurmctldPort=$port
SlurmdPort=$((port + 1))
SlurmUser=root
SlurmdUser=root
AuthType=auth/munge
AuthInfo=socket=$socket
CredType=cred/munge
StateSaveLocation=$work/slurm/state
SlurmdSpoolDir=$work/slurm/spool
SlurmctldPidFile=$work/slurm/slurmctld.pid
SlurmdPidFile=$work/slurm/slurmd.pid
SlurmctldLogFile=$work/slurm/slurmctld.log
SlurmdLogFile=$work/slurm/slurmd.log
ProctrackType=proctrack/linuxproc
TaskPlugin=task/none
SelectType=select/cons_tres
SelectTypeParameters=CR_Core
JobAcctGatherType=jobacct_gather/none
AccountingStorageType=accounting_storage/none
MpiDefault=none
ReturnToService=2
SchedulerType=sched/builtin
InactiveLimit=0
KillWait=5
MinJobAge=300
NodeName=$node NodeHostname=$(hostname) NodeAddr=127.0.0.1 CPUs=$(nproc) State=UNKNOWN
PartitionName=test Nodes=$node Default=YES MaxTime=INFINITE State=UP
CONF
export SLURM_CONF="$work/slurm/slurm.conf"
slurmctld -D -i -f "$SLURM_CONF" > "$work/slurm/slurmctld.out.log" 2>&1 &
pids+=($!)
slurmd -D -N "$node" -f "$SLURM_CONF" > "$work/slurm/slurmd.out.log" 2>&1 &
pids+=($!)
up=0
for _ in $(seq 100); do
    if sinfo -h -N -o '%T' 2>/dev/null | grep -q -E '^(idle|mixed|allocated)'; then up=1; break; fi
    sleep 0.2
done
if [ $up -ne 1 ]; then
    echo "FAIL: the single-node Slurm cluster did not come up (node state: $(sinfo -h -N -o '%T' 2>&1))"
    exit 1
fi

# ---- the same ensemble on both engines: 4 members, 2 per array task
"$bin/ensemble" "$work/run" --members 4 --seed 11 --engine slurm --chunk 2 -o "$work/slurm-out"
"$bin/ensemble" "$work/run" --members 4 --seed 11 --engine local -o "$work/local-out"

tasks=$(ls "$work"/slurm-out/engine/task-*.lst | wc -l)
[ "$tasks" -eq 2 ] || { echo "FAIL: $tasks array tasks, expected 2"; exit 1; }
job=$(head -n 1 "$work/slurm-out/engine/sbatch.log" | cut -d';' -f1)
echo "job array $job ran its tasks: $(ls "$work"/slurm-out/engine/task-*.log | wc -l) task logs"

fail=0
for m in base-0001 base-0002 base-0003 base-0004; do
    for f in NPSAND.IN NPSAND.OUT NPSAND.DAT NPSAND.TNS NPSAND.ACT NPSAND.TIM CLDX.DUT PLOTBATH.DAT; do
        if ! cmp -s "$work/slurm-out/members/$m/$f" "$work/local-out/members/$m/$f"; then
            echo "FAIL: $m/$f differs between the Slurm and the local engine"
            fail=1
        fi
    done
done
# Different seeds must give different members (the scatter is really seeded).
if cmp -s "$work/local-out/members/base-0001/NPSAND.IN" "$work/local-out/members/base-0002/NPSAND.IN"; then
    echo "FAIL: members with seeds 11 and 12 placed the loads alike"
    fail=1
fi
# The balance figures agree too (all columns but the folder).
if ! diff <(cut -d, -f1-14 "$work/slurm-out/members.csv") <(cut -d, -f1-14 "$work/local-out/members.csv"); then
    echo "FAIL: members.csv differs between the engines"
    fail=1
fi
# A rerun on Slurm finds every member done and submits nothing.
rm -f "$work/slurm-out/engine/sbatch.log"
"$bin/ensemble" "$work/run" --members 4 --seed 11 --engine slurm --chunk 2 -o "$work/slurm-out" \
    > "$work/rerun.log"
grep -q "0 TO RUN" "$work/rerun.log" || { echo "FAIL: the rerun ran members again"; cat "$work/rerun.log"; fail=1; }
[ ! -e "$work/slurm-out/engine/sbatch.log" ] || { echo "FAIL: the rerun submitted a job"; fail=1; }
[ $fail -eq 0 ] && echo "PASS: 4 members on a Slurm job array of 2 tasks match the local engine byte for byte"
exit $fail
