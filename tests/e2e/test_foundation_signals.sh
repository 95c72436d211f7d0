#!/usr/bin/env bash
# Ctrl+C (SIGINT) and a closed terminal or log-out (SIGHUP) end the player through its normal
# shutdown with status 0, like SIGTERM; afterwards a new copy may start at once.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"

for sig in INT HUP; do
  snv_start
  snv_wait_window 90
  kill -"$sig" "$SNV_PID"
  snv_wait_exit "$SNV_PID" 30
  [ "$SNV_STATUS" -eq 0 ] || snv_fail "SIG$sig ended the player with status $SNV_STATUS"
  SNV_PID=""
  for _ in $(seq 1 50); do
    [ "$(snv_window_count)" -eq 0 ] && break
    sleep 0.2
  done
  [ "$(snv_window_count)" -eq 0 ] || snv_fail "the window stayed after SIG$sig"
done
snv_pass
