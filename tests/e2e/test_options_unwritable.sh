#!/usr/bin/env bash
# An options file the user may not write: the refused write at exit is logged as "Error: " and a
# code in an existing Debug.txt, the file stays as it was, and the player still ends with status 0.
# Root may write any file, so as root the player runs as the unprivileged user "nobody".
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
run_as=()
if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv >/dev/null || snv_fail "setpriv (util-linux) is needed to run as another user"
  id nobody >/dev/null 2>&1 || snv_fail "there is no user nobody"
  uid=$(id -u nobody)
  gid=$(id -g nobody)
  setpriv --reuid="$uid" --regid="$gid" --clear-groups true 2>/dev/null ||
    snv_fail "setpriv cannot switch to nobody here"
  run_as=(setpriv --reuid="$uid" --regid="$gid" --clear-groups)
else
  uid=$(id -u)
  gid=$(id -g)
fi

# Let nobody reach the program, the display and its own runtime and config directories; the
# program directory is writable (so the options file belongs there), the file itself is not.
chmod 755 "$SNV_SANDBOX"
chmod 777 "$SNV_PROGDIR"
[ "$(id -u)" -eq 0 ] && chown "$uid:$gid" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME"
if [ -n "${XAUTHORITY:-}" ] && [ -f "$XAUTHORITY" ]; then
  cp "$XAUTHORITY" "$SNV_SANDBOX/Xauthority"
  chmod 644 "$SNV_SANDBOX/Xauthority"
  export XAUTHORITY="$SNV_SANDBOX/Xauthority"
fi
options=$(snv_options_file)
cat >"$options" <<'EOF'
[options]
lng=0
vol=4
vis=2
muz=0
EOF
chmod 444 "$options"
cp "$options" "$SNV_SANDBOX/options.before"
: >"$SNV_PROGDIR/Debug.txt"
chmod 666 "$SNV_PROGDIR/Debug.txt"

"${run_as[@]}" "$SNV_PROG" >"$SNV_OUTPUT" 2>&1 &
SNV_PID=$!
snv_wait_window 90
sleep 2
snv_key Next  # a change that would be stored (vis 3)
sleep 1
snv_stop 60

cmp -s "$options" "$SNV_SANDBOX/options.before" || snv_fail "the read-only options file was changed:
$(cat "$options")"
ls "$SNV_PROGDIR" | grep -q '\.tmp' && snv_fail "a temporary file was left beside the options file"
grep -Eq '^Error: [0-9]+'$'\r''?$' "$SNV_PROGDIR/Debug.txt" ||
  snv_fail "Debug.txt holds no \"Error: <code>\" line:
$(cat -A "$SNV_PROGDIR/Debug.txt")"
snv_log "logged: $(tr -d '\r' <"$SNV_PROGDIR/Debug.txt" | grep '^Error' | head -n 1)"
snv_pass
