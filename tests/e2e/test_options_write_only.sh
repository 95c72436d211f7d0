#!/usr/bin/env bash
# An options file that exists but cannot be read (mode 0200): the player runs on defaults, says
# so in the log, and leaves the file alone at exit instead of replacing the user's playlist with
# defaults. Root reads any file, so as root the player runs as the unprivileged user "nobody".
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
run_as=()
if [ "$(id -u)" -eq 0 ]; then
  command -v setpriv >/dev/null || snv_fail "setpriv (util-linux) is needed to run as another user"
  uid=$(id -u nobody) || snv_fail "there is no user nobody"
  gid=$(id -g nobody)
  run_as=(setpriv --reuid="$uid" --regid="$gid" --clear-groups)
  chown "$uid:$gid" "$XDG_RUNTIME_DIR" "$XDG_CONFIG_HOME" "$SNV_PROGDIR"
else
  uid=$(id -u)
  gid=$(id -g)
fi
chmod 755 "$SNV_SANDBOX"
if [ -n "${XAUTHORITY:-}" ] && [ -f "$XAUTHORITY" ]; then
  cp "$XAUTHORITY" "$SNV_SANDBOX/Xauthority"
  chmod 644 "$SNV_SANDBOX/Xauthority"
  export XAUTHORITY="$SNV_SANDBOX/Xauthority"
fi
options=$(snv_options_file)
printf '[options]\nvol=4\nvis=2\n[playlist]\n/music/mine.ogg=\n' >"$options"
chown "$uid:$gid" "$options"
chmod 200 "$options"
cp "$options" "$SNV_SANDBOX/options.before"
: >"$SNV_PROGDIR/Debug.txt"
chmod 666 "$SNV_PROGDIR/Debug.txt"

"${run_as[@]}" "$SNV_PROG" >"$SNV_OUTPUT" 2>&1 &
SNV_PID=$!
snv_wait_window 90
sleep 2
snv_stop 60
cmp -s "$options" "$SNV_SANDBOX/options.before" || snv_fail "the unreadable options file was overwritten:
$(cat "$options")"
ls "$SNV_PROGDIR" | grep -q '\.tmp' && snv_fail "a temporary file was left beside the options file"
grep -q "Cannot read .*!options.ini" "$SNV_PROGDIR/Debug.txt" || snv_fail "nothing was logged:
$(cat -A "$SNV_PROGDIR/Debug.txt")"
snv_log "logged: $(grep 'Cannot read' "$SNV_PROGDIR/Debug.txt" | tr -d '\r')"
snv_pass
