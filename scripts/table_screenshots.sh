#!/usr/bin/env bash
# Photographs the card table under Xvfb at four moments of a solo game (the
# start, a round under way, a seat going broke, the winner) and writes
# docs/table-start.png, table-round.png, table-bust.png and table-winner.png.
# Uses its own build folder, build-shots/, unless BUILD_DIR says otherwise;
# SHOTS_DIR names another folder for the pictures than docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build-shots}"
shots="$(realpath "${SHOTS_DIR:-docs}")"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target e2e_game_pictures_test -j2
. scripts/lib/xvfb.sh

runtime="$(mktemp -d)"
cleanup() {
  set +e
  xvfb_stop
  rm -rf "$runtime"
}
trap cleanup EXIT
xvfb_start 1024x768x24

XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb ZANDOR_SCREENSHOT_DIR="$shots" \
  "$build/tests/e2e_game_pictures_test"
ls -l "$shots"/table-*.png
