#!/usr/bin/env bash
# Hot keys: Up/Down change the volume only while a track plays, Space pauses and resumes; the
# stored "vol" and "muz" after each run show what the keys did.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
export LANG=C
unset LC_ALL LC_MESSAGES
music="$SNV_SANDBOX/music"
mkdir -p "$music"
snv_tone "$music/long.wav" 60 440

# -- Playing: three steps down; paused: neither Down nor Up changes anything.
snv_start "$music/long.wav"
snv_wait_window 90
sleep 3
snv_press Down Down Down
snv_press space
snv_press Down Up Up
snv_stop
snv_expect_option vol 7
snv_expect_option muz 0
pos=$(snv_option pos)

# -- The paused track comes back paused; Space resumes it and Up works again.
snv_start
snv_wait_window 90
sleep 3
snv_press Up
snv_stop
snv_expect_option vol 7
snv_expect_option muz 0
snv_expect_option pos "$pos"

snv_start
snv_wait_window 90
sleep 3
snv_press space Up
snv_stop
snv_expect_option vol 8
snv_expect_option muz 1
new_pos=$(snv_option pos)
[ "$new_pos" -gt "$pos" ] || snv_fail "after Space the track did not move on (pos $pos, then $new_pos)"
snv_pass
