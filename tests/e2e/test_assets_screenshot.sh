#!/usr/bin/env bash
# Draws the generated GUI image and font in an OpenGL window under Xvfb, keeps the picture as
# BUILD/screenshots/assets.png and checks with ImageMagick that every piece put its pixels where
# the preview says it drew it, and nowhere else.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
set -uo pipefail
build=$(cd "${1:?build dir}" && pwd)
preview="$build/tools/snv_assetpreview"
[ -x "$preview" ] || snv_fail "no preview program at $preview"
for f in pi.dat ff.dat; do [ -s "$build/$f" ] || snv_fail "missing $build/$f"; done

work=$(mktemp -d "${TMPDIR:-/tmp}/snv_assets.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -p "$build/screenshots"
shot="$build/screenshots/assets.png"
rm -f "$shot"
ASAN_OPTIONS=detect_leaks=0 "$preview" "$build" "$shot" "$work" || snv_fail "the preview program failed"
[ -s "$shot" ] && [ -s "$work/background.png" ] && [ -s "$work/pieces.txt" ] || snv_fail "the preview wrote nothing"
[ "$(identify -format '%wx%h' "$shot")" = "1024x768" ] || snv_fail "unexpected picture size"
snv_log "saved $shot"

# Pixels that differ from the background-only frame.
convert "$shot" "$work/background.png" -compose difference -composite -colorspace gray -threshold 4% \
  "$work/changed.png" || snv_fail "cannot compare the frames"

count_in() {  # x y w h -> number of changed pixels in the rectangle
  convert "$work/changed.png" -crop "$3x$4+$1+$2" +repage -format '%[fx:round(mean*w*h)]' info:
}
mean_of() {  # x y w h channel-expression -> mean over the rectangle of the final picture
  convert "$shot" -crop "$3x$4+$1+$2" +repage -format "%[fx:$5]" info:
}

pieces=0
mask=()
while read -r name x y w h; do
  [ -n "$name" ] || continue
  pieces=$((pieces + 1))
  changed=$(count_in "$x" "$y" "$w" "$h")
  area=$((w * h))
  case "$name" in
    english | russian | track*) need=$((area / 12)) ;;  # thin strokes
    *) need=$((area / 5)) ;;
  esac
  [ "$changed" -ge "$need" ] || snv_fail "$name at $x,$y ${w}x$h changed only $changed of $area pixels"
  snv_log "$name: $changed of $area pixels drawn"
  # Shadows and glows may reach a few pixels past a piece.
  mask+=(-draw "rectangle $((x - 4)),$((y - 4)) $((x + w + 4)),$((y + h + 4))")
done <"$work/pieces.txt"
[ "$pieces" -eq 24 ] || snv_fail "expected 24 drawn pieces, the preview listed $pieces"

# Nothing may change outside the pieces.
stray=$(convert "$work/changed.png" -fill black "${mask[@]}" -format '%[fx:round(mean*w*h)]' info:)
[ "$stray" -le 10 ] || snv_fail "$stray pixels changed outside the drawn pieces"

# The looks: idle glass is dark, hover is lit in blue, pressed turns violet.
piece() { awk -v n="$1" '$1 == n {print $2, $3, $4, $5}' "$work/pieces.txt"; }
read -r nx ny _ _ < <(piece BtnNormal_192)
read -r hx hy _ _ < <(piece BtnHover_192)
read -r dx dy _ _ < <(piece BtnDown_192)
# Sample the middle pieces' bodies away from the captions.
normal=$(mean_of $((nx + 36)) $((ny + 8)) 20 8 "mean")
hover=$(mean_of $((hx + 36)) $((hy + 8)) 20 8 "mean")
hover_blue=$(mean_of $((hx + 36)) $((hy + 8)) 20 28 "mean.b - mean.r")
down_violet=$(mean_of $((dx + 36)) $((dy + 8)) 20 28 "min(mean.r, mean.b) - mean.g")
awk -v n="$normal" -v h="$hover" 'BEGIN { exit !(h > n + 0.15) }' || snv_fail "hover ($hover) is not brighter than normal ($normal)"
awk -v v="$hover_blue" 'BEGIN { exit !(v > 0.1) }' || snv_fail "hover is not blue ($hover_blue)"
awk -v v="$down_violet" 'BEGIN { exit !(v > 0.05) }' || snv_fail "pressed is not violet ($down_violet)"

# Text is drawn white and crisp: some pixels of each line reach full brightness.
for line in english russian; do
  read -r x y w h < <(piece "$line")
  top=$(mean_of "$x" "$y" "$w" "$h" "maxima")
  awk -v v="$top" 'BEGIN { exit !(v > 0.9) }' || snv_fail "$line text is not bright ($top)"
done
snv_pass
