#!/usr/bin/env bash
# End to end, as a user would: the real program under Xvfb, driven with xdotool. Add tracks ->
# Search in some folder -> the disk -> Start -> Set tracks description -> the group's album typed
# -> Add tracks to the catalog; then the catalog view is shown and "mp3_library.dat" holds the
# three tracks with that album. Skipped (77) without Xvfb or xdotool.
#
#   tests/e2e/describe_e2e.sh build/bin/quavermill
source "$(dirname "$0")/e2e_lib.sh"

album="$world/disk/Music/Kind of Blue"
three_tracks "$album"
start_program "$world/disk	fixed	1"

wait_page "Main Menu"
click 606 75                      # Add tracks to the catalog
wait_page "Tracks Search"
click 606 159                     # Search in some folder
wait_page "Folder Selection"
click 290 186                     # the disk
click 606 349                     # Start tracks search
describe_first_group
type_into 240 284 "Kind of Blue (e2e)" # the group's album box
click 606 349                     # Add tracks to the catalog
wait_page "Catalog Viewing"

catalogued() {
  count=$(grep -c "^DAT.*Kind of Blue (e2e)_.*$album/" "$catalog" 2>/dev/null) || true
  [ "${count:-0}" -eq 3 ]
}
wait_until 10 catalogued && { echo "PASS: three tracks described and catalogued"; exit 0; }
echo "FAIL: the catalog holds ${count:-0} of the three tracks:"
cat "$catalog" 2>/dev/null | tr '_' ' ' | tr -s ' '
exit 1
