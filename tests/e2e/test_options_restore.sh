#!/usr/bin/env bash
# The options file round trip: a first run without a file stores exactly the defaults; a stored
# playlist, track, position, volume, visualization and play state are restored, the track plays
# on from the stored position (or stays paused there), and everything is stored again at exit.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
export LANG=C
unset LC_ALL LC_MESSAGES
options=$(snv_options_file)

# -- No options file: the defaults, and no playlist section.
rm -f "$options"
snv_start
snv_wait_window 90
sleep 2
snv_stop
[ -f "$options" ] || snv_fail "no options file was written at exit"
expected=$'lng=0\nrnd=0\nvol=10\nmuz=0\nvis=0\nplp=-1\npos=100'
got=$(snv_section options)
[ "$got" = "$expected" ] || snv_fail "first exit stored [options] as:
$got
expected:
$expected"
grep -qi '^\[playlist\]' "$options" && snv_fail "an empty playlist was stored as a [playlist] section"
snv_log "defaults stored"

# -- A stored session with three tracks of different formats, the second current at 30 %.
music="$SNV_SANDBOX/music"
mkdir -p "$music"
snv_tone "$music/one.wav" 20 330
snv_tone "$music/two.ogg" 20 440
snv_tone "$music/three.mp3" 20 550
write_session() {  # muz
  cat >"$options" <<EOF
[options]
lng=0
rnd=0
vol=7
muz=$1
vis=3
plp=1
pos=30
[playlist]
$music/one.wav=
$music/two.ogg=
$music/three.mp3=
EOF
}
expected_list=$(printf '%s\n' "$music/one.wav=" "$music/two.ogg=" "$music/three.mp3=")

check_session() {  # muz-after
  [ "$(snv_section playlist)" = "$expected_list" ] || snv_fail "the playlist came back as:
$(snv_section playlist)"
  snv_expect_option lng 0
  snv_expect_option rnd 0
  snv_expect_option vol 7
  snv_expect_option vis 3
  snv_expect_option plp 1
  snv_expect_option muz "$1"
}

# Playing: the stored track goes on from about 30 % (6 s of 20 s).
write_session 1
snv_start
snv_wait_window 90
sleep 4
snv_stop
check_session 1
pos=$(snv_option pos)
[[ "$pos" =~ ^[0-9]+$ ]] || snv_fail "stored pos \"$pos\" is not a number"
[ "$pos" -ge 31 ] && [ "$pos" -le 95 ] ||
  snv_fail "after about 4 s of playing from 30 %, the stored position is $pos %"
snv_log "playing session restored and stored again, pos $pos"

# Paused: the track is loaded at 30 % and does not move.
write_session 0
snv_start
snv_wait_window 90
sleep 5
snv_stop
check_session 0
snv_expect_option pos 30
snv_log "paused session restored and stored again"
snv_pass
