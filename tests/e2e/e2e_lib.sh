# What the end-to-end checks share: a private X server, a private world, the real program
# started in it, and the means to wait for a page and click on it. Sourced by each check with
# the program's path as its first argument; a check skips (77) without Xvfb or xdotool.
set -euo pipefail
for tool in Xvfb xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
program=$(realpath "$1")

world=$(mktemp -d)
pid=
xserver=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; [ -n "$xserver" ] && kill "$xserver" 2>/dev/null; rm -rf "$world"' EXIT
# The server picks a free display itself and names it once it listens, so that checks run side
# by side never share one (xvfb-run -a can hand the same number to two of them). Without
# -noreset it resets whenever its last client leaves, and a program started at that moment
# cannot connect.
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset > "$world/display" 2>/dev/null &
xserver=$!
for _ in $(seq 100); do
  [ -s "$world/display" ] && break
  sleep 0.1
done
[ -s "$world/display" ] || { echo "FAIL: Xvfb did not start"; exit 1; }
export DISPLAY=":$(head -1 "$world/display")"
mkdir -p "$world/data" "$world/config" "$world/run"
chmod 700 "$world/run"
catalog="$world/data/Quavermill/mp3_library.dat"

# Writes a track of two silent MPEG frames: enough for the scan and the tag tool.
silent_mp3() {
  for frame in 1 2; do
    printf '\xff\xfb\x90\x64'
    head -c 413 /dev/zero
  done > "$1"
}

# Starts the program on the volume table given. A private temporary folder keeps the
# single-instance socket apart from any other Quavermill.
start_program() {
  printf '%s\n' "$@" > "$world/volumes"
  XDG_DATA_HOME="$world/data" XDG_CONFIG_HOME="$world/config" QUAVERMILL_VOLUMES="$world/volumes" \
    TMPDIR="$world/run" XDG_RUNTIME_DIR="$world/run" "$program" &
  pid=$!
}

window=
# Waits up to 20 s for the frame to show the page whose caption matches.
wait_page() {
  for _ in $(seq 200); do
    window=$(xdotool search --name "^Quavermill v[^ ]* - $1" 2>/dev/null | head -1) || true
    [ -n "$window" ] && return 0
    sleep 0.1
  done
  echo "FAIL: no page \"$1\" (the window reads: $(xdotool search --name '^Quavermill v' getwindowname 2>/dev/null))"
  if kill -0 "$pid" 2>/dev/null; then
    echo "the program is still running"
  else
    status=0
    wait "$pid" || status=$?
    pid=
    echo "the program has ended with exit code $status"
  fi
  exit 1
}
# Clicks a point of the page, in the page's coordinates.
click() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + $1)) $((Y + $2)) click 1
  sleep "${3:-0.3}"
}

# From the end of a scan on the selection page to the description page with its first group
# clicked, ready to type.
describe_first_group() {
  wait_page "Tracks Selection to Add"
  sleep 1
  wait_page "Tracks Selection to Add" # the search is over
  click 606 349                       # Set tracks description
  wait_page "Setting Description"
  click 390 148 1.5                   # the group, once the double-click time is over
}
# Types text into a box of the description page (its place on the page).
type_into() {
  click "$1" "$2"
  xdotool key ctrl+a
  xdotool type --delay 20 "$3"
}
