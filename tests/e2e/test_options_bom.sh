#!/usr/bin/env bash
# An options file saved by a Windows editor (byte-order mark, CR LF): every setting and the resume
# point are taken, and the file is stored with its mark and a single [options] section.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
music="$SNV_SANDBOX/music"
mkdir -p "$music"
snv_tone "$music/a.wav" 20 440
options=$(snv_options_file)
printf '\xEF\xBB\xBF[options]\r\nlng=0\r\nvol=4\r\nvis=2\r\nmuz=0\r\nplp=0\r\npos=40\r\n[playlist]\r\n%s=\r\n' \
  "$music/a.wav" >"$options"
snv_start
snv_wait_window 90
sleep 2
snv_stop
head -c 3 "$options" | cmp -s - <(printf '\xEF\xBB\xBF') || snv_fail "the byte-order mark was dropped"
[ "$(grep -aci '\[options\]' "$options")" -eq 1 ] || snv_fail "more than one [options]:
$(cat -A "$options")"
tail -c +4 "$options" >"$SNV_SANDBOX/plain.ini"
cp "$SNV_SANDBOX/plain.ini" "$options"  # read the values back without the mark
snv_expect_option vol 4
snv_expect_option vis 2
snv_expect_option plp 0
snv_expect_option pos 40  # paused at the resume point
snv_pass
