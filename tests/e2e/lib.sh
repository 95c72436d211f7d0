# Shared helpers for the end-to-end tests (bash). A test script is run by CTest as
#   bash tests/e2e/test_<name>.sh BUILD_DIR SOURCE_DIR
# and typically looks like this:
#
#   source "$(dirname "$0")/lib.sh"
#   snv_under_xvfb "$@"          # re-runs this script inside a fresh 1024x768x24 Xvfb
#   snv_init "$@"                # sandbox: program copy, own XDG dirs, dummy audio
#   snv_start                    # start the player (arguments are passed on)
#   snv_wait_window              # wait for the window titled "Sonavarium"
#   snv_key Next                 # press and release a key as a person does
#   snv_screenshot my_test       # BUILD_DIR/screenshots/my_test.png
#   snv_stop                     # SIGTERM, wait, check exit status 0
#   snv_pass
#
# Functions (all fail the test with a clear "FAIL:" message on stderr and status 1):
#   snv_fail MESSAGE...         end the test as failed.
#   snv_log MESSAGE...          progress line on stderr.
#   snv_under_xvfb "$@"         unless already inside, run this script again under
#                               `xvfb-run -a -s "-screen 0 1024x768x24 -noreset"`, exit with its
#                               status; retries when parallel runs race for a display number.
#   snv_init BUILD SOURCE       set SNV_BUILD, SNV_SOURCE; make the sandbox SNV_SANDBOX (removed at
#                               exit) with the program directory SNV_PROGDIR (a copy of
#                               BUILD/sonavarium and any *.dat / *.ogg beside it), its own
#                               XDG_RUNTIME_DIR and XDG_CONFIG_HOME, SDL_AUDIODRIVER=dummy, no
#                               session bus (DBUS_SESSION_BUS_ADDRESS unset).
#                               SNV_PROG is the copied program. Call it once per test.
#   snv_start [ARGS...]         start SNV_PROG in the background; SNV_PID, output in SNV_OUTPUT.
#   snv_wait_window [SECONDS]   wait (default 60 s) until the window exists; sets SNV_WINDOW.
#   snv_window_count            print how many windows titled "Sonavarium" exist.
#   snv_window_size             print the window's size as WIDTHxHEIGHT.
#   snv_key KEYSYM...           for each key: keydown, 0.1 s, keyup, 0.2 s (xdotool key names:
#                               Next, Prior, Escape, Tab, space, w, KP_Add, F1, ...).
#   snv_click [BUTTON]          press and release a mouse button (default 1) with a short hold.
#   snv_move DX DY              move the pointer relatively (the window captures the pointer).
#   snv_screenshot NAME         save the whole screen to BUILD/screenshots/NAME.png.
#   snv_alive                   true while the player process runs.
#   snv_assert_alive [WHAT]     fail unless the player still runs.
#   snv_wait_exit PID [SECONDS] wait (default 30 s) for a child process to end; sets
#                               SNV_STATUS; fails on timeout.
#   snv_stop [SECONDS]          SIGTERM the player, wait for it (default 30 s), fail unless it
#                               ended with status 0.
#   snv_pass                    print "PASS" and exit 0.
#   snv_options_file            print the sandbox's options file name (SNV_PROGDIR/!options.ini).
#   snv_section NAME            print the lines of section [NAME] of the options file, in order.
#   snv_option KEY              print the value of KEY in section [options] (empty when missing).
#   snv_expect_option KEY VALUE fail unless the stored KEY equals VALUE.
#   snv_tone FILE SECONDS HZ    make a stereo 44.1 kHz tone; .wav, .ogg or .mp3 by FILE's name.
#   snv_press KEYSYM...         press a repeating hot key so that it acts exactly once. A held key
#                               repeats every 13 frames, and a short hold may be read in one pass
#                               with its release and so never seen; neither can be ruled out by
#                               timing on a loaded machine. A small helper (built with cc) stops
#                               the player while the key goes down, watches it read the key from
#                               its X connection, and releases the key after the player's main
#                               thread has gone through two more event polls (its read and write
#                               counters in /proc). After each key the player runs SNV_PRESS_GAP
#                               seconds (default 2.5) so the repeat gate opens again. Needs
#                               Linux 5.6+ and leave to trace the player (root, or
#                               kernel.yama.ptrace_scope 0).
#   snv_pointer_home            move the pointer far up-left: the player's cursor is pinned at (2, 2).
#   snv_point_at X Y            home, then move the player's cursor to about window pixel (X, Y)
#                               (pointer motion is scaled by 1.28 on a 1024-pixel-wide screen).
#   snv_click_at X Y            snv_point_at, then a left click held 0.4 s (widgets act on release).
#   snv_region_mean PNG X Y W H print the mean brightness (0..1) of a rectangle of a picture.
#   snv_region_diff A B X Y W H print the fraction (0..1) of pixels of a rectangle that differ
#                               clearly (over 10 %) between pictures A and B.
# Generous timeouts: the machine is shared by many builds and tests.

