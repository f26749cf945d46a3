#!/bin/sh
# index.html and a picture of qartwo batch --plots in a real browser: headless Chromium reads
# the page (one table row per hot spot in its DOM) and takes screenshots of the page and of
# the worst hot spot's picture, which ImageMagick finds not blank (at least 2 % of the pixels
# not white). Exits 77, which CTest counts as skipped, where Chromium or ImageMagick is
# missing.
#
# Usage: tests/e2e/browser_check.sh QARTWO SOURCE_DIR
set -eu

qartwo=$1
source_dir=$2
for tool in chromium convert; do
  if ! command -v "$tool" >/dev/null 2>&1; then
    echo "skipped: $tool is missing (Debian packages chromium, imagemagick)"
    exit 77
  fi
done

scratch=$(mktemp -d "${TMPDIR:-/tmp}/qartwo_browser_XXXXXX")
trap 'rm -rf "$scratch"' EXIT
cp "$source_dir/examples/histogram.txt" "$source_dir/examples/sn_curve.txt" "$scratch/"
# The example list and a hot spot that fails: four rows in all.
{ cat "$source_dir/examples/hot_spots.csv"; echo 'missing,none.txt,6,1,,25,3'; } >"$scratch/list.csv"
status=0
"$qartwo" batch --plots --list "$scratch/list.csv" -o "$scratch/out" >/dev/null 2>&1 || status=$?
if [ "$status" -ne 1 ]; then
  echo "qartwo batch ended with $status, not 1"
  exit 1
fi

# Chromium as root needs --no-sandbox; a fresh profile each time, nothing fetched.
browser() {
  profile=$(mktemp -d "$scratch/profile_XXXXXX")
  if [ "$(id -u)" -eq 0 ]; then set -- --no-sandbox "$@"; fi
  timeout 60 chromium --headless --disable-gpu --disable-quic --no-first-run \
    --disable-background-networking --disable-component-update --disable-sync \
    --hide-scrollbars --user-data-dir="$profile" "$@" 2>/dev/null
}

# A screenshot of the file $1 at $2 x $3 pixels; fails when it is (nearly) blank.
check_screenshot() {
  if [ ! -s "$scratch/out/$1" ]; then
    echo "$1 is missing"
    return 1
  fi
  rm -f "$scratch/shot.png"
  browser --window-size="$2,$3" --screenshot="$scratch/shot.png" "file://$scratch/out/$1" \
    >/dev/null
  share=$(convert "$scratch/shot.png" -alpha off -fill black +opaque white -colorspace Gray \
    -format '%[fx:100*(1-mean)]' info:)
  echo "$1: $share % of the pixels not white"
  awk -v share="$share" 'BEGIN { exit !(share >= 2) }'
}

rows=$(browser --dump-dom "file://$scratch/out/index.html" | tr -d '\n' |
  sed -e 's/.*<tbody>//' -e 's/<\/tbody>.*//' | grep -o '<tr' | wc -l)
if [ "$rows" -ne 4 ]; then
  echo "index.html's table has $rows rows in the browser, not 4"
  exit 1
fi

check_screenshot index.html 1000 1000
check_screenshot leg_a2.svg 900 600
