#!/usr/bin/env bash
# The file chooser gets the pointer: the full-screen player holds it captured (grabbed) while it
# runs, but lets go before the chooser starts, since its frame loop stands still meanwhile.
# The chooser here is a stand-in zenity that tries to grab the pointer itself and records whether
# it could, then answers with a file, which the playlist page adds.
source "$(dirname "$0")/lib.sh"
snv_under_xvfb "$@"
snv_init "$@"
export LANG=C
unset LC_ALL LC_MESSAGES

bin="$SNV_SANDBOX/bin"
mkdir -p "$bin"
# Prints 0 when the pointer could be grabbed (nobody else holds it), 1 when another client holds it.
cc -O2 -o "$bin/grabcheck" -x c - -ldl <<'GRAB_C' || snv_fail "cannot build the grab checker"
#include <dlfcn.h>
#include <stdio.h>
typedef void* (*OpenFn)(const char*);
typedef unsigned long (*RootFn)(void*);
typedef int (*GrabFn)(void*, unsigned long, int, unsigned int, int, int, unsigned long, unsigned long, unsigned long);
typedef int (*UngrabFn)(void*, unsigned long);
typedef int (*CloseFn)(void*);
int main(void) {
  void* x11 = dlopen("libX11.so.6", RTLD_NOW);
  if (!x11) return 2;
  void* dpy = ((OpenFn)dlsym(x11, "XOpenDisplay"))(NULL);
  if (!dpy) return 2;
  unsigned long root = ((RootFn)dlsym(x11, "XDefaultRootWindow"))(dpy);
  /* GrabModeAsync = 1, CurrentTime = 0 */
  int result = ((GrabFn)dlsym(x11, "XGrabPointer"))(dpy, root, 0, 0, 1, 1, 0, 0, 0);
  if (result == 0) ((UngrabFn)dlsym(x11, "XUngrabPointer"))(dpy, 0);
  ((CloseFn)dlsym(x11, "XCloseDisplay"))(dpy);
  printf("%d\n", result == 0 ? 0 : 1);
  return 0;
}
GRAB_C
snv_tone "$SNV_SANDBOX/chosen.wav" 2 330
printf '#!/bin/sh\n"%s/grabcheck" > "%s/grab_in_dialog"\necho "%s/chosen.wav"\n' \
  "$bin" "$SNV_SANDBOX" "$SNV_SANDBOX" >"$bin/zenity"
chmod +x "$bin/zenity"
export PATH="$bin:$PATH"

snv_start "$SNV_PROGDIR/demo.ogg"
snv_wait_window
sleep 2
[ "$("$bin/grabcheck")" = 1 ] || snv_fail "the running player should hold the pointer"
snv_press Tab      # playlist page
snv_press Insert   # add files (not played)
for _ in $(seq 1 100); do [ -s "$SNV_SANDBOX/grab_in_dialog" ] && break; sleep 0.2; done
[ -s "$SNV_SANDBOX/grab_in_dialog" ] || snv_fail "the file chooser was not started"
[ "$(cat "$SNV_SANDBOX/grab_in_dialog")" = 0 ] || snv_fail "the pointer was still captured while the chooser was open"
sleep 2
snv_assert_alive "after the dialog"
snv_stop
snv_section playlist | grep -q "chosen.wav" || snv_fail "the chosen file was not added: $(snv_section playlist)"
snv_pass
