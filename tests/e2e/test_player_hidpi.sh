#!/usr/bin/env bash
# A 4K screen whose desktop says "scale 2" (Xft.dpi 192): the menu is drawn twice as large from the
# double-resolution set, its captions read back by OCR at about twice the ordinary letter height,
# and a click at the doubled centre of Exit ends the player through its shutdown. The pages are
# kept as BUILD/screenshots/hidpi_main.png, hidpi_help.png and hidpi_playlist.png.
source "$(dirname "$0")/lib.sh"
SNV_SCREEN="-screen 0 3840x2160x24 -noreset"
snv_under_xvfb "$@"
snv_init "$@"
command -v tesseract >/dev/null || snv_fail "tesseract is not installed"
echo "Xft.dpi: 192" | xrdb -merge || snv_fail "xrdb"
export LANG=C SNV_PRESS_GAP=2 SNV_POINTER_SCALE=4.8
unset LC_ALL LC_MESSAGES GDK_SCALE SONAVARIUM_SCALE
shots="$SNV_BUILD/screenshots"

snv_start "$SNV_PROGDIR/demo.ogg"
snv_wait_window 120
[ "$(snv_window_size)" = 3840x2160 ] || snv_fail "window is $(snv_window_size)"
sleep 3
snv_pointer_home
snv_press Escape
snv_screenshot hidpi_main

# The first row of buttons (Exit, Music, Pause, ?, PlayList) spans 68..1500 x 52..140 at scale 2.
convert "$shots/hidpi_main.png" -crop 1500x110+40+40 +repage -colorspace Gray -negate -level 20%,60% "$SNV_SANDBOX/row.png"
tesseract "$SNV_SANDBOX/row.png" "$SNV_SANDBOX/row" -l eng tsv >/dev/null 2>&1 || snv_fail "tesseract"
words=$(awk -F'\t' 'NR > 1 && $12 != "" { printf "%s ", $12 }' "$SNV_SANDBOX/row.tsv")
snv_log "first row reads: $words"
for caption in Exit Music Pause PlayList; do
  case " $words " in *" $caption "*) ;; *) snv_fail "caption $caption not read at scale 2 (read: $words)" ;; esac
done
# "Exit" is a capital and ascenders only: about 12 pixels tall at scale 1, so about 24 here.
height=$(awk -F'\t' 'NR > 1 && $12 == "Exit" { print $10; exit }' "$SNV_SANDBOX/row.tsv")
snv_log "Exit is $height pixels tall"
[ -n "$height" ] && [ "$height" -ge 19 ] && [ "$height" -le 32 ] || snv_fail "Exit is ${height:-?} pixels tall, not about 24"

snv_press F1
snv_screenshot hidpi_help
snv_press Tab
snv_screenshot hidpi_playlist
snv_press Tab
snv_press Escape

# Exit: design rectangle 34..162 x 26..70, doubled.
snv_click_at 196 96
snv_wait_exit "$SNV_PID" 60
[ "$SNV_STATUS" = 0 ] || snv_fail "the player ended with status $SNV_STATUS after Exit"
SNV_PID=""
[ -f "$(snv_options_file)" ] || snv_fail "Exit did not store the options"
snv_pass
