#!/usr/bin/env bash
# Float WAV files and an Ogg file cut off halfway (a broken download) are heard, recorded through
# SDL's disk driver: neither may be silent nor skipped.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
music="$SNV_SANDBOX/music"
mkdir -p "$music"
sox -n -r 44100 -c 2 -e floating-point -b 32 "$music/float.wav" synth 20 sine 440 vol 0.5 || snv_fail "sox float"
sox -n -r 44100 -c 2 -b 16 "$music/noise.wav" synth 20 whitenoise vol 0.5 || snv_fail "sox noise"
oggenc -Q -o "$music/cut.ogg" "$music/noise.wav" || snv_fail "oggenc"
truncate -s $(( $(stat -c %s "$music/cut.ogg") / 2 )) "$music/cut.ogg"

export SDL_AUDIODRIVER=disk
for track in float.wav cut.ogg; do
  export SDL_DISKAUDIOFILE="$SNV_SANDBOX/$track.raw"
  rm -f "$SNV_PROGDIR/!options.ini"
  snv_start "$music/$track"
  snv_wait_window 90
  sleep 4
  snv_stop
  [ -s "$SDL_DISKAUDIOFILE" ] || snv_fail "$track: nothing reached the sound device"
  # Count the bytes of the recording that are not zero: silence is all zeros.
  loud=$(tr -d '\000' <"$SDL_DISKAUDIOFILE" | wc -c)
  total=$(stat -c %s "$SDL_DISKAUDIOFILE")
  [ $((loud * 4)) -gt "$total" ] || snv_fail "$track was silent: $loud of $total bytes not zero"
  snv_expect_option plp 0  # still the same track: not skipped
  snv_log "$track: $loud of $total bytes not zero"
done
snv_pass
