#!/usr/bin/env bash
# Mouse clicks on the menu: a visualization button selects it and closes the menu, Pause pauses,
# Exit ends the program with status 0 through its shutdown (the options are stored), and a
# playlist row is selected by one click and played by the next.
# Button centres on a 1024x768 screen (the layout is in unscaled window pixels): header row
# y 26..70 with Exit x 34..98 and Pause x 198..326 (Play, when paused, x 198..262); the
# visualization buttons 128 wide from x 34 every 146 pixels, at y 206..250 and 268..312; the
# playlist page's rows start at y 143 and 186 (x from 42).
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
export LANG=C
unset LC_ALL LC_MESSAGES
music="$SNV_SANDBOX/music"
mkdir -p "$music"
snv_tone "$music/one.wav" 60 330
snv_tone "$music/two.wav" 60 550
export SNV_PRESS_GAP=1.5
frame() { import -window root "$SNV_SANDBOX/$1.png" || snv_fail "screenshot $1"; }

# -- Visualization button, Pause, Exit.
snv_start "$music/one.wav" "$music/two.wav"
snv_wait_window 90
sleep 3
snv_press Escape
frame menu_open
snv_click_at 390 228  # "Spiral0metr"
sleep 1
frame menu_closed
# Closed: the Exit button no longer covers the picture.
d=$(snv_region_diff "$SNV_SANDBOX/menu_open.png" "$SNV_SANDBOX/menu_closed.png" 36 30 60 36)
awk -v v="$d" 'BEGIN { exit !(v > 0.3) }' ||
  snv_fail "the menu stayed open after a visualization button (only $d of the Exit button changed)"
snv_press Escape
snv_click_at 230 48  # "Pause"
sleep 1
snv_assert_alive "after Pause"
snv_click_at 66 48  # "Exit"
snv_wait_exit "$SNV_PID" 30
[ "$SNV_STATUS" -eq 0 ] || snv_fail "Exit ended the player with status $SNV_STATUS"
SNV_PID=""
[ -f "$(snv_options_file)" ] || snv_fail "Exit did not store the options"
snv_expect_option vis 2
snv_expect_option muz 0
snv_expect_option plp 0
[ "$(snv_section playlist)" = "$(printf '%s\n' "$music/one.wav=" "$music/two.wav=")" ] ||
  snv_fail "the playlist was stored as: $(snv_section playlist)"

# -- One click on the second row only selects it.
snv_start
snv_wait_window 90
sleep 3
snv_press Tab
snv_click_at 100 196
sleep 1
snv_stop
snv_expect_option plp 0
snv_expect_option muz 0

# -- A second click on the selected row plays it.
snv_start
snv_wait_window 90
sleep 3
snv_press Tab
snv_click_at 100 196
snv_click_at 100 196
sleep 1
snv_stop
snv_expect_option plp 1
snv_expect_option muz 1
snv_pass
