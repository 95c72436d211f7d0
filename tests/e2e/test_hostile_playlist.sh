#!/usr/bin/env bash
# A named pipe and a link to /dev/zero in the stored playlist, and a pipe, a binary playlist and a
# folder named like a playlist on the command line: the player neither hangs nor grows, skips
# them to the playable track, answers SIGTERM and stores a clean file.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
music="$SNV_SANDBOX/music"
mkdir -p "$music" "$music/folder.m3u"
mkfifo "$music/pipe.wav" "$music/pipe.m3u"
ln -s /dev/zero "$music/zero.wav"
ln -s /dev/zero "$music/zero.m3u"
head -c 20000 /dev/urandom >"$music/binary.m3u"
snv_tone "$music/good.wav" 30 440
options=$(snv_options_file)
cat >"$options" <<EOF
[options]
muz=1
plp=0
pos=0
[playlist]
$music/pipe.wav=
$music/zero.wav=
$music/good.wav=
EOF

snv_start "$music/zero.m3u" "$music/pipe.m3u" "$music/binary.m3u" "$music/folder.m3u" "$music/pipe.wav"
snv_wait_window 90
sleep 4
snv_assert_alive "with pipes and devices in the playlist"
rss=$(awk '/VmRSS/ {print $2}' "/proc/$SNV_PID/status")
[ "$rss" -lt 400000 ] || snv_fail "the player grew to $rss kB"
snv_stop 20
grep -qaP '\x00' "$options" && snv_fail "NUL bytes were written into the options file"
expected=$(printf '%s\n' "$music/pipe.wav=" "$music/zero.wav=" "$music/good.wav=")
[ "$(snv_section playlist)" = "$expected" ] || snv_fail "the playlist came back as:
$(snv_section playlist)"
snv_expect_option plp 2  # moved on to the playable track
snv_expect_option muz 1
snv_log "skipped pipes, devices and binaries; rss $rss kB"
snv_pass
