#!/usr/bin/env bash
# A missing or damaged menu image ("pi.dat") ends the start-up through the entry's error path:
# "Error: " and a code are appended to an existing Debug.txt, the program ends by itself with
# status 0, and the options file is left byte for byte as it was (no shutdown ran).
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
export LANG=C
unset LC_ALL LC_MESSAGES
options=$(snv_options_file)
log="$SNV_PROGDIR/Debug.txt"
[ -f "$SNV_PROGDIR/pi.dat" ] || snv_fail "no pi.dat beside the program"
cp "$SNV_PROGDIR/pi.dat" "$SNV_SANDBOX/pi.dat.good"

check_failed_start() {  # WHAT
  cat >"$options" <<EOF
[options]
lng=0
rnd=1
vol=6
vis=5
muz=1
plp=0
pos=40
[playlist]
$SNV_PROGDIR/demo.ogg=
EOF
  cp "$options" "$SNV_SANDBOX/options.before"
  printf 'earlier line\r\n' >"$log"
  snv_start
  snv_wait_exit "$SNV_PID" 60
  [ "$SNV_STATUS" -eq 0 ] || snv_fail "with $1 the player ended with status $SNV_STATUS"
  SNV_PID=""
  cmp -s "$options" "$SNV_SANDBOX/options.before" || snv_fail "with $1 the options file was changed:
$(cat "$options")"
  [ "$(head -n 1 "$log")" = $'earlier line\r' ] || snv_fail "with $1 Debug.txt lost its earlier content"
  grep -Eq '^Error: [0-9]+'$'\r''?$' "$log" || snv_fail "with $1 Debug.txt holds no \"Error: <code>\" line:
$(cat -A "$log")"
  snv_log "$1: $(tr -d '\r' <"$log" | grep '^Error' | head -n 1)"
}

rm "$SNV_PROGDIR/pi.dat"
check_failed_start "no pi.dat"

head -c 200 "$SNV_SANDBOX/pi.dat.good" >"$SNV_PROGDIR/pi.dat"
check_failed_start "a truncated pi.dat"
snv_pass
