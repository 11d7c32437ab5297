#!/usr/bin/env bash
# What the protocol trace costs: a Get Setup by vrncomm-cli over a pty to vrncomm-sim, with and
# without --trace, taken in turns so that the machine's drift falls on both; the whole command's
# wall time, medians of RUNS each, and their ratio. Prints one "row" line.
#   bench/trace_bench.sh [RUNS]     (after ./vrn build; default 10)
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=${BIN:-build/bin}
RUNS=${1:-10}
for b in vrncomm-cli vrncomm-sim; do
  [ -x "$BIN/$b" ] || { echo "trace_bench: $BIN/$b is missing (./vrn build)" >&2; exit 1; }
done
work=$(mktemp -d)
"$BIN/vrncomm-sim" --link "$work/tty" >/dev/null 2>&1 &
sim=$!
trap 'kill $sim 2>/dev/null; wait $sim 2>/dev/null; rm -rf "$work"' EXIT
for _ in $(seq 100); do [ -e "$work/tty" ] && break; sleep 0.05; done
[ -e "$work/tty" ] || { echo "trace_bench: the simulator did not start" >&2; exit 1; }

median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }
run_us() {  # run_us [--trace FILE]: one Get Setup, its wall time in microseconds
  local t0 t1
  t0=$(date +%s%N)
  "$BIN/vrncomm-cli" --port "$work/tty" "$@" get-setup "$work/s.set" >/dev/null
  t1=$(date +%s%N)
  echo $(((t1 - t0) / 1000))
}

plain=() traced=()
run_us >/dev/null  # the page cache and the simulator warmed once
for ((i = 0; i < RUNS; i++)); do
  plain+=("$(run_us)")
  traced+=("$(run_us --trace "$work/trace.txt")")
done
[ -s "$work/trace.txt" ] || { echo "trace_bench: the traced runs wrote no trace" >&2; exit 1; }
p=$(printf '%s\n' "${plain[@]}" | median)
t=$(printf '%s\n' "${traced[@]}" | median)
echo "Get Setup by vrncomm-cli, median of $RUNS: untraced $p us, traced $t us;" \
  "trace of the last run: $(wc -l <"$work/trace.txt") lines"
awk -v p="$p" -v t="$t" 'BEGIN {
  r = t / p
  printf "row\tGet Setup with --trace\t%.1f ms\t%.1f ms untraced\t%.3f\t<= 1.05\t%s\n",
    t / 1000, p / 1000, r, (r <= 1.05) ? "met" : "not met"
}'
