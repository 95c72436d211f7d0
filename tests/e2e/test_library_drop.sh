#!/usr/bin/env bash
# Files and folders dropped on the window (over the X drag-and-drop protocol, as a file manager
# drops them) are added as if named on the command line, and the first one added plays.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
export LANG=C
unset LC_ALL LC_MESSAGES

music="$SNV_SANDBOX/music"
mkdir -p "$music/album"
snv_tone "$music/first.wav" 30 330
snv_tone "$music/dropped song.ogg" 4 440
snv_tone "$music/album/1.wav" 4 550
snv_tone "$music/album/02.wav" 4 660
dropper="$SNV_SANDBOX/xdnd_drop"
cc -O2 -o "$dropper" "$SNV_SOURCE/tests/e2e/xdnd_drop.c" -lX11 || snv_fail "cannot build the drop helper"

snv_start "$music/first.wav"
snv_wait_window 90
sleep 3
# A file (its URI escaped as file managers do), then a folder with a file in one drop.
"$dropper" "$SNV_WINDOW" 500 400 "file://$music/dropped%20song.ogg" || snv_fail "the first drop failed"
sleep 2
snv_assert_alive "after the first drop"
"$dropper" "$SNV_WINDOW" 300 300 "file://$music/album" "file://$music/first.wav" || snv_fail "the second drop failed"
sleep 2
snv_stop
expected=$(printf '%s=\n' "$music/first.wav" "$music/dropped song.ogg" "$music/album/1.wav" "$music/album/02.wav")
[ "$(snv_section playlist)" = "$expected" ] || snv_fail "after the drops the playlist is:
$(snv_section playlist)
expected:
$expected"
snv_expect_option plp 2
snv_expect_option muz 1
snv_pass
