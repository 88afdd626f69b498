#!/usr/bin/env bash
# Photographs the card table under Xvfb at four moments of a solo game (the
# start, a round under way, a seat going broke, the winner) and writes
# docs/table-start.png, table-round.png, table-bust.png and table-winner.png.
# Uses its own build folder, build-shots/, unless BUILD_DIR says otherwise.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build-shots}"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target e2e_game_pictures_test -j2
runtime="$(mktemp -d)"
trap 'rm -rf "$runtime"' EXIT
XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb ZANDOR_SCREENSHOT_DIR="$PWD/docs" \
  xvfb-run -a -s "-screen 0 1024x768x24" "$build/tests/e2e_game_pictures_test"
ls -l docs/table-*.png
