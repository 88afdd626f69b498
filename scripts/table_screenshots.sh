#!/usr/bin/env bash
# Takes the documentation's pictures under Xvfb: the card table at four
# moments of a solo game (table-start.png, table-round.png, table-bust.png,
# table-winner.png) and the game options, tally, phrase and spy list windows
# (gamestart.png, tally.png, phrases.png, spylist.png), all in docs/; the
# round again in a window filling a 1920 x 1080 screen (table-maximised.png)
# and on a desktop scaled to 200% (table-round-scaled.png).
# Uses its own build folder, build-shots/, unless BUILD_DIR says otherwise;
# SHOTS_DIR names another folder for the pictures than docs/.
set -euo pipefail
cd "$(dirname "$0")/.."
build="${BUILD_DIR:-build-shots}"
shots="$(realpath "${SHOTS_DIR:-docs}")"
cmake -S . -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build "$build" --target docs_pictures -j2
. scripts/lib/xvfb.sh

runtime="$(mktemp -d)"
cleanup() {
  set +e
  xvfb_stop
  rm -rf "$runtime"
}
trap cleanup EXIT
xvfb_start 1920x1080x24

XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb "$build/tests/docs_pictures" "$shots"
# The desktop scaled to 200%: the table in a round once more.
XDG_RUNTIME_DIR="$runtime" QT_QPA_PLATFORM=xcb QT_SCALE_FACTOR=2 \
  "$build/tests/docs_pictures" "$shots" table-round-scaled.png
