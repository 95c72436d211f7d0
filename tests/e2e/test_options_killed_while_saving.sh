#!/usr/bin/env bash
# SIGKILL at random instants after SIGTERM, while the exit save of a 10,000-entry playlist runs:
# the options file is always the old one or the new one, and the next start removes any
# temporary file the kill left behind. A burst of SIGTERMs during the save does not cut it short.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
export LANG=C
unset LC_ALL LC_MESSAGES
music="$SNV_SANDBOX/music"
mkdir -p "$music"
snv_tone "$music/a.wav" 30 440
options=$(snv_options_file)
{
  printf '[options]\nlng=-1\nrnd=0\nvol=3\nmuz=0\nvis=1\nplp=0\npos=0\n[playlist]\n%s=\n' "$music/a.wav"
  for i in $(seq 1 10000); do printf '%s/entry-%05d-with-a-fairly-long-name-as-real-ones-have.mp3=\n' "$music" "$i"; done
} >"$SNV_SANDBOX/old.ini"

# The new file differs from the old one ("lng" is stored resolved): every later file must be one
# of the two.
cp "$SNV_SANDBOX/old.ini" "$options"
snv_start
snv_wait_window 90
sleep 1
snv_stop 60
cp "$options" "$SNV_SANDBOX/new.ini"
cmp -s "$SNV_SANDBOX/old.ini" "$SNV_SANDBOX/new.ini" && snv_fail "the save changed nothing; the test proves nothing"

kept_old=0
kept_new=0
for run in $(seq 1 12); do
  cp "$SNV_SANDBOX/old.ini" "$options"
  snv_start
  snv_wait_window 90
  sleep 0.5
  kill -TERM "$SNV_PID"
  sleep "0.$(printf '%03d' $((RANDOM % 400)))"
  kill -KILL "$SNV_PID" 2>/dev/null
  snv_wait_exit "$SNV_PID" 30
  SNV_PID=""
  if cmp -s "$options" "$SNV_SANDBOX/old.ini"; then kept_old=$((kept_old + 1))
  elif cmp -s "$options" "$SNV_SANDBOX/new.ini"; then kept_new=$((kept_new + 1))
  else snv_fail "run $run: a killed save left a mixed file ($(wc -l <"$options") lines)"
  fi
done
snv_log "killed saves: $kept_old left the old file, $kept_new the new one"

# The next start removes what the kills left.
snv_start
snv_wait_window 90
sleep 1
leftovers=$(ls "$SNV_PROGDIR" | grep -c '\.tmp' || true)
[ "$leftovers" -eq 0 ] || snv_fail "$leftovers temporary files stayed after the next start"
snv_stop 60

# A burst of 50 SIGTERMs during the save: the save completes and the player ends with status 0.
cp "$SNV_SANDBOX/old.ini" "$options"
snv_start
snv_wait_window 90
sleep 0.5
for i in $(seq 1 50); do kill -TERM "$SNV_PID" 2>/dev/null; sleep 0.02; done
snv_wait_exit "$SNV_PID" 60
SNV_PID=""
[ "$SNV_STATUS" -eq 0 ] || snv_fail "a signal burst ended the player with status $SNV_STATUS"
cmp -s "$options" "$SNV_SANDBOX/new.ini" || snv_fail "the save under a signal burst is not the full new file"
snv_pass
