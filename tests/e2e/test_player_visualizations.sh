#!/usr/bin/env bash
# Page Down and Page Up move through the eight visualizations: each is shown for two seconds of
# the demo track and kept as BUILD/screenshots/vis0.png .. vis7.png; the stored "vis" after each
# run shows where the keys led (Page Down at 7 wraps to 0, Page Up at 0 stays at 0).
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
export LANG=C
unset LC_ALL LC_MESSAGES
demo="$SNV_PROGDIR/demo.ogg"
[ -f "$demo" ] || snv_fail "no demo.ogg beside the program"
shots="$SNV_BUILD/screenshots"

lit_fraction() {  # share of pixels that are clearly not black
  convert "$1" -colorspace gray -threshold 8% -format '%[fx:mean]' info:
}

# -- Every visualization in turn, from 0 to 7.
snv_start "$demo"
snv_wait_window 90
sleep 3
for vis in 0 1 2 3 4 5 6 7; do
  if [ "$vis" -gt 0 ]; then
    SNV_PRESS_GAP=2 snv_press Next
  fi
  snv_assert_alive "visualization $vis"
  snv_screenshot "vis$vis"
done
snv_stop
snv_expect_option vis 7
snv_expect_option muz 1

# Each picture shows something, and no two neighbours are the same picture.
for vis in 0 1 2 3 4 5 6 7; do
  lit=$(lit_fraction "$shots/vis$vis.png")
  awk -v v="$lit" 'BEGIN { exit !(v > 0.002) }' || snv_fail "vis$vis.png is (almost) black: $lit lit"
  snv_log "vis$vis.png: $lit of the pixels lit"
  if [ "$vis" -gt 0 ]; then
    d=$(snv_region_diff "$shots/vis$((vis - 1)).png" "$shots/vis$vis.png" 0 0 1024 768)
    awk -v v="$d" 'BEGIN { exit !(v > 0.001) }' || snv_fail "vis$vis.png hardly differs from vis$((vis - 1)).png"
  fi
done

# -- The stored session resumes at 7; Page Down wraps to 0.
snv_start
snv_wait_window 90
sleep 3
SNV_PRESS_GAP=1 snv_press Next
snv_stop
snv_expect_option vis 0

# -- Page Up at 0 stays at 0: 0, 0, then 1, 2, 3 and back to 2.
snv_start
snv_wait_window 90
sleep 3
snv_press Prior Prior Next Next Next Prior
snv_stop
snv_expect_option vis 2
snv_pass
