#!/usr/bin/env bash
# scripts/check-layout passes the tree as it is and fails on each of five planted violations,
# whichever include form or path spelling they use.
set -euo pipefail
repo=$(realpath "$(dirname "$0")/..")
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

fresh_copy() {
  rm -rf "$work/tree"
  mkdir -p "$work/tree"
  cp -r "$repo/src" "$repo/tools" "$work/tree/"
}

fresh_copy
"$repo/scripts/check-layout" "$work/tree" >/dev/null || { echo "FAIL: the tree as it is fails"; exit 1; }

# Appends an include to a file of a fresh copy; the check must name it.
plant() {
  fresh_copy
  printf '%s\n' "$2" >> "$work/tree/$1"
  if "$repo/scripts/check-layout" "$work/tree" >/dev/null; then
    echo "FAIL: not caught: $2 in $1"
    exit 1
  fi
}
plant src/search/track_data.cpp '#include <catalog/catalog.h>'
plant src/search/track_data.cpp '#include "search/../catalog/catalog.h"'
plant src/search/track_data.cpp '#include "search/../import/copy_run.h"'
plant src/catalog/catalog.cpp '#include <playlists/playlist_file.h>'
plant tools/wma/wma_main.cpp '#include "../../src/pages/page_form.h"'
echo "PASS: the layout check catches five planted violations"
