#!/usr/bin/env bash
# Builds the program (not the tests and benchmarks) and starts it. Without
# arguments: a solo game against the computer. Arguments are passed on:
# player name, host address, "true" to host.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh zandor
exec ./build/zandor "$@"
