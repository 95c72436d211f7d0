#!/usr/bin/env bash
# Files named in Cyrillic, with accents, in CJK and in Latin-1 bytes, and files tagged in every
# format, added on the command line: the playlist page, read back with OCR, shows each row as
# its title ("Artist - Title", "Title", else the file name), the main page's label shows the
# playing track's, the file named in Latin-1 plays, and the stored playlist keeps every path byte
# for byte. Screenshots:
# BUILD/screenshots/names_playlist_en.png, names_playlist_ru.png, names_main_ru.png.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
command -v tesseract >/dev/null || snv_fail "tesseract is not installed (scripts/setup installs it)"
music="$SNV_SANDBOX/music"
mkdir -p "$music"
export SNV_PRESS_GAP=1.5
tone="$SNV_SANDBOX/tone.wav"
sox -n -r 44100 -c 2 -b 16 "$tone" synth 90 sine 440 vol 0.3 || snv_fail "sox"

tagged() {  # FILE TITLE ARTIST (ARTIST may be empty)
  local f=$1 title=$2 artist=$3
  case "$f" in
    *.mp3) lame --quiet --id3v2-only --id3v2-utf16 --tt "$title" ${artist:+--ta "$artist"} "$tone" "$f" ;;
    *.ogg) oggenc -Q -t "$title" ${artist:+-a "$artist"} -o "$f" "$tone" ;;
    *.opus) opusenc --quiet --title "$title" ${artist:+--artist "$artist"} "$tone" "$f" ;;
    *) ffmpeg -loglevel error -y -i "$tone" -metadata title="$title" ${artist:+-metadata artist="$artist"} "$f" ;;
  esac || snv_fail "cannot make $f"
}
latin1=$(printf 'Caf\xe9 Latin.wav')
files=("$music/$latin1" "$music/01.mp3" "$music/Звёздная пыль.ogg" "$music/Café del Mar.mp3" "$music/東京.wav"
  "$music/02.ogg" "$music/03.flac" "$music/04.opus" "$music/05.wav")
cp "$tone" "${files[0]}"
tagged "${files[1]}" "Группа крови" "Кино"
oggenc -Q -o "${files[2]}" "$tone" || snv_fail "oggenc"
lame --quiet "$tone" "${files[3]}" || snv_fail "lame"
cp "$tone" "${files[4]}"
tagged "${files[5]}" "Midnight Train" "Blue Harbour"
tagged "${files[6]}" "Северное сияние" ""
tagged "${files[7]}" "Morning Song" "Les Étoiles"
tagged "${files[8]}" "Rain" "Cloud"
# How each row must read; the font has no CJK and Latin-1 bytes are no UTF-8: one "?" each.
rows=("Caf? Latin" "Кино - Группа крови" "Звёздная пыль" "Cafe del Mar" "??" "Blue Harbour - Midnight Train"
  "Северное сияние" "Les Etoiles - Morning Song" "Cloud - Rain")

# OCR of a region of the screen. The text is gray or white; the darkest channel of each pixel
# keeps it and drops the coloured lines of the picture behind.
read_screen() {  # NAME X Y W H
  local shot="$SNV_SANDBOX/$1.png"
  import -window root "$shot" || snv_fail "screenshot $1"
  convert "$shot" -crop "${4}x${5}+${2}+${3}" +repage -separate -evaluate-sequence Min -resize 200% -negate \
    "$SNV_SANDBOX/$1_ocr.png" || snv_fail "convert $1"
  tesseract "$SNV_SANDBOX/$1_ocr.png" - -l rus+eng 2>/dev/null
}
# Spaces and the Latin and Cyrillic look-alike letters OCR mixes up are left out of the comparison.
normalize() { tr -d ' \n' | LC_ALL=C.UTF-8 sed 'y/ёЁаеорсхукгАВЕКМНОРСТХ/еЕaeopcxykrABEKMHOPCTX/'; }
keep() { mkdir -p "$SNV_BUILD/screenshots" && cp "$SNV_SANDBOX/$1.png" "$SNV_BUILD/screenshots/"; }
expect_rows() {  # NAME
  local text="" i missing
  for i in $(seq 1 8); do
    text=$(read_screen "$1" 0 130 1024 638)
    missing=""
    for row in "${rows[@]}"; do
      grep -qF -- "$(printf '%s' "$row" | normalize)" <<<"$(printf '%s' "$text" | normalize)" || missing+="[$row] "
    done
    [ -z "$missing" ] && break
    sleep 1
  done
  keep "$1"
  [ -z "$missing" ] || snv_fail "$1: rows not read on the screen: $missing; OCR read: $text"
}

# -- English, files on the command line.
export LANG=C
unset LC_ALL LC_MESSAGES
snv_start "${files[@]}"
snv_wait_window 90
sleep 2
snv_pointer_home
snv_press Tab
expect_rows names_playlist_en
snv_stop
stored=$(snv_section playlist)
expected=$(printf '%s=\n' "${files[@]}")
[ "$stored" = "$expected" ] || snv_fail "stored paths differ from the files' bytes: $(printf '%s' "$stored" | od -c | head)"
# A file that cannot be played is passed over at once: the first, named in Latin-1, still plays.
snv_expect_option plp 0

# -- Russian, the playlist restored from the options file; after the next track the main page
#    names the playing track by its tags.
sed -i 's/^lng=0$/lng=1/' "$(snv_options_file)"
snv_start
snv_wait_window 90
sleep 2
snv_pointer_home
snv_press Tab
expect_rows names_playlist_ru
snv_press Tab b Escape
label=$(read_screen names_main_ru 0 120 1024 90)
keep names_main_ru
snv_stop
playing=${rows[$(snv_option plp)]}
grep -qF -- "$(printf '%s' "$playing" | normalize)" <<<"$(printf '%s' "$label" | normalize)" ||
  snv_fail "the main page's label does not read as the playing track's title \"$playing\": $label"
[ "$(snv_section playlist)" = "$expected" ] || snv_fail "the second run changed the stored paths"
snv_pass