# -noreset: otherwise the server resets whenever its last client (often xdotool) leaves, and a
# program connecting during the reset fails to open the display.
SNV_SCREEN="-screen 0 1024x768x24 -noreset"
SNV_PID=""
SNV_SANDBOX=""

snv_fail() {
  echo "FAIL: $*" >&2
  if [ -n "${SNV_OUTPUT:-}" ] && [ -s "$SNV_OUTPUT" ]; then
    echo "---- player output ----" >&2
    tail -n 40 "$SNV_OUTPUT" >&2
  fi
  exit 1
}

snv_log() { echo "-- $*" >&2; }

snv_under_xvfb() {
  if [ -n "${SNV_IN_XVFB:-}" ]; then
    [ -n "${SNV_XVFB_MARK:-}" ] && echo started >"$SNV_XVFB_MARK"
    return 0
  fi
  command -v xvfb-run >/dev/null || snv_fail "xvfb-run is not installed"
  local mark status attempt
  mark=$(mktemp)
  for attempt in 1 2 3 4; do
    : >"$mark"
    SNV_IN_XVFB=1 SNV_XVFB_MARK="$mark" xvfb-run -a -s "$SNV_SCREEN" bash "$0" "$@"
    status=$?
    if [ -s "$mark" ]; then
      rm -f "$mark"
      exit "$status"
    fi
    echo "-- Xvfb did not start (attempt $attempt), retrying" >&2
    sleep $((attempt * 2))
  done
  rm -f "$mark"
  snv_fail "could not start Xvfb"
}

snv_cleanup() {
  if [ -n "$SNV_PID" ] && kill -0 "$SNV_PID" 2>/dev/null; then
    kill -KILL "$SNV_PID" 2>/dev/null
    wait "$SNV_PID" 2>/dev/null
  fi
  [ -n "$SNV_SANDBOX" ] && rm -rf "$SNV_SANDBOX"
}

