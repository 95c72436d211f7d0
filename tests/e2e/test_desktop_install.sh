#!/usr/bin/env bash
# `cmake --install` into a temporary prefix: the program, its data, a valid menu entry and
# AppStream file, the icons; the installed copy starts, takes handed-over files, keeps its options
# and log in the user's configuration folder, names the folders it searched for a missing asset,
# and the install manifest removes everything again.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
prefix="$SNV_SANDBOX/prefix"
cmake --install "$SNV_BUILD" --prefix "$prefix" >"$SNV_SANDBOX/install.log" 2>&1 ||
  snv_fail "cmake --install failed: $(tail -5 "$SNV_SANDBOX/install.log")"
share="$prefix/share"
for f in bin/sonavarium share/sonavarium/pi.dat share/sonavarium/pm.dat share/sonavarium/ff.dat \
  share/sonavarium/demo.ogg share/applications/sonavarium.desktop share/icons/hicolor/scalable/apps/sonavarium.svg \
  share/metainfo/org.sonavarium.Sonavarium.metainfo.xml; do
  [ -s "$prefix/$f" ] || snv_fail "not installed: $f"
done
for size in 48 128 256; do
  png="$share/icons/hicolor/${size}x${size}/apps/sonavarium.png"
  [ "$(identify -format '%wx%h' "$png" 2>/dev/null)" = "${size}x${size}" ] || snv_fail "icon $png is not ${size}x${size}"
done
grep -q '<svg' "$share/icons/hicolor/scalable/apps/sonavarium.svg" || snv_fail "the scalable icon is not SVG"
cp "$share/icons/hicolor/256x256/apps/sonavarium.png" "$SNV_BUILD/screenshots/icon-256.png" 2>/dev/null ||
  { mkdir -p "$SNV_BUILD/screenshots" && cp "$share/icons/hicolor/256x256/apps/sonavarium.png" "$SNV_BUILD/screenshots/icon-256.png"; }
desktop-file-validate "$share/applications/sonavarium.desktop" || snv_fail "desktop-file-validate refused the menu entry"
grep -qx 'Exec=sonavarium %F' "$share/applications/sonavarium.desktop" || snv_fail "Exec line"
appstreamcli validate --no-net "$share/metainfo/org.sonavarium.Sonavarium.metainfo.xml" >"$SNV_SANDBOX/as.log" 2>&1 ||
  snv_fail "appstreamcli refused the AppStream file: $(cat "$SNV_SANDBOX/as.log")"

# The installed copy, started as the menu entry would, with a file.
config="$XDG_CONFIG_HOME/sonavarium"
mkdir -p "$config"
: >"$config/Debug.txt"
snv_tone "$SNV_SANDBOX/tone.wav" 20 440
SNV_PROG="$prefix/bin/sonavarium"
snv_start "$share/sonavarium/demo.ogg"
snv_wait_window 90
sleep 2
snv_screenshot desktop_installed_copy
timeout 20 "$SNV_PROG" "$SNV_SANDBOX/tone.wav" || snv_fail "the hand-off to the installed copy failed"
sleep 2
snv_stop
options="$config/!options.ini"
[ -f "$options" ] || snv_fail "no options file in $config"
grep -q "^$SNV_SANDBOX/tone.wav=" "$options" || snv_fail "the handed-over file is not in the stored playlist"
grep -q '^muz=1' "$options" || snv_fail "the installed copy was not playing at exit"
[ -z "$(ls -A "$prefix/bin" | grep -vx sonavarium)" ] || snv_fail "files were written beside the program: $(ls "$prefix/bin")"
[ -z "$(ls "$share/sonavarium" | grep -i -e options -e debug)" ] || snv_fail "files were written into share/sonavarium"

# A missing asset names both folders searched.
mv "$share/sonavarium/pm.dat" "$SNV_SANDBOX/pm.dat"
snv_start
snv_wait_exit "$SNV_PID" 60
SNV_PID=""
grep -q "Error: missing pm.dat (searched $prefix/bin/ and $prefix/bin/../share/sonavarium/)" "$config/Debug.txt" ||
  snv_fail "the log does not name the folders searched: $(cat "$config/Debug.txt")"
mv "$SNV_SANDBOX/pm.dat" "$share/sonavarium/pm.dat"

# The manifest uninstalls it all.
xargs rm -f <"$SNV_BUILD/install_manifest.txt"
left=$(find "$prefix" -type f)
[ -z "$left" ] || snv_fail "left after uninstalling: $left"
snv_pass
