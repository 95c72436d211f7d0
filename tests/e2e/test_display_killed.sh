#!/usr/bin/env bash
# The X server dies under the player (the session ends abruptly): the session since start is
# stored all the same and the player ends with status 0.
source "$(dirname "$0")/lib.sh"
snv_init "$@"
command -v Xvfb >/dev/null || snv_fail "Xvfb is not installed"
# A server of our own, so that this test may kill it.
Xvfb -displayfd 5 -screen 0 1024x768x24 -nolisten tcp -noreset 5>"$SNV_SANDBOX/display" 2>/dev/null &
xvfb_pid=$!
trap 'kill -KILL "$xvfb_pid" 2>/dev/null; snv_cleanup' EXIT
for _ in $(seq 1 100); do
  display=$(cat "$SNV_SANDBOX/display")
  [ -n "$display" ] && break
  sleep 0.1
done
[ -n "$display" ] || snv_fail "Xvfb did not start"
export DISPLAY=":$display"
unset XAUTHORITY
music="$SNV_SANDBOX/music"
mkdir -p "$music"
snv_tone "$music/a.wav" 30 440
snv_start "$music/a.wav"  # added and played in this session
snv_wait_window 90
sleep 2
kill -KILL "$xvfb_pid"
snv_wait_exit "$SNV_PID" 30
SNV_PID=""
[ "$SNV_STATUS" -eq 0 ] || snv_fail "the player ended with status $SNV_STATUS when its display died"
options=$(snv_options_file)
[ -f "$options" ] || snv_fail "nothing was stored"
[ "$(snv_section playlist)" = "$music/a.wav=" ] || snv_fail "the playlist was not stored: $(cat "$options")"
snv_expect_option muz 1
snv_pass
