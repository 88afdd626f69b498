#!/usr/bin/env bash
# Configures and builds Zandor into build/ (the program is build/zandor).
# With target names, builds only those (and what they need): the play
# command builds the program alone.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/install-deps.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
if [ "$#" -gt 0 ]; then
  targets=()
  for target in "$@"; do targets+=(--target "$target"); done
  cmake --build build -j"$(nproc)" "${targets[@]}"
else
  cmake --build build -j"$(nproc)"
fi
