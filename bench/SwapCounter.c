// Preloaded into the player by bench/frame_rate.sh: counts presented frames by wrapping
// glfwSwapBuffers (GLFW is linked dynamically; libGL is not, so a glXSwapBuffers wrapper would
// never be called). Once a second it appends to SNV_SWAP_LOG: monotonic ns, frames so far, and the
// main thread's CPU ns spent outside the swap (the frame's own work, without waiting or pacing),
// and the whole process's CPU ns (the rasterizer's threads too: a figure other load barely moves).
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <time.h>

typedef void (*SwapFn)(void*);

static SwapFn real_swap;
static FILE* log_file;
static long long frames, cpu_outside_ns, cpu_after_swap, last_line;

static long long read_clock(clockid_t id) {
  struct timespec t;
  clock_gettime(id, &t);
  return (long long)t.tv_sec * 1000000000LL + t.tv_nsec;
}

void glfwSwapBuffers(void* window) {
  const long long cpu_before = read_clock(CLOCK_THREAD_CPUTIME_ID);
  if (!real_swap) {
    real_swap = (SwapFn)dlsym(RTLD_NEXT, "glfwSwapBuffers");
    const char* name = getenv("SNV_SWAP_LOG");
    if (name && *name) log_file = fopen(name, "a");
    last_line = read_clock(CLOCK_MONOTONIC);
  }
  if (cpu_after_swap) cpu_outside_ns += cpu_before - cpu_after_swap;
  if (real_swap) real_swap(window);
  ++frames;
  cpu_after_swap = read_clock(CLOCK_THREAD_CPUTIME_ID);
  const long long now = read_clock(CLOCK_MONOTONIC);
  if (log_file && now - last_line >= 1000000000LL) {
    fprintf(log_file, "%lld %lld %lld %lld\n", now, frames, cpu_outside_ns, read_clock(CLOCK_PROCESS_CPUTIME_ID));
    fflush(log_file);
    last_line = now;
  }
}
