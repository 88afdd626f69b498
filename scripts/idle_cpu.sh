#!/usr/bin/env bash
# Starts the game as a solo host on a private X display (Xvfb), lets it settle,
# and prints the processor time it uses over 10 idle seconds, read from
# /proc/<pid>/stat (utime + stime). Goal: under 0.3% of one core.
#
# Usage: scripts/idle_cpu.sh [path to the zandor binary, default build/zandor]
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build/zandor}
idle_seconds=10
settle_seconds=3

if [ ! -x "$binary" ]; then
  echo "no program at $binary; build it first (bash scripts/build.sh)" >&2
  exit 1
fi
. scripts/lib/xvfb.sh

game_pid=""
runtime_dir=$(mktemp -d)
cleanup() {
  set +e
  if [ -n "$game_pid" ]; then kill "$game_pid" 2>/dev/null; wait "$game_pid" 2>/dev/null; fi
  xvfb_stop
  rm -rf "$runtime_dir"
}
trap cleanup EXIT
xvfb_start

QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR=$runtime_dir "$binary" >/dev/null 2>&1 &
game_pid=$!
sleep "$settle_seconds"
kill -0 "$game_pid" 2>/dev/null || { echo "the game ended during start-up" >&2; exit 1; }

# Fields 14 and 15 of /proc/<pid>/stat, counted after the command name in
# brackets so that a name with spaces cannot shift them.
cpu_ticks() { sed 's/^.*) //' "/proc/$game_pid/stat" | awk '{ print $12 + $13 }'; }
clock_ticks=$(getconf CLK_TCK)

ticks_before=$(cpu_ticks)
start=$(date +%s.%N)
sleep "$idle_seconds"
ticks_after=$(cpu_ticks)
end=$(date +%s.%N)

awk -v t0="$ticks_before" -v t1="$ticks_after" -v hz="$clock_ticks" -v s0="$start" -v s1="$end" '
  BEGIN {
    cpu = (t1 - t0) / hz; wall = s1 - s0; share = 100 * cpu / wall
    printf "zandor idle for %.1f s: %.2f s of processor time, %.3f%% of one core (goal: under 0.3%%) %s\n",
           wall, cpu, share, (share < 0.3 ? "OK" : "OVER")
  }'
