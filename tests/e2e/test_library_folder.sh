#!/usr/bin/env bash
# A folder named on the command line adds every sound file below it in natural order (hidden
# folders, other files, playlists and a link back up left out) and plays the first; Shift+Insert
# on the playlist page opens the folder chooser (a stand-in zenity here) and adds the chosen one.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
export LANG=C
unset LC_ALL LC_MESSAGES

music="$SNV_SANDBOX/My Music"
mkdir -p "$music/CD 2" "$music/CD 10" "$music/.trash"
snv_tone "$music/10 - ten.wav" 2 330
snv_tone "$music/2 - two.wav" 60 440
snv_tone "$music/CD 10/a.ogg" 4 550
snv_tone "$music/CD 2/b.mp3" 4 660
cp "$music/10 - ten.wav" "$music/.trash/old.wav"
ffmpeg -loglevel error -i "$music/10 - ten.wav" -c:a aac "$music/CD 2/c.M4A" || snv_fail "ffmpeg"
echo "not music" >"$music/notes.txt"
echo "2 - two.wav" >"$music/list.m3u"
ln -s .. "$music/CD 2/up"

snv_start "$music"
snv_wait_window 90
sleep 3
snv_assert_alive "after adding the folder"
snv_press Tab
sleep 1
snv_screenshot library_folder_playlist
snv_stop
expected=$(printf '%s=\n' "$music/2 - two.wav" "$music/10 - ten.wav" "$music/CD 2/b.mp3" "$music/CD 2/c.M4A" \
  "$music/CD 10/a.ogg")
[ "$(snv_section playlist)" = "$expected" ] || snv_fail "the folder was added as:
$(snv_section playlist)
expected:
$expected"
snv_expect_option plp 0
snv_expect_option muz 1

# -- The folder chooser.
more="$SNV_SANDBOX/more"
mkdir -p "$more/disc"
snv_tone "$more/disc/z.wav" 2 770
bin="$SNV_SANDBOX/bin"
mkdir -p "$bin"
printf '#!/bin/sh\nfor a in "$@"; do [ "$a" = --directory ] && { echo "%s"; exit 0; }; done\nexit 1\n' "$more" >"$bin/zenity"
chmod +x "$bin/zenity"
PATH="$bin:$PATH" snv_start
snv_wait_window 90
sleep 3
snv_press Tab
xdotool keydown Shift_L || snv_fail "xdotool keydown Shift_L"
snv_press Insert
xdotool keyup Shift_L
snv_stop
snv_section playlist | tail -n 1 | grep -qx "$more/disc/z.wav=" ||
  snv_fail "the chosen folder was not added: $(snv_section playlist)"
snv_pass
