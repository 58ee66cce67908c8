# What the end-to-end checks share: a private X server, a private world, the real program
# started in it, and the means to wait for a page and click on it. Sourced by each check with
# the program's path as its first argument; a check skips (77) without Xvfb, xdotool or xprop.
#
# The checks wait for conditions (a page's title, a file, a count), never for a fixed time.
# Every wait gives up after its time multiplied by QUAVERMILL_E2E_SCALE (default 1): raise it
# on a slow or loaded machine, together with ctest's own limit for the check, e.g.
#   QUAVERMILL_E2E_SCALE=3 ctest -R _e2e --timeout 900
set -euo pipefail
scale=${QUAVERMILL_E2E_SCALE:-1}
for tool in Xvfb xdotool xprop; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
program=$(realpath "$1")

world=$(mktemp -d)
pid=
xserver=
spy=
# A kill that finds its process gone must not end the clean-up (set -e holds in the trap too).
trap '[ -n "$spy" ] && kill "$spy" 2>/dev/null || true; [ -n "$pid" ] && kill "$pid" 2>/dev/null || true; [ -n "$xserver" ] && kill "$xserver" 2>/dev/null || true; rm -rf "$world"' EXIT

# Runs a command every 0.05 s until it succeeds, for at most $1 seconds (times the scale).
wait_until() {
  local tries
  tries=$(awk -v seconds="$1" -v scale="$scale" 'BEGIN { printf "%d", seconds * scale * 20 + 1 }')
  shift
  for _ in $(seq "$tries"); do
    "$@" && return 0
    sleep 0.05
  done
  return 1
}

# The server picks a free display itself and names it once it listens, so that checks run side
# by side never share one (xvfb-run -a can hand the same number to two of them). Without
# -noreset it resets whenever its last client leaves, and a program started at that moment
# cannot connect.
Xvfb -displayfd 1 -screen 0 1024x768x24 -nolisten tcp -noreset > "$world/display" 2>/dev/null &
xserver=$!
wait_until 10 test -s "$world/display" || { echo "FAIL: Xvfb did not start"; exit 1; }
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

# Writes three tracks of an album into the folder given, which it makes.
three_tracks() {
  mkdir -p "$1"
  for name in "So What" "Freddie Freeloader" "Blue in Green"; do
    silent_mp3 "$1/$name.mp3"
  done
}

# Starts the program on the volume table given. A private temporary folder keeps the
# single-instance socket apart from any other Quavermill.
start_program() {
  printf '%s\n' "$@" > "$world/volumes"
  XDG_DATA_HOME="$world/data" XDG_CONFIG_HOME="$world/config" QUAVERMILL_VOLUMES="$world/volumes" \
    TMPDIR="$world/run" XDG_RUNTIME_DIR="$world/run" "$program" &
  pid=$!
  # The new program's frame may get the window number of the one before.
  spied=
}

window=
spied=
page_shown() {
  window=$(xdotool search --name "^Quavermill v[^ ]* - $1" 2>/dev/null | head -1) || true
  [ -n "$window" ]
}
# Waits up to 20 s for the frame to show the page whose caption matches. From the first page of
# a program on, every title the frame takes is written down in "$world/titles", one a line.
wait_page() {
  if wait_until 20 page_shown "$1"; then
    if [ "$spied" != "$window" ]; then
      [ -n "$spy" ] && kill "$spy" 2>/dev/null || true
      : > "$world/titles"
      xprop -id "$window" -spy _NET_WM_NAME >> "$world/titles" 2>/dev/null &
      spy=$!
      spied=$window
      wait_until 5 test -s "$world/titles"
    fi
    return 0
  fi
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
# Whether the scan of the selection page shown last is over: the page came (one title), its
# scan began ("Seeking in", perhaps already read as the end's title) and a later title reads
# the page's own caption again.
scan_over() {
  awk '/ - (Tracks Selection|Seeking in)/ { if (++run > 1 && / - Tracks Selection/) over = 1; next }
       { run = 0; over = 0 }
       END { exit !over }' "$world/titles"
}
# Waits for the selection page and the end of its scan.
wait_scan() {
  wait_page "Tracks Selection to Add"
  wait_until 60 scan_over || { echo "FAIL: the scan did not end; titles:"; cat "$world/titles"; exit 1; }
}
# Clicks a point of the page, in the page's coordinates.
click() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + $1)) $((Y + $2)) click 1
}

# From the end of a scan on the selection page to the description page with its first group
# chosen, ready to type. The tree holds back a click on a group for the double-click time;
# Space, on the row the click made current, acts at once (and delivers the held click first).
describe_first_group() {
  wait_scan
  click 606 349                       # Set tracks description
  wait_page "Setting Description"
  click 390 148                       # the group
  xdotool key space
}
# Types text into a box of the description page (its place on the page).
type_into() {
  click "$1" "$2"
  xdotool key ctrl+a
  xdotool type --delay 20 "$3"
}
