#!/usr/bin/env bash
# The player opens its full-screen window, refuses a second copy, survives keys and clicks,
# and ends cleanly on SIGTERM.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"

snv_start
snv_wait_window 90
size=$(snv_window_size)
[ "$size" = "1024x768" ] || snv_fail "window is $size, expected 1024x768"

snv_log "second copy"
"$SNV_PROG" >"$SNV_SANDBOX/second.out" 2>&1 &
second=$!
snv_wait_exit "$second" 30
[ "$SNV_STATUS" -eq 0 ] || snv_fail "second copy ended with status $SNV_STATUS"
[ -s "$SNV_SANDBOX/second.out" ] && snv_fail "second copy printed: $(cat "$SNV_SANDBOX/second.out")"
[ "$(snv_window_count)" -eq 1 ] || snv_fail "second copy opened a window ($(snv_window_count) windows)"
snv_assert_alive "after the second copy"

snv_log "keys and a click"
snv_key Next w Shift_L space
snv_move 45 36
snv_click 1
sleep 1
snv_assert_alive "after keys and a click"
[ "$(snv_window_count)" -eq 1 ] || snv_fail "the window went away after keys and a click"

snv_screenshot foundation
snv_stop 30
snv_pass
