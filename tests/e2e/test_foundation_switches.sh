#!/usr/bin/env bash
# Without a display: "-ver"/"-nfo" print the version and end with 0; the capitalised words start
# the player, whose failure to open a window is logged to an existing Debug.txt and still ends with 0.
source "$(dirname "$0")/lib.sh"
snv_init "$@"
unset DISPLAY WAYLAND_DISPLAY

version=$(grep -m1 -oP 'project\(Sonavarium VERSION \K[0-9.]+' "$SNV_SOURCE/CMakeLists.txt")
[ -n "$version" ] || snv_fail "cannot read the version from CMakeLists.txt"

for switch in -ver -nfo; do
  out=$(timeout 60 "$SNV_PROG" "$switch" 2>"$SNV_SANDBOX/err")
  status=$?
  [ "$status" -eq 0 ] || snv_fail "$switch ended with status $status"
  [ "$out" = "Sonavarium $version" ] || snv_fail "$switch printed '$out', expected 'Sonavarium $version'"
done

# Logging is off until Debug.txt exists: a failed start leaves no trace.
out=$(timeout 60 "$SNV_PROG" -VER 2>/dev/null)
status=$?
[ "$status" -eq 0 ] || snv_fail "-VER without a display ended with status $status"
[ -z "$out" ] || snv_fail "-VER printed '$out'; it must start the player instead"
[ -e "$SNV_PROGDIR/Debug.txt" ] && snv_fail "Debug.txt was created"

: >"$SNV_PROGDIR/Debug.txt"
timeout 60 "$SNV_PROG" -NFO >/dev/null 2>&1
status=$?
[ "$status" -eq 0 ] || snv_fail "-NFO without a display ended with status $status"
grep -qP '^Error: [0-9]+\r$' "$SNV_PROGDIR/Debug.txt" ||
  snv_fail "Debug.txt holds '$(cat -A "$SNV_PROGDIR/Debug.txt")', expected one 'Error: <code>' line"
[ "$(wc -l <"$SNV_PROGDIR/Debug.txt")" -eq 1 ] || snv_fail "expected exactly one log line"
snv_pass
