#!/usr/bin/env bash
# End to end, as a user would: the real program under Xvfb, driven with xdotool. Add tracks ->
# Search in some folder -> the disk -> Start -> Set tracks description -> the group's album typed
# -> Add tracks to the catalog; then the catalog view is shown and "mp3_library.dat" holds the
# three tracks with that album. Skipped (77) without xvfb-run or xdotool.
#
#   tests/e2e/describe_e2e.sh build/bin/quavermill
set -euo pipefail
for tool in xvfb-run xdotool; do
  command -v "$tool" >/dev/null || { echo "skipped: $tool is not installed"; exit 77; }
done
program=$(realpath "$1")
if [ -z "${QUAVERMILL_E2E_DISPLAY:-}" ]; then
  export QUAVERMILL_E2E_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24" "$0" "$@"
fi

world=$(mktemp -d)
pid=
trap '[ -n "$pid" ] && kill "$pid" 2>/dev/null; rm -rf "$world"' EXIT
album="$world/disk/Music/Kind of Blue"
mkdir -p "$album" "$world/data" "$world/config" "$world/run"
chmod 700 "$world/run"
for name in "So What" "Freddie Freeloader" "Blue in Green"; do
  # Two silent MPEG frames: enough for the scan and the tag tool.
  for frame in 1 2; do
    printf '\xff\xfb\x90\x64'
    head -c 413 /dev/zero
  done > "$album/$name.mp3"
done
printf '%s\tfixed\t1\n' "$world/disk" > "$world/volumes"

# A private temporary folder keeps the single-instance socket apart from any other Quavermill.
XDG_DATA_HOME="$world/data" XDG_CONFIG_HOME="$world/config" QUAVERMILL_VOLUMES="$world/volumes" \
  TMPDIR="$world/run" XDG_RUNTIME_DIR="$world/run" "$program" &
pid=$!

window=
# Waits up to 20 s for the frame to show the page whose caption matches.
wait_page() {
  for _ in $(seq 200); do
    window=$(xdotool search --name "^Quavermill v[^ ]* - $1" 2>/dev/null | head -1) || true
    [ -n "$window" ] && return 0
    sleep 0.1
  done
  echo "FAIL: no page \"$1\" (the window reads: $(xdotool search --name '^Quavermill v' getwindowname 2>/dev/null))"
  exit 1
}
# Clicks a point of the page, in the page's coordinates.
click() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + $1)) $((Y + $2)) click 1
  sleep "${3:-0.3}"
}

wait_page "Main Menu"
click 606 75                      # Add tracks to the catalog
wait_page "Tracks Search"
click 606 159                     # Search in some folder
wait_page "Folder Selection"
click 290 186 1                   # the disk
click 606 349                     # Start tracks search
wait_page "Tracks Selection to Add"
sleep 1
wait_page "Tracks Selection to Add" # the search is over
click 606 349                     # Set tracks description
wait_page "Setting Description"
click 390 148 1.5                 # the group, once the double-click time is over
click 240 284                     # its album box
xdotool key ctrl+a
xdotool type --delay 20 "Kind of Blue (e2e)"
click 606 349                     # Add tracks to the catalog
wait_page "Catalog Viewing"

catalog="$world/data/Quavermill/mp3_library.dat"
for _ in $(seq 100); do
  count=$(grep -c "^DAT.*Kind of Blue (e2e)_.*$album/" "$catalog" 2>/dev/null) || true
  [ "${count:-0}" -eq 3 ] && { echo "PASS: three tracks described and catalogued"; exit 0; }
  sleep 0.1
done
echo "FAIL: the catalog holds ${count:-0} of the three tracks:"
cat "$catalog" 2>/dev/null | tr '_' ' ' | tr -s ' '
exit 1