snv_init() {
  SNV_BUILD=$(cd "${1:?build dir}" && pwd)
  SNV_SOURCE=$(cd "${2:?source dir}" && pwd)
  [ -x "$SNV_BUILD/sonavarium" ] || snv_fail "no program at $SNV_BUILD/sonavarium"
  SNV_SANDBOX=$(mktemp -d "${TMPDIR:-/tmp}/snv_e2e.XXXXXX")
  trap snv_cleanup EXIT
  SNV_PROGDIR="$SNV_SANDBOX/program"
  mkdir -p "$SNV_PROGDIR" "$SNV_SANDBOX/runtime" "$SNV_SANDBOX/config"
  chmod 700 "$SNV_SANDBOX/runtime"
  cp "$SNV_BUILD/sonavarium" "$SNV_PROGDIR/"
  local f
  for f in "$SNV_BUILD"/*.dat "$SNV_BUILD"/*.ogg; do
    [ -f "$f" ] && cp "$f" "$SNV_PROGDIR/"
  done
  SNV_PROG="$SNV_PROGDIR/sonavarium"
  SNV_OUTPUT="$SNV_SANDBOX/player.out"
  export XDG_RUNTIME_DIR="$SNV_SANDBOX/runtime"
  export XDG_CONFIG_HOME="$SNV_SANDBOX/config"
  export SDL_AUDIODRIVER=dummy
  # Not the desktop's session bus: parallel players would all claim the same name on it.
  unset DBUS_SESSION_BUS_ADDRESS
}

snv_start() {
  "$SNV_PROG" "$@" >"$SNV_OUTPUT" 2>&1 &
  SNV_PID=$!
  snv_log "started player pid $SNV_PID $*"
}

snv_alive() {
  [ -n "$SNV_PID" ] || return 1
  local state
  state=$(awk '{print $3}' "/proc/$SNV_PID/stat" 2>/dev/null) || return 1
  [ -n "$state" ] && [ "$state" != "Z" ]
}

snv_assert_alive() {
  snv_alive || snv_fail "the player ended unexpectedly${1:+ ($1)}"
}

snv_window_count() {
  xdotool search --name '^Sonavarium$' 2>/dev/null | wc -l
}

snv_wait_window() {
  local limit=$(( ${1:-60} * 5 )) i
  SNV_WINDOW=""
  for ((i = 0; i < limit; i++)); do
    SNV_WINDOW=$(xdotool search --name '^Sonavarium$' 2>/dev/null | head -n 1)
    [ -n "$SNV_WINDOW" ] && return 0
    snv_alive || snv_fail "the player ended before its window appeared"
    sleep 0.2
  done
  snv_fail "no window titled Sonavarium after ${1:-60} s"
}

snv_window_size() {
  xdotool getwindowgeometry "$SNV_WINDOW" | awk '/Geometry:/ {print $2}'
}

snv_key() {
  local k
  for k in "$@"; do
    xdotool keydown "$k" || snv_fail "xdotool keydown $k"
    sleep 0.1
    xdotool keyup "$k" || snv_fail "xdotool keyup $k"
    sleep 0.2
  done
}

snv_click() {
  local b=${1:-1}
  xdotool mousedown "$b" || snv_fail "xdotool mousedown $b"
  sleep 0.1
  xdotool mouseup "$b" || snv_fail "xdotool mouseup $b"
  sleep 0.2
}

snv_move() {
  xdotool mousemove_relative -- "$1" "$2" || snv_fail "xdotool mousemove_relative $1 $2"
  sleep 0.2
}

snv_screenshot() {
  mkdir -p "$SNV_BUILD/screenshots"
  import -window root "$SNV_BUILD/screenshots/$1.png" || snv_fail "screenshot $1"
  snv_log "screenshot $SNV_BUILD/screenshots/$1.png"
}

snv_wait_exit() {
  local pid=$1 limit=$(( ${2:-30} * 10 )) i state
  for ((i = 0; i < limit; i++)); do
    state=$(awk '{print $3}' "/proc/$pid/stat" 2>/dev/null)
    if [ -z "$state" ] || [ "$state" = "Z" ]; then
      wait "$pid"
      SNV_STATUS=$?
      return 0
    fi
    sleep 0.1
  done
  snv_fail "process $pid still runs after ${2:-30} s"
}

snv_stop() {
  snv_alive || snv_fail "the player ended before it was asked to"
  kill -TERM "$SNV_PID"
  snv_wait_exit "$SNV_PID" "${1:-30}"
  [ "$SNV_STATUS" -eq 0 ] || snv_fail "the player ended with status $SNV_STATUS after SIGTERM"
  SNV_PID=""
}

snv_pass() {
  echo "PASS"
  exit 0
}

snv_options_file() { echo "$SNV_PROGDIR/!options.ini"; }

snv_section() {
  local file
  file=$(snv_options_file)
  [ -f "$file" ] || return 0
  awk -v want="[$1]" '
    { sub(/\r$/, "") }
    /^\[/ { inside = (tolower($0) == tolower(want)); next }
    inside && NF { print }
  ' "$file"
}

snv_option() {
  snv_section options | awk -F= -v k="$1" 'tolower($1) == tolower(k) { sub(/^[^=]*=/, ""); print; exit }'
}

snv_expect_option() {
  local got
  got=$(snv_option "$1")
  [ "$got" = "$2" ] || snv_fail "stored \"$1\" is \"$got\", expected \"$2\""
}

snv_tone() {
  local file=$1 seconds=$2 hz=$3 wav
  case "$file" in
    *.wav) sox -n -r 44100 -c 2 -b 16 "$file" synth "$seconds" sine "$hz" vol 0.5 || snv_fail "sox $file" ;;
    *.ogg | *.mp3)
      wav="${file%.*}.tmp.wav"
      sox -n -r 44100 -c 2 -b 16 "$wav" synth "$seconds" sine "$hz" vol 0.5 || snv_fail "sox $wav"
      if [ "${file##*.}" = ogg ]; then
        oggenc -Q -o "$file" "$wav" || snv_fail "oggenc $file"
      else
        lame --quiet "$wav" "$file" || snv_fail "lame $file"
      fi
      rm -f "$wav"
      ;;
    *) snv_fail "snv_tone: unknown format $file" ;;
  esac
}

snv_pointer_home() {
  local i
  # A captured pointer reports at most half a screen per move, so move several times.
  for i in 1 2 3; do
    xdotool mousemove_relative -- -3000 -3000 || snv_fail "xdotool mousemove_relative"
    sleep 0.15
  done
}

snv_point_at() {
  snv_pointer_home
  local dx dy step
  # Motion is scaled by the screen width / 800 (SNV_POINTER_SCALE, 1.28 on the usual 1024-pixel
  # screen); move in pieces the screen can hold.
  local scale=${SNV_POINTER_SCALE:-1.28}
  dx=$(awk -v x="$1" -v s="$scale" 'BEGIN { printf "%d", (x - 2) / s + 0.5 }')
  dy=$(awk -v y="$2" -v s="$scale" 'BEGIN { printf "%d", (y - 2) / s + 0.5 }')
  while [ "$dx" -gt 0 ] || [ "$dy" -gt 0 ]; do
    local sx=$((dx > 200 ? 200 : dx)) sy=$((dy > 200 ? 200 : dy))
    xdotool mousemove_relative -- "$sx" "$sy" || snv_fail "xdotool mousemove_relative"
    dx=$((dx - sx))
    dy=$((dy - sy))
    sleep 0.15
  done
  sleep 0.2
}

snv_click_at() {
  snv_point_at "$1" "$2"
  # Widgets act on release, so a long hold is harmless, and it spans a frame even when frames are
  # slow (a press and release read in one pass would be lost).
  xdotool mousedown 1 || snv_fail "xdotool mousedown"
  sleep 0.4
  xdotool mouseup 1 || snv_fail "xdotool mouseup"
  sleep 0.4
}

snv_region_mean() {
  convert "$1" -crop "${4}x${5}+${2}+${3}" +repage -colorspace gray -format '%[fx:mean]' info: ||
    snv_fail "cannot measure $1"
}

snv_region_diff() {
  convert "$1" "$2" -crop "${5}x${6}+${3}+${4}" +repage -compose difference -composite \
    -colorspace gray -threshold 10% -format '%[fx:mean]' info: || snv_fail "cannot compare $1 and $2"
}


# snv_press's helper, built once per sandbox: it needs to watch the player's X connection at
# sub-millisecond pace, which a shell loop cannot.
snv_press_helper() {
  local bin="$SNV_SANDBOX/snv_press"
  [ -x "$bin" ] && return 0
  cc -O2 -o "$bin" -x c - -ldl <<'SNV_PRESS_C' || snv_fail "cannot build the key press helper"
// Press a key so that the player holds it for only a few frames (see snv_press in lib.sh).
#define _GNU_SOURCE
#include <dirent.h>
#include <dlfcn.h>
#include <signal.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/ioctl.h>
#include <sys/syscall.h>
#include <time.h>
#include <unistd.h>

typedef void* (*OpenDisplayFn)(const char*);
typedef unsigned long (*StringToKeysymFn)(const char*);
typedef unsigned char (*KeysymToKeycodeFn)(void*, unsigned long);
typedef int (*SyncFn)(void*, int);
typedef int (*FakeKeyFn)(void*, unsigned int, int, unsigned long);

static int fds[64], nfds;

static double now_ms(void) {
  struct timespec t;
  clock_gettime(CLOCK_MONOTONIC, &t);
  return t.tv_sec * 1e3 + t.tv_nsec / 1e6;
}

static void fail(const char* what) {
  fprintf(stderr, "snv_press: %s\n", what);
  exit(2);
}

static void sleep_ms(double ms) {
  struct timespec t = {(time_t)(ms / 1000), (long)((ms - (time_t)(ms / 1000) * 1000) * 1e6)};
  nanosleep(&t, NULL);
}

// Bytes the player has not yet read from its sockets (its X connection).
static long queued(void) {
  long total = 0;
  for (int i = 0; i < nfds; ++i) {
    int n = 0;
    if (ioctl(fds[i], FIONREAD, &n) == 0) total += n;
  }
  return total;
}

// Read or write calls ("syscr: " or "syscw: ") made so far by the player's main thread.
static long main_calls(pid_t pid, const char* field) {
  char path[64], line[128];
  snprintf(path, sizeof path, "/proc/%d/task/%d/io", (int)pid, (int)pid);
  FILE* f = fopen(path, "r");
  if (!f) return -1;
  long value = -1;
  while (fgets(line, sizeof line, f))
    if (strncmp(line, field, 7) == 0 && sscanf(line + 7, "%ld", &value) == 1) break;
  fclose(f);
  return value;
}

static char state_of(pid_t pid) {
  char path[64], buf[512];
  snprintf(path, sizeof path, "/proc/%d/stat", (int)pid);
  FILE* f = fopen(path, "r");
  if (!f) return 0;
  size_t n = fread(buf, 1, sizeof buf - 1, f);
  fclose(f);
  buf[n] = 0;
  char* p = strrchr(buf, ')');
  return p && p[1] ? p[2] : 0;
}

// Waits until the byte count satisfies the wish; returns 0 on timeout.
static int wait_queue(int nonEmpty, double limitMs) {
  for (double t = 0; t < limitMs; t += 0.25) {
    long q = queued();
    if (nonEmpty ? q > 0 : q == 0) return 1;
    sleep_ms(0.25);
  }
  return 0;
}

int main(int argc, char** argv) {
  if (argc != 3) fail("usage: PID KEYSYM");
  const pid_t pid = (pid_t)atoi(argv[1]);
  void* x11 = dlopen("libX11.so.6", RTLD_NOW);
  void* xtst = dlopen("libXtst.so.6", RTLD_NOW);
  if (!x11 || !xtst) fail("cannot load libX11/libXtst");
  OpenDisplayFn openDisplay = (OpenDisplayFn)dlsym(x11, "XOpenDisplay");
  StringToKeysymFn toKeysym = (StringToKeysymFn)dlsym(x11, "XStringToKeysym");
  KeysymToKeycodeFn toKeycode = (KeysymToKeycodeFn)dlsym(x11, "XKeysymToKeycode");
  SyncFn sync = (SyncFn)dlsym(x11, "XSync");
  FakeKeyFn fakeKey = (FakeKeyFn)dlsym(xtst, "XTestFakeKeyEvent");
  if (!openDisplay || !toKeysym || !toKeycode || !sync || !fakeKey) fail("missing X functions");
  void* dpy = openDisplay(NULL);
  if (!dpy) fail("cannot open the display");
  const unsigned key = toKeycode(dpy, toKeysym(argv[2]));
  if (!key) fail("unknown key");

  // Borrow the player's sockets to see how much it has still to read.
  const int pidfd = (int)syscall(SYS_pidfd_open, pid, 0);
  if (pidfd < 0) fail("pidfd_open");
  char dir[64], link[256], path[320];
  snprintf(dir, sizeof dir, "/proc/%d/fd", (int)pid);
  DIR* d = opendir(dir);
  if (!d) fail("cannot list the player's files");
  for (struct dirent* e; (e = readdir(d)) && nfds < 64;) {
    snprintf(path, sizeof path, "%s/%s", dir, e->d_name);
    ssize_t n = readlink(path, link, sizeof link - 1);
    if (n <= 0) continue;
    link[n] = 0;
    if (strncmp(link, "socket:", 7) != 0) continue;
    int fd = (int)syscall(SYS_pidfd_getfd, pidfd, atoi(e->d_name), 0);
    if (fd >= 0) fds[nfds++] = fd;
  }
  closedir(d);
  if (nfds == 0) fail("the player has no sockets");

  // 1. Key down while the player is stopped, so the whole event waits on its connection.
  kill(pid, SIGSTOP);
  for (int i = 0; i < 2000 && state_of(pid) != 'T'; ++i) sleep_ms(0.5);
  fakeKey(dpy, key, 1, 0);
  sync(dpy, 0);
  int arrived = wait_queue(1, 5000);
  const double t0 = now_ms();
  kill(pid, SIGCONT);
  if (!arrived) { fakeKey(dpy, key, 0, 0); sync(dpy, 0); fail("the key never reached the player"); }
  // 2. The player has read the key from its connection, inside a buffer swap or an event poll.
  int read = wait_queue(0, 30000);
  const double t1 = now_ms();
  // 3. Each frame of the main thread makes three round trips to the X server while it renders
  //    (three writes) and begins its event poll with two reads (GLFW's wake-up pipe and joystick
  //    watch). After two more polls and three more writes the hot keys have certainly seen the
  //    key, and the release, read by a later poll, cannot fall into the same pass.
  const long r0 = main_calls(pid, "syscr: "), w0 = main_calls(pid, "syscw: ");
  if (r0 < 0 || w0 < 0) fail("cannot read the player's system call counters");
  int polled = 0;
  for (double t = 0; t < 30000 && !polled; t += 0.25) {
    polled = main_calls(pid, "syscr: ") >= r0 + 4 && main_calls(pid, "syscw: ") >= w0 + 3;
    if (!polled) sleep_ms(0.25);
  }
  const double t2 = now_ms();
  fakeKey(dpy, key, 0, 0);
  sync(dpy, 0);
  if (getenv("SNV_PRESS_DEBUG"))
    fprintf(stderr, "snv_press %s: read after %.1f ms, released %.1f ms later\n", argv[2], t1 - t0, t2 - t1);
  if (!read || !polled) fail("the player stopped reading its events");
  return 0;
}
SNV_PRESS_C
}

snv_press() {
  snv_press_helper
  local k
  for k in "$@"; do
    snv_assert_alive "before pressing $k"
    "$SNV_SANDBOX/snv_press" "$SNV_PID" "$k" || snv_fail "pressing $k failed"
    sleep "${SNV_PRESS_GAP:-2.5}"
  done
}
