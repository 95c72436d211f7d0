#!/usr/bin/env bash
# Desktop media controls: playerctl drives the player over a private session bus (status,
# play-pause, next/previous, position, volume, shuffle, metadata, opening a file); a key press is
# announced to listeners; malformed calls get errors or clamped values and never harm the
# player; Quit ends it in order, storing a D-Bus pause as a pause.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
if [ -z "${SNV_IN_DBUS:-}" ]; then
  command -v dbus-run-session >/dev/null || snv_fail "dbus-run-session is not installed"
  SNV_IN_DBUS=1 exec dbus-run-session -- bash "$0" "$@"
fi
bus_address=$DBUS_SESSION_BUS_ADDRESS
snv_init "$@"
export DBUS_SESSION_BUS_ADDRESS=$bus_address
command -v playerctl >/dev/null || snv_fail "playerctl is not installed"
music="$SNV_SANDBOX/music"
mkdir -p "$music"
snv_tone "$music/one.wav" 20 330
snv_tone "$music/two.ogg" 20 440
snv_tone "$music/three.mp3" 20 550
snv_tone "$music/four five.wav" 20 660

pc() { timeout 10 playerctl -p sonavarium "$@"; }
bus() {  # VERB ARGS...; "--" lets negative numbers through
  local verb=$1
  shift
  timeout 10 busctl --user "$verb" -- org.mpris.MediaPlayer2.sonavarium /org/mpris/MediaPlayer2 "$@" 2>&1
}
expect() {  # WHAT EXPECTED COMMAND...: retried for a few seconds, the player acts on its next frame
  local what=$1 want=$2 got i
  shift 2
  for ((i = 0; i < 50; i++)); do
    got=$("$@" 2>&1)
    [ "$got" = "$want" ] && return 0
    sleep 0.2
  done
  snv_fail "$what: got '$got', expected '$want'"
}
near() {  # VALUE TARGET TOLERANCE
  awk -v v="$1" -v t="$2" -v d="$3" 'BEGIN { exit !(v != "" && v - t <= d && t - v <= d) }'
}

snv_start "$music/one.wav" "$music/two.ogg" "$music/three.mp3"
snv_wait_window 90
expect "status at start" Playing pc status
expect "title" one pc metadata xesam:title
expect "url" "file://$music/one.wav" pc metadata xesam:url
length=$(pc metadata mpris:length)
near "$length" 20000000 50000 || snv_fail "mpris:length is '$length'"
[ "$(pc metadata mpris:trackid)" != /org/mpris/MediaPlayer2/TrackList/NoTrack ] || snv_fail "no track id"

pc --follow status >"$SNV_SANDBOX/follow-status" 2>&1 &
follower=$!
pc --follow metadata xesam:title >"$SNV_SANDBOX/follow-title" 2>&1 &
follower2=$!
sleep 1
pc play-pause
expect "after play-pause" Paused pc status
pc play-pause
expect "after a second play-pause" Playing pc status
# A change that does not come over the bus is announced too: a file handed over by a second start.
timeout 20 "$SNV_PROG" "$music/three.mp3" || snv_fail "the hand-off failed"
expect "title after a hand-off" three pc metadata xesam:title
sleep 1
kill "$follower" "$follower2"
expect "announced statuses" "Playing Paused Playing" eval "uniq <'$SNV_SANDBOX/follow-status' | xargs"
expect "announced titles" "one three" eval "uniq <'$SNV_SANDBOX/follow-title' | xargs"

# The list wraps around: after the last comes the first.
pc next
expect "after next" one pc metadata xesam:title
pc next
expect "after a second next" two pc metadata xesam:title
pc previous
expect "after previous" one pc metadata xesam:title
pc stop
expect "after stop" Stopped pc status
pc play
expect "after play from stopped" Playing pc status
position=$(pc position)
near "$position" 0.5 1.5 || snv_fail "stop did not go back to the start: position '$position'"
pc position 12
position=$(pc position)
near "$position" 12 1.5 || snv_fail "position after seeking to 12 s is '$position'"
pc volume 0.5
expect "volume" 0.500000 pc volume
pc shuffle On
expect "shuffle" On pc shuffle
pc shuffle Off
expect "loop" Playlist pc loop
pc open "file://$(printf '%s' "$music/four five.wav" | sed 's/ /%20/g')"
expect "title after open" "four five" pc metadata xesam:title
expect "status after open" Playing pc status
# A tagged file is known by its tags.
sox -n -r 44100 -c 2 -b 16 "$SNV_SANDBOX/tagged.wav" synth 20 sine 440 2>/dev/null
oggenc -Q -t "Starlight" -a "Nightfall Trio" -l "Evening" -o "$music/tagged.ogg" "$SNV_SANDBOX/tagged.wav" ||
  snv_fail "oggenc"
