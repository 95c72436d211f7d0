#!/usr/bin/env bash
# Float WAV files and an Ogg file cut off halfway (a broken download) are heard, recorded through
# SDL's disk driver: neither may be silent nor skipped. A VBR MP3 without a length header, whose
# quiet start makes the bit-rate estimate 1.6 s short, is heard to its real end.
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
# 1.5 s of silence, then 3 s of noise: the noise must come out whole, not cut at the estimate.
# The silence before it is the ruler, whatever rate the device runs at.
sox -n -r 44100 -c 2 -b 16 "$music/quiet.wav" synth 1.5 sine 440 vol 0 || snv_fail "sox quiet"
sox -n -r 44100 -c 2 -b 16 "$music/loud.wav" synth 3 whitenoise vol 0.5 || snv_fail "sox loud"
sox "$music/quiet.wav" "$music/loud.wav" "$music/both.wav" || snv_fail "sox join"
lame --quiet -t -V 2 "$music/both.wav" "$music/headerless.mp3" || snv_fail "lame"
export SDL_DISKAUDIOFILE="$SNV_SANDBOX/headerless.raw"
rm -f "$SNV_PROGDIR/!options.ini"
snv_start "$music/headerless.mp3"
snv_wait_window 90
sleep 6
snv_stop
# Runs of quiet and loud stereo frames of 32-bit floats, a change counted after 100 frames.
read -r quiet loud < <(od -An -v -tf4 -w8 "$SDL_DISKAUDIOFILE" | awk '
  function abs(x) { return x < 0 ? -x : x }
  { now = abs($1) > 0.03 || abs($2) > 0.03
    if (now == state) { same++; other = 0; next }
    if (++other < 100) { same++; next }
    if (!state) q = q ? q : same; else l = l ? l : same
    state = now; same = other; other = 0 }
  END { if (state && !l) l = same; print q + 0, l + 0 }')
snv_log "headerless MP3: $quiet quiet frames, then $loud loud"
[ "$quiet" -gt 0 ] && [ $((loud * 10)) -ge $((quiet * 17)) ] || snv_fail "the headerless MP3 stopped early"
snv_pass
