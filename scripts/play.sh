#!/usr/bin/env bash
# Builds Zandor and starts it. Without arguments: a solo game against the
# computer. Arguments are passed on: player name, host address, "true" to host.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/build.sh
exec ./build/zandor "$@"
