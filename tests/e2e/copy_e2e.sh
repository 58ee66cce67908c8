#!/usr/bin/env bash
# End to end, as a user would: the real program under Xvfb, driven with xdotool, copying the
# tracks of a stick into the storage folder. First a whole import: Add tracks -> Search on all
# removable -> Set tracks description -> artist and album typed -> Add tracks to the catalog;
# the copy page stores the three tracks under Artist/Album and the catalog names the stored
# files. Then an import of a larger stick stopped at once with "Return to main menu": the
# storage folder and the catalog are exactly as before. The same import killed half-way
# (SIGKILL) is undone by the next start; stopped half-way by SIGTERM, as a desktop logging out
# does, it is undone before the program ends. Skipped (77) without Xvfb or xdotool.
#
#   tests/e2e/copy_e2e.sh build/bin/quavermill
source "$(dirname "$0")/e2e_lib.sh"

storage="$world/data/Quavermill/Library"
three_tracks "$world/stick/Jazz"
mkdir -p "$world/stick2/Many"
# Tracks of 3.4 MB, so that this import lasts long enough to be stopped, killed and terminated
# in the middle however fast the copy is.
silent_mp3 "$world/track.mp3"
for _ in $(seq 12); do # doubled to 8,192 frames
  cat "$world/track.mp3" "$world/track.mp3" > "$world/twice.mp3"
  mv "$world/twice.mp3" "$world/track.mp3"
done
for n in $(seq -w 300); do
  cp "$world/track.mp3" "$world/stick2/Many/Track $n.mp3"
done

# Searches the removable media, describes the one group found and adds it to the catalog.
import_stick() {
  wait_page "Main Menu"
  click 606 75                        # Add tracks to the catalog
  wait_page "Tracks Search"
  click 606 75                        # Search on all removable
  describe_first_group
  type_into 524 284 "Miles Davis"     # its artist box
  type_into 240 284 "Kind of Blue"    # its album box
  click 606 349                       # Add tracks to the catalog
}

listing() {
  # A folder's own size is left out: ext4 does not shrink a folder whose files have gone.
  (cd "$storage" && find . \( -type f -printf '%p %s\n' \) -o -printf '%p\n' | sort \
    && find . -type f -exec md5sum {} + | sort)
}

start_program "$world/stick	removable	1"
import_stick
wait_page "Catalog Viewing"
for name in "So What" "Freddie Freeloader" "Blue in Green"; do
  [ -f "$storage/Miles Davis/Kind of Blue/$name.mp3" ] || { echo "FAIL: $name.mp3 is not stored"; exit 1; }
done
catalogued() {
  count=$(grep -c "^DAT.*$storage/Miles Davis/Kind of Blue/" "$catalog" 2>/dev/null || true)
  [ "${count:-0}" -eq 3 ]
}
wait_until 10 catalogued || { echo "FAIL: the catalog names ${count:-0} of the three stored tracks"; exit 1; }
! ls "$world/data/Quavermill/"import-*.journal 2>/dev/null || { echo "FAIL: the import left its journal"; exit 1; }
kill "$pid"
wait "$pid" 2>/dev/null || true

before=$(listing)
catalogBefore=$(md5sum < "$catalog")
start_program "$world/stick2	removable	1"
import_stick
wait_page "Tracks Copying"
click 606 33                          # Return to main menu, while the run goes on
wait_page "Main Menu"
expect_as_before() {
  [ "$(listing)" = "$before" ] || { echo "FAIL: $1 left the storage folder changed"; diff <(echo "$before") <(listing) | head; exit 1; }
  [ "$(md5sum < "$catalog")" = "$catalogBefore" ] || { echo "FAIL: $1 changed the catalog"; exit 1; }
  ! ls "$world/data/Quavermill/"import-*.journal 2>/dev/null || { echo "FAIL: $1 left its journal"; exit 1; }
}
# A stop that the program hears only once the last track is stored finds the import complete:
# then it must be whole, every track stored and catalogued, and it is what later runs start from.
expect_whole_or_absent() {
  stored=$(find "$storage/Miles Davis/Kind of Blue" -name 'Track *' | wc -l)
  if [ "$stored" -eq 300 ] && [ "$(grep -c "^DAT.*/Kind of Blue/Track " "$catalog")" -eq 300 ]; then
    ! ls "$world/data/Quavermill/"import-*.journal 2>/dev/null || { echo "FAIL: $1 left its journal"; exit 1; }
    echo "note: $1 had completed"
    before=$(listing)
    catalogBefore=$(md5sum < "$catalog")
  else
    expect_as_before "$1"
  fi
}

expect_whole_or_absent "the stopped import"
kill "$pid"
wait "$pid" 2>/dev/null || true

# Waits until the import under way has stored a few tracks.
stored_some() {
  [ "$(find "$storage/Miles Davis/Kind of Blue" -name 'Track *' 2>/dev/null | wc -l)" -ge 5 ]
}
wait_half_way() {
  wait_until 20 stored_some || { echo "FAIL: the import did not get half-way"; exit 1; }
}

for signal in KILL TERM; do
  start_program "$world/stick2	removable	1"
  import_stick
  wait_half_way
  kill -s "$signal" "$pid"
  wait "$pid" || true
  pid=
  start_program "$world/stick2	removable	1"
  wait_page "Main Menu"
  expect_whole_or_absent "the import stopped by SIG$signal"
  kill "$pid"
  wait "$pid" 2>/dev/null || true
  pid=
done
echo "PASS: an import stored and catalogued; imports stopped, killed and terminated undone"