pc open "file://$music/tagged.ogg"
expect "tag title" Starlight pc metadata xesam:title
expect "tag artist" "Nightfall Trio" pc metadata xesam:artist
expect "tag album" Evening pc metadata xesam:album

# Malformed and out-of-range calls: each gets an error or a clamped value.
player=org.mpris.MediaPlayer2.Player
for call in "Seek s forward" "SetPosition s /x" "SetPosition ox /org/sonavarium/track/999999 1000" \
  "OpenUri s http://example.invalid/a.mp3" "OpenUri s file:///nonexistent.ogg" "OpenUri s relative.ogg" \
  "NoSuchMethod" "SetPosition ox $(pc metadata mpris:trackid) -5" "SetPosition ox $(pc metadata mpris:trackid) 999999999999"; do
  # shellcheck disable=SC2086
  out=$(bus call $player $call)
  [ $? -ne 0 ] || snv_fail "busctl call $call was accepted: $out"
done
out=$(bus set-property $player Volume s loud)
[ $? -ne 0 ] || snv_fail "a volume of type string was accepted"
bus set-property $player Volume d -5 >/dev/null || snv_fail "Volume -5 was refused"
expect "volume -5 clamped" 0.000000 pc volume
bus set-property $player Volume d 1e9 >/dev/null || snv_fail "Volume 1e9 was refused"
expect "volume 1e9 clamped" 1.000000 pc volume
bus call $player Seek x -9223372036854775808 >/dev/null || snv_fail "a far seek back was refused"
position=$(pc position)
near "$position" 0 1.5 || snv_fail "position after a far seek back is '$position'"
bus call $player Seek x 9223372036854775807 >/dev/null || snv_fail "a far seek forward was refused"
timeout 10 dbus-send --session --print-reply --dest=org.mpris.MediaPlayer2.sonavarium /org/mpris/MediaPlayer2 \
  $player.SetPosition string:x int64:1 >/dev/null 2>&1 && snv_fail "dbus-send with wrong types was accepted"
bus call org.mpris.MediaPlayer2 Raise >/dev/null || snv_fail "Raise was refused"
[ "$(bus get-property org.mpris.MediaPlayer2 Identity)" = 's "Sonavarium"' ] || snv_fail "Identity"
[ "$(bus get-property org.mpris.MediaPlayer2 DesktopEntry)" = 's "sonavarium"' ] || snv_fail "DesktopEntry"
snv_assert_alive "after malformed calls"
expect "still answering" Playing pc status

# Quit after a D-Bus pause: stored exactly as a paused player.
pc pause
expect "paused" Paused pc status
bus call org.mpris.MediaPlayer2 Quit >/dev/null || snv_fail "Quit was refused"
snv_wait_exit "$SNV_PID" 30
[ "$SNV_STATUS" -eq 0 ] || snv_fail "the player ended with $SNV_STATUS after Quit"
SNV_PID=""
snv_expect_option muz 0
snv_expect_option vol 10
snv_expect_option rnd 0
grep -q "four five.wav" "$(snv_options_file)" || snv_fail "the opened file was not stored in the playlist"

# A bus that dies under the running player: one line in the log, and the player plays on.
: >"$SNV_PROGDIR/Debug.txt"
read -r address daemon < <(dbus-daemon --session --fork --print-address=1 --print-pid=1 | xargs)
[ -n "$daemon" ] || snv_fail "could not start a second bus"
DBUS_SESSION_BUS_ADDRESS=$address snv_start
snv_wait_window 90
# Paused: the last run ended paused.
expect "on the second bus" Paused env DBUS_SESSION_BUS_ADDRESS="$address" timeout 10 playerctl -p sonavarium status
kill "$daemon"
sleep 2
snv_assert_alive "after the bus died"
snv_stop
[ "$(grep -c 'Media keys and desktop controls are off' "$SNV_PROGDIR/Debug.txt")" -eq 1 ] ||
  snv_fail "expected one log line about the lost bus: $(cat "$SNV_PROGDIR/Debug.txt")"
snv_pass
