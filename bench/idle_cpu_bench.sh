#!/usr/bin/env bash
# CPU time the idle window uses: vrncomm --simulate is started (Setup page shown, Timer1 ticking),
# left to settle, then the processor time of all its threads is read from /proc over SECONDS of
# wall time.
#   bench/idle_cpu_bench.sh [SECONDS]     (after a build; default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=${BIN:-build/bin}
SECONDS_IDLE=${1:-10}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
[ -x "$BIN/vrncomm" ] || { echo "idle_cpu_bench: $BIN/vrncomm is missing" >&2; exit 1; }
"$BIN/vrncomm" --simulate >/dev/null 2>&1 &
pid=$!
trap 'kill "$pid" 2>/dev/null; wait "$pid" 2>/dev/null || true; rm -rf "$XDG_CONFIG_HOME"' EXIT
# Nanoseconds on a processor, summed over every thread (first field of each thread's schedstat).
cpu_ns() { cat /proc/"$pid"/task/*/schedstat | awk '{s += $1} END {printf "%.0f", s}'; }
sleep 3
kill -0 "$pid" 2>/dev/null || { echo "idle_cpu_bench: vrncomm did not keep running" >&2; exit 1; }
t0=$(cpu_ns)
n0=$(date +%s%N)
sleep "$SECONDS_IDLE"
t1=$(cpu_ns)
n1=$(date +%s%N)
awk -v t="$((t1 - t0))" -v ns="$((n1 - n0))" -v p="$QT_QPA_PLATFORM" 'BEGIN {
  cpu = t / 1e6; wall = ns / 1e6
  printf "row\tIdle window CPU over %.0f s, %s\t%.1f ms CPU\t%.0f ms wall\t%.2f%% of a core\t< 1%%\t%s\n", wall / 1000, p, cpu, wall, 100 * cpu / wall, cpu / wall < 0.01 ? "met" : "not met"
}'
