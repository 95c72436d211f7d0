#!/usr/bin/env bash
# A second start with files hands them to the running copy, which adds them and plays the first;
# the second copy ends at once with status 0. A running copy that does not answer makes the
# second copy say so and end non-zero. Without a session bus the player runs and logs one line.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
: >"$SNV_PROGDIR/Debug.txt"
music="$SNV_SANDBOX/music"
mkdir -p "$music"
snv_tone "$music/first.wav" 30 330
snv_tone "$music/second.ogg" 30 440
snv_tone "$music/third.mp3" 30 550
printf '%s\n' "$music/third.mp3" >"$music/list.m3u"

snv_start "$music/first.wav"
snv_wait_window 90
sleep 1
# Relative paths are made absolute by the sender.
(cd "$music" && timeout 20 "$SNV_PROG" second.ogg list.m3u >"$SNV_SANDBOX/second.out" 2>&1)
status=$?
[ "$status" -eq 0 ] || snv_fail "the second copy ended with $status: $(cat "$SNV_SANDBOX/second.out")"
[ -s "$SNV_SANDBOX/second.out" ] && snv_fail "the second copy printed: $(cat "$SNV_SANDBOX/second.out")"
# Without files the second copy just ends.
timeout 20 "$SNV_PROG" || snv_fail "a second copy without files ended with $?"
sleep 2

# A hung player: the hand-off fails loudly instead of losing the files.
kill -STOP "$SNV_PID"
timeout 30 "$SNV_PROG" "$music/first.wav" 2>"$SNV_SANDBOX/hung.err"
status=$?
kill -CONT "$SNV_PID"
[ "$status" -ne 0 ] || snv_fail "a hand-off to a stopped player reported success"
[ "$(wc -l <"$SNV_SANDBOX/hung.err")" -eq 1 ] || snv_fail "expected one line on stderr, got: $(cat "$SNV_SANDBOX/hung.err")"
grep -q "not handed" "$SNV_SANDBOX/hung.err" || snv_fail "stderr: $(cat "$SNV_SANDBOX/hung.err")"

snv_assert_alive "after the hand-offs"
snv_stop
expected=$(printf '%s\n' "$music/first.wav=" "$music/second.ogg=" "$music/third.mp3=")
[ "$(snv_section playlist)" = "$expected" ] || snv_fail "stored playlist: $(snv_section playlist)"
snv_expect_option plp 1
snv_expect_option muz 1
[ -S "$XDG_RUNTIME_DIR/sonavarium.sock" ] && snv_fail "the socket was left behind"
[ "$(grep -c 'Media keys and desktop controls are off' "$SNV_PROGDIR/Debug.txt")" -eq 1 ] ||
  snv_fail "expected one log line about the missing session bus: $(cat "$SNV_PROGDIR/Debug.txt")"
snv_pass
