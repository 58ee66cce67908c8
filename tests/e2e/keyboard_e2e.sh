#!/usr/bin/env bash
# End to end with the keyboard alone: the real program under Xvfb, driven by xdotool keys, no
# pointer. Add tracks -> Search on all removable -> the stick's group unchecked and checked
# again, one track unchecked -> Set tracks description (Enter) -> the group's album and artist
# typed -> Add tracks to the catalog (Enter) -> the copy -> the catalog (Escape to the main
# menu) -> Create playlist with the two tracks -> Play the list: the player named in
# settings.ini is started with the playlist's M3U. Then the files it leaves: the two stored
# tracks with their tags, the catalog, the playlist and the M3U. Skipped (77) without Xvfb,
# xdotool or xprop.
#
#   tests/e2e/keyboard_e2e.sh build/bin/quavermill
source "$(dirname "$0")/e2e_lib.sh"

storage="$world/data/Quavermill/Library"
three_tracks "$world/stick/Jazz"
mkdir -p "$world/config/Quavermill"
# The player writes down what it was given.
cat > "$world/player" <<EOF
#!/bin/sh
printf '%s\n' "\$@" > "$world/played"
EOF
chmod +x "$world/player"
printf '[Settings]\nUseWMP=1\nPlayer=%s\n' "$world/player" > "$world/config/Quavermill/settings.ini"

keys() {
  xdotool key --delay 30 "$@"
}

start_program "$world/stick	removable	1"
wait_page "Main Menu"
# No window manager gives the window the keyboard, as a desktop would.
xdotool windowfocus --sync "$window"  # "Play a list" has the focus
keys Tab space                        # Add tracks to the catalog
wait_page "Tracks Search"             # "Return to main menu" has the focus
keys Tab space                        # Search on all removable
wait_scan
# Five Tabs reach the tree, whose first row (the group) becomes current. Space unchecks the
# group with its tracks and checks them again; Right opens it, Down and Space uncheck its
# first track.
keys Tab Tab Tab Tab Tab space space Right Down space
keys Return                           # Set tracks description, the default button
wait_page "Setting Description"
# Four Tabs reach the tree; Space loads the group into the boxes, which Tab then reaches.
keys Tab Tab Tab Tab space Tab ctrl+a
xdotool type --delay 20 "Kind of Blue"
keys Tab Tab ctrl+a
xdotool type --delay 20 "Miles Davis"
keys Return                           # Add tracks to the catalog
wait_page "Catalog Viewing \["        # the catalog is loaded and its size told
keys Escape
wait_page "Main Menu"
keys Tab Tab Tab space                # Create playlist
wait_page "Playlist Making"
# Two Tabs reach the tree, on its "Composer" heading; Down and Space check the first composer
# with every track under it.
keys Tab Tab Down space Tab
xdotool type --delay 20 "Evening"
keys Return                           # Save the playlist
wait_page "Playlist Choice"
keys Tab Tab Return                   # the list's first playlist, played
wait_until 10 test -s "$world/played" || { echo "FAIL: the player was not started"; exit 1; }

fail() {
  echo "FAIL: $1"
  exit 1
}
album="$storage/Miles Davis/Kind of Blue"
stored=$(cd "$album" 2>/dev/null && ls | tr '\n' '|') || true
[ "$stored" = "Freddie Freeloader.mp3|So What.mp3|" ] || fail "the storage folder holds: ${stored:-nothing}"
for name in "Freddie Freeloader" "So What"; do
  grep -q "^DAT.*Miles Davis_*Kind of Blue_.*$album/$name.mp3_*${name}_" "$catalog" \
    || fail "no catalog line for $name: $(tr '_' ' ' < "$catalog" | tr -s ' ')"
  for tag in "Miles Davis" "Kind of Blue"; do
    grep -aq "$tag" "$album/$name.mp3" || fail "$name.mp3 has no tag \"$tag\""
  done
done
[ "$(grep -c '^DAT' "$catalog")" -eq 2 ] || fail "the catalog holds other tracks"
playlist="$world/data/Quavermill/Evening.list"
[ "$(grep -c "^DAT.*$album/" "$playlist" 2>/dev/null)" = 2 ] || fail "the playlist does not hold the two tracks"
m3u=$(cat "$world/played")
[ "$m3u" = "$world/data/Quavermill/Evening.m3u" ] || fail "the player was given \"$m3u\""
[ "$(tr -d '\r' < "$m3u")" = "$album/Freddie Freeloader.mp3
$album/So What.mp3" ] || fail "the M3U reads: $(cat "$m3u")"
echo "PASS: two tracks found, described, stored, catalogued, listed and played with keys alone"
