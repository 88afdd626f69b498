#!/usr/bin/env bash
# Starts the game as a solo host on a private X display (Xvfb) and prints
#   - the time from the start of the process to its main window being shown
#     (mapped and viewable on the X server), and
#   - the peak memory (VmHWM from /proc) of the process after it has played a
#     solo game for a while: the script presses START GAME, starts the game
#     in the game options window and keeps clicking the user's cards.
#
# The program runs from a copy in a temporary folder, so its settings and
# tally files land there and the user's own stay untouched. Clicks go in
# through the X test extension (libXtst, which every X desktop carries).
#
# Usage: scripts/startup_metrics.sh [binary, default build/zandor] [seconds of play, default 20]
#                                   [scale, default $QT_SCALE_FACTOR or 1]
# With a scale the program runs with QT_SCALE_FACTOR set to it, as on a
# desktop scaled to 200% for 2, and the script's clicks land on the scaled
# window.
set -euo pipefail
cd "$(dirname "$0")/.."
binary=${1:-build/zandor}
play_seconds=${2:-20}
scale=${3:-${QT_SCALE_FACTOR:-1}}
export QT_SCALE_FACTOR=$scale
# A designed length in the window's pixels at that scale.
scaled() { awk -v v="$1" -v s="$scale" 'BEGIN { printf "%d", v * s + 0.5 }'; }

if [ ! -x "$binary" ]; then
  echo "no program at $binary; build it first (bash scripts/build.sh)" >&2
  exit 1
fi
for tool in xwininfo python3; do
  command -v "$tool" >/dev/null || { echo "$tool is missing" >&2; exit 1; }
done
. scripts/lib/xvfb.sh

game_pid=""
scratch=$(mktemp -d)
cleanup() {
  set +e
  if [ -n "$game_pid" ]; then kill "$game_pid" 2>/dev/null; wait "$game_pid" 2>/dev/null; fi
  xvfb_stop
  rm -rf "$scratch"
}
trap cleanup EXIT
# A screen large enough for the scaled window.
xvfb_start "$(scaled 1024)x$(scaled 768)x24"

mkdir -p "$scratch/game" "$scratch/runtime"
cp "$binary" "$scratch/game/zandor"

# One field of `xwininfo -name`, or nothing while the window does not exist.
window_field() { xwininfo -name "$1" 2>/dev/null | sed -n "s/^ *$2: *//p" | head -n1; }
window_id() { xwininfo -name "$1" 2>/dev/null | sed -n 's/^xwininfo: Window id: \(0x[0-9a-f]*\).*/\1/p'; }

now_ns() { date +%s%N; }
started=$(now_ns)
QT_QPA_PLATFORM=xcb XDG_RUNTIME_DIR="$scratch/runtime" "$scratch/game/zandor" >/dev/null 2>&1 &
game_pid=$!
shown=""
for _ in $(seq 3000); do
  if [ "$(window_field Zandor 'Map State')" = "IsViewable" ]; then
    shown=$(now_ns)
    break
  fi
  kill -0 "$game_pid" 2>/dev/null || { echo "the game ended during start-up" >&2; exit 1; }
  sleep 0.01
done
[ -n "$shown" ] || { echo "the main window did not show within 30 s" >&2; exit 1; }
echo "scale: $scale"
echo "main window shown after $(( (shown - started) / 1000000 )) ms"
echo "memory when shown (VmHWM): $(sed -n 's/^VmHWM: *//p' "/proc/$game_pid/status")"

# Raises a window and clicks at a point relative to its top-left corner.
click() {
  python3 - "$1" "$2" "$3" "$4" "$5" <<'PY'
import ctypes, sys
window, left, top, x, y = int(sys.argv[1], 16), *map(int, sys.argv[2:])
x11 = ctypes.CDLL("libX11.so.6")
xtst = ctypes.CDLL("libXtst.so.6")
x11.XOpenDisplay.restype = ctypes.c_void_p
display = x11.XOpenDisplay(None)
x11.XRaiseWindow(ctypes.c_void_p(display), ctypes.c_ulong(window))
xtst.XTestFakeMotionEvent(ctypes.c_void_p(display), -1, left + x, top + y, 0)
xtst.XTestFakeButtonEvent(ctypes.c_void_p(display), 1, 1, 0)
xtst.XTestFakeButtonEvent(ctypes.c_void_p(display), 1, 0, 0)
x11.XFlush(ctypes.c_void_p(display))
x11.XCloseDisplay(ctypes.c_void_p(display))
PY
}

main=$(window_id Zandor)
main_left=$(window_field Zandor 'Absolute upper-left X')
main_top=$(window_field Zandor 'Absolute upper-left Y')
# The client area (714 x 489 at scale 1) lies under the menu bar.
menu_height=$(( $(window_field Zandor Height) - $(scaled 489) ))
board_x=$(scaled 8)
board_y=$(( menu_height + $(scaled 8) ))

# START GAME on the table (275, 411; 144 x 33), once the host is listening
# and its own client has logged in (the button shows from the start; the
# options window only opens once logged in, so try until it does).
options=""
for _ in $(seq 500); do
  click "$main" "$main_left" "$main_top" $(( board_x + $(scaled 347) )) $(( board_y + $(scaled 427) ))
  options=$(window_id "Zandor - Game Start")
  if [ -n "$options" ] && [ "$(window_field 'Zandor - Game Start' 'Map State')" = "IsViewable" ]; then
    break
  fi
  options=""
  sleep 0.1
done
[ -n "$options" ] || { echo "the game options window did not open" >&2; exit 1; }
# Its START GAME picture sits in the middle, 76 pixels down.
click "$options" "$(window_field 'Zandor - Game Start' 'Absolute upper-left X')" \
  "$(window_field 'Zandor - Game Start' 'Absolute upper-left Y')" "$(scaled 128)" "$(scaled 92)"

# Starting a game saves the settings next to the program.
for _ in $(seq 100); do
  [ -e "$scratch/game/ridodezaz.ini" ] && break
  sleep 0.1
done
[ -e "$scratch/game/ridodezaz.ini" ] || { echo "the game did not start" >&2; exit 1; }

# Play: click the rightmost card of the hand now and then; a click outside
# the user's turn does nothing.
deadline=$(( $(date +%s) + play_seconds ))
while [ "$(date +%s)" -lt "$deadline" ]; do
  kill -0 "$game_pid" 2>/dev/null || { echo "the game ended while playing" >&2; exit 1; }
  click "$main" "$main_left" "$main_top" $(( board_x + $(scaled 300) )) $(( board_y + $(scaled 340) ))
  sleep 0.3
done
echo "peak memory after ${play_seconds} s of a solo game (VmHWM): $(sed -n 's/^VmHWM: *//p' "/proc/$game_pid/status")"
