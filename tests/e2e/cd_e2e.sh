#!/usr/bin/env bash
# End to end, as a user would: an audio CD (a CUE/BIN image with CD-TEXT standing in a drive of
# the volume table) added to the catalog with the real program under Xvfb. Add tracks -> Search
# on all removable -> the CD's tracks with their CD-TEXT titles (the real "cddb", its network
# sources switched off) -> Set tracks description -> Add tracks to the catalog -> the copy page
# rips and converts them -> the catalog view. Then the storage folder holds
# Artist/Album/TrackNN.wma and "mp3_library.dat" the three tracks. Skipped (77) without
# Xvfb or xdotool. With QUAVERMILL_E2E_SHOTS naming a folder, screenshots of the steps land
# there (ImageMagick's import).
#
#   tests/e2e/cd_e2e.sh build/bin/quavermill
source "$(dirname "$0")/e2e_lib.sh"

# A program folder of its own, so that the tools' exchange files stay in this world.
cp -a "$(dirname "$program")" "$world/program"
program="$world/program/$(basename "$program")"

# Three tracks of 3, 4 and 5 seconds; the CD-TEXT in Latin-1, as CUE sheets carry it.
{
  printf 'TITLE "Homog\xe9nic"\nPERFORMER "Bj\xf6rk"\nFILE "disc.bin" BINARY\n'
  printf '  TRACK 01 AUDIO\n    TITLE "Hunter"\n    INDEX 01 00:00:00\n'
  printf '  TRACK 02 AUDIO\n    TITLE "J\xf3ga"\n    INDEX 01 00:03:00\n'
  printf '  TRACK 03 AUDIO\n    TITLE "Unravel"\n    INDEX 01 00:07:00\n'
} > "$world/disc.cue"
head -c $((12 * 75 * 2352)) /dev/urandom > "$world/disc.bin"
mkdir -p "$world/config/Quavermill"
printf '[MusicBrainz]\nUse=0\n[Cddb]\nUse=0\n' > "$world/config/Quavermill/cddb.ini"

# A screenshot of the screen as it is, when QUAVERMILL_E2E_SHOTS names a folder.
# The pictures are for a person to look at: the short pause lets the page follow the pointer
# before the picture is taken.
shot() {
  [ -n "${QUAVERMILL_E2E_SHOTS:-}" ] || return 0
  mkdir -p "$QUAVERMILL_E2E_SHOTS"
  sleep 0.3
  import -window root "$QUAVERMILL_E2E_SHOTS/$1.png"
}
# Moves the pointer to a point of the page, in the page's coordinates; double_click
# double-clicks there.
point() {
  eval "$(xdotool getwindowgeometry --shell "$window")"
  xdotool mousemove $((X + $1)) $((Y + $2))
}
double_click() {
  point "$1" "$2"
  xdotool click --repeat 2 1
}

start_program "$world/cdrom	cd	1	$world/disc.cue"
wait_page "Main Menu"
click 606 75                      # Add tracks to the catalog
wait_page "Tracks Search"
click 606 75                      # Search on all removable (CD, flash etc)
wait_scan
double_click 300 172              # the CD's node
point 300 190                     # the first track: its title above the tree
shot 1-selection
point 300 208                     # the second track
shot 2-hover
click 606 349                     # Set tracks description
wait_page "Setting Description"
click 300 148                     # the CD's group
xdotool key space                 # chosen at once
shot 3-description
click 606 349                     # Add tracks to the catalog
shot 4-copy
wait_page "Catalog Viewing"
wait_until 20 grep -q "^DAT" "$catalog"
double_click 300 120              # the first composer
double_click 320 138              # its album
shot 5-catalog

library="$world/data/Quavermill/Library/Björk/Homogénic"
stored=$(cd "$library" 2>/dev/null && ls | tr '\n' ' ') || true
if [ "$stored" != "Track01.wma Track02.wma Track03.wma " ]; then
  echo "FAIL: the storage folder holds: ${stored:-nothing}"
  find "$world/data" >&2
  exit 1
fi
for title in Hunter Jóga Unravel; do
  grep -q "^DAT.*Björk_*Homogénic_.*$library/Track0[1-3].wma_*${title}_" "$catalog" || {
    echo "FAIL: no catalog line for $title:"
    tr '_' ' ' < "$catalog" | tr -s ' '
    exit 1
  }
done
echo "PASS: three CD tracks ripped, converted and catalogued:"
tr '_' ' ' < "$catalog" | tr -s ' '
