#!/usr/bin/env bash
# Reliability soak: the unmodified tool on the emulated controller through many randomly
# drawn scenarios (faults at every point, controller versions, images, languages,
# /downgradable, both scales), lanes side by side, each in a prefix and on a screen of its
# own. Every outcome is checked against the same scenario run in process; the seed is
# printed and replays the same draws.
# Usage: soak.sh [--seed N] [--runs N] [--lanes N]   (runs per lane)
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
seed=$(( $(date +%s) % 100000 )) runs=10 lanes=3
while (($#)); do
  case $1 in
    --seed) seed=$2; shift 2 ;;
    --runs) runs=$2; shift 2 ;;
    --lanes) lanes=$2; shift 2 ;;
    *) echo "usage: soak.sh [--seed N] [--runs N] [--lanes N]" >&2; exit 2 ;;
  esac
done
echo "soak: seed $seed, $lanes lanes of $runs runs"

jobs=$(nproc)
cmake --preset windows >/dev/null
cmake --build --preset windows -j "$jobs" >/dev/null

w=$PWD/build/windows
work=$PWD/build/soak
rm -rf "$work"
mkdir -p "$work"
sizes=(1920x1080 2560x1440)
pids=()
for lane in $(seq 1 "$lanes"); do
  bash tests/wine/bench.sh run "$work/prefix-$lane" "${sizes[$((lane % 2))]}" -- \
    bash bench/soak_lane.sh "$lane" "$((seed * 100 + lane))" "$runs" "$work/lane-$lane" "$w/tests/bench.env" >"$work/lane-$lane.log" 2>&1 &
  pids+=($!)
done
for pid in "${pids[@]}"; do wait "$pid" || true; done
cat "$work"/lane-*.log
ok=$(cat "$work"/lane-*.log | grep -c '^ok ' || true)
bad=$(cat "$work"/lane-*.log | grep -c '^FAIL ' || true)
echo "soak: seed $seed: $ok passed, $bad failed"
[[ $bad -eq 0 && $ok -eq $((runs * lanes)) ]]
