# A private X display for the scripts that run the game or its tests in a
# real window. Source this file; it does nothing on its own.
#
#   xvfb_start [screen]  starts Xvfb (screen default 1024x768x24) on a display
#                        number nobody holds and exports DISPLAY for it;
#                        returns 1 with a message when it cannot.
#   xvfb_stop            ends that Xvfb again; harmless when none runs. Call
#                        it from the script's EXIT trap.

xvfb_pid=""

xvfb_start() {
  local screen=${1:-1024x768x24}
  command -v Xvfb >/dev/null || { echo "Xvfb is missing (apt-get install xvfb)" >&2; return 1; }
  local number_file number=""
  number_file=$(mktemp)
  # With -displayfd the server itself takes the first free display number and
  # writes it, a line of its own, once it accepts connections: two scripts
  # starting at the same moment cannot end up on one display.
  Xvfb -displayfd 3 -nolisten tcp -screen 0 "$screen" 3>"$number_file" 2>/dev/null &
  xvfb_pid=$!
  for _ in $(seq 100); do
    if [ "$(wc -l <"$number_file")" -ge 1 ]; then
      number=$(head -n1 "$number_file")
      break
    fi
    kill -0 "$xvfb_pid" 2>/dev/null || break
    sleep 0.1
  done
  rm -f "$number_file"
  if ! [[ "$number" =~ ^[0-9]+$ ]] || ! kill -0 "$xvfb_pid" 2>/dev/null; then
    xvfb_stop
    echo "could not start Xvfb" >&2
    return 1
  fi
  export DISPLAY=":$number"
}

xvfb_stop() {
  if [ -n "$xvfb_pid" ]; then
    kill "$xvfb_pid" 2>/dev/null || true
    wait "$xvfb_pid" 2>/dev/null || true
    xvfb_pid=""
  fi
  return 0
}
