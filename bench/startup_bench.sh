#!/usr/bin/env bash
# Start-up time and peak memory of the window, against an empty Qt window started the same way.
#   bench/startup_bench.sh [RUNS]     (after ./vrn build; default 10 runs of each)
# Both programs start, paint their first frame and quit (vrncomm --simulate --quit-after-start,
# build/bin/empty_window). Time is the wall time of the whole process; memory its peak resident
# set as /usr/bin/time reports it. Medians, and their ratios, from this one run.
set -euo pipefail
cd "$(dirname "$0")/.."
BIN=${BIN:-build/bin}
RUNS=${1:-10}
export QT_QPA_PLATFORM=${QT_QPA_PLATFORM:-offscreen}
# The window writes its preferences at exit: never into the user's own file.
XDG_CONFIG_HOME=$(mktemp -d)
export XDG_CONFIG_HOME
trap 'rm -rf "$XDG_CONFIG_HOME"' EXIT
for b in vrncomm empty_window; do
  [ -x "$BIN/$b" ] || { echo "startup_bench: $BIN/$b is missing (./vrn build)" >&2; exit 1; }
done

median() { sort -n | awk '{v[NR]=$1} END {print (NR % 2) ? v[(NR+1)/2] : (v[NR/2] + v[NR/2+1]) / 2}'; }

# measure NAME COMMAND...: RUNS runs, prints "median-ms median-KiB"
measure() {
  local name=$1; shift
  local times=() mems=() out=$XDG_CONFIG_HOME/time.out
  "$@" >/dev/null 2>&1  # warm the page cache once
  for ((i = 0; i < RUNS; i++)); do
    local t0 t1
    t0=$(date +%s%N)
    /usr/bin/time -f "%M" -o "$out" "$@" >/dev/null 2>&1
    t1=$(date +%s%N)
    times+=($(((t1 - t0) / 1000)))
    mems+=("$(tail -n 1 "$out")")
  done
  local ms kib
  ms=$(printf '%s\n' "${times[@]}" | median | awk '{printf "%.1f", $1 / 1000}')
  kib=$(printf '%s\n' "${mems[@]}" | median)
  printf '%-28s %9s ms %9s KiB\n' "$name" "$ms" "$kib" >&2
  echo "$ms $kib"
}

echo "start-up to first frame, $RUNS runs each, QT_QPA_PLATFORM=$QT_QPA_PLATFORM (medians):" >&2
base=$(measure "empty Qt window" "$BIN/empty_window")
app=$(measure "vrncomm --simulate" "$BIN/vrncomm" --simulate --quit-after-start)
read -r base_ms base_kib <<<"$base"
read -r app_ms app_kib <<<"$app"
awk -v a="$app_ms" -v b="$base_ms" -v am="$app_kib" -v bm="$base_kib" \
  'BEGIN {printf "ratio vrncomm / empty window: time %.2f, peak memory %.2f\n", a / b, am / bm}' >&2
# The rows of ./vrn bench's table.
awk -v a="$app_ms" -v b="$base_ms" -v am="$app_kib" -v bm="$base_kib" -v p="$QT_QPA_PLATFORM" 'BEGIN {
  printf "row\tStart-up to first paint, %s\t%.1f ms\t%.1f ms empty window\t%.2f\t<= 1.30\t%s\n", p, a, b, a / b, a / b <= 1.3 ? "met" : "not met"
  printf "row\tPeak memory at start-up, %s\t%d KiB\t%d KiB empty window\t%.2f\t<= 1.30\t%s\n", p, am, bm, am / bm, am / bm <= 1.3 ? "met" : "not met"
}'
