#!/usr/bin/env bash
# Esc opens and closes the menu, F1 and Tab show the help and playlist pages, in English and in
# Russian. The pages are kept as BUILD/screenshots/menu_main.png, menu_help.png,
# menu_playlist.png, menu_main_ru.png and menu_help_ru.png; each is checked against a frame
# without the menu: the logo (top right) lights up and the buttons and texts cover the picture.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
demo="$SNV_PROGDIR/demo.ogg"
[ -f "$demo" ] || snv_fail "no demo.ogg beside the program"
shots="$SNV_BUILD/screenshots"
export SNV_PRESS_GAP=1.5

frame() {  # NAME: a frame kept only for comparison
  import -window root "$SNV_SANDBOX/$1.png" || snv_fail "screenshot $1"
}
logo() { snv_region_mean "$1" 784 0 240 72; }
above() {  # A B MARGIN: A > B + MARGIN
  awk -v a="$1" -v b="$2" -v m="$3" 'BEGIN { exit !(a > b + m) }'
}
expect_menu() {  # PICTURE WHAT
  local lit
  lit=$(logo "$1")
  above "$lit" "$closed_logo" 0.025 || snv_fail "$2: the logo is not shown (brightness $lit, without menu $closed_logo)"
  local covered
  covered=$(snv_region_diff "$SNV_SANDBOX/closed.png" "$1" 36 30 60 36)
  above "$covered" 0.3 0 || snv_fail "$2: the Exit button does not cover the picture ($covered changed)"
}
expect_closed() {  # PICTURE WHAT: the Exit button no longer covers the picture
  local d
  d=$(snv_region_diff "$shots/menu_main.png" "$1" 36 30 60 36)
  above "$d" 0.3 0 || snv_fail "$2: the menu is still shown (only $d of the Exit button changed)"
}
expect_differ() {  # A B WHAT: the page bodies below the header differ
  local d
  d=$(snv_region_diff "$1" "$2" 30 80 610 240)
  above "$d" 0.03 0 || snv_fail "$3 ($d of the page body differs)"
}

# -- English.
export LANG=C
unset LC_ALL LC_MESSAGES
snv_start "$demo"
snv_wait_window 90
sleep 3
snv_pointer_home
frame closed
closed_logo=$(logo "$SNV_SANDBOX/closed.png")

snv_press Escape
snv_screenshot menu_main
expect_menu "$shots/menu_main.png" "Esc"
snv_press Escape
frame closed_again
expect_closed "$SNV_SANDBOX/closed_again.png" "second Esc"

snv_press F1
snv_screenshot menu_help
expect_menu "$shots/menu_help.png" "F1"
expect_differ "$shots/menu_main.png" "$shots/menu_help.png" "F1 showed the main page, not the help page"
snv_press F1
frame help_closed
expect_closed "$SNV_SANDBOX/help_closed.png" "second F1"

snv_press Tab
snv_screenshot menu_playlist
expect_menu "$shots/menu_playlist.png" "Tab"
expect_differ "$shots/menu_main.png" "$shots/menu_playlist.png" "Tab showed the main page, not the playlist page"
expect_differ "$shots/menu_help.png" "$shots/menu_playlist.png" "Tab showed the help page, not the playlist page"
# Esc closes any page.
snv_press Escape
frame playlist_closed
expect_closed "$SNV_SANDBOX/playlist_closed.png" "Esc on the playlist page"
snv_stop
snv_expect_option lng 0

# -- Russian, chosen from the system's language when the options file does not say.
rm -f "$(snv_options_file)"
export LANG=ru_RU.UTF-8
snv_start "$demo"
snv_wait_window 90
sleep 3
snv_pointer_home
snv_press Escape
snv_screenshot menu_main_ru
expect_menu "$shots/menu_main_ru.png" "Esc (Russian)"
header=$(snv_region_diff "$shots/menu_main.png" "$shots/menu_main_ru.png" 30 26 600 46)
above "$header" 0.02 0 || snv_fail "the Russian header looks like the English one ($header differs)"
snv_press F1
snv_screenshot menu_help_ru
expect_menu "$shots/menu_help_ru.png" "F1 (Russian)"
expect_differ "$shots/menu_help.png" "$shots/menu_help_ru.png" "the Russian help page looks like the English one"
snv_stop
snv_expect_option lng 1
snv_pass
