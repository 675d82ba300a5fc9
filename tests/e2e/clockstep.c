/* Preloaded into the program: KELP_CLOCK_STEP_AFTER seconds in, the clocks step by
 * KELP_CLOCK_STEP seconds, and the file KELP_CLOCK_STEPPED appears when a stepped clock is
 * first read. The wall clock (gettimeofday, CLOCK_REALTIME) steps either way, as NTP steps it;
 * the monotonic clocks only ahead, as a long suspension (Ctrl+Z, later fg) moves them. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <stdio.h>
#include <stdlib.h>
#include <sys/time.h>
#include <time.h>

static int (*real_gettime)(clockid_t, struct timespec*);
static int (*real_gettimeofday)(struct timeval*, void*);
static struct timespec start;

static void Init(void) {
    if (real_gettime) return;
    real_gettime = (int (*)(clockid_t, struct timespec*))dlsym(RTLD_NEXT, "clock_gettime");
    real_gettimeofday = (int (*)(struct timeval*, void*))dlsym(RTLD_NEXT, "gettimeofday");
    real_gettime(CLOCK_MONOTONIC, &start);
}

/* The step in whole seconds once it is due for a clock of this kind, else 0. */
static long Step(int monotonic) {
    const char* after = getenv("KELP_CLOCK_STEP_AFTER");
    const char* by = getenv("KELP_CLOCK_STEP");
    const long step = by ? atol(by) : 0;
    if (step == 0 || (monotonic && step < 0)) return 0;
    struct timespec now;
    real_gettime(CLOCK_MONOTONIC, &now);
    if (now.tv_sec - start.tv_sec < (after ? atol(after) : 3)) return 0;
    static int marked;
    if (!marked) {
        marked = 1;
        const char* marker = getenv("KELP_CLOCK_STEPPED");
        FILE* f = marker ? fopen(marker, "w") : NULL;
        if (f) fclose(f);
    }
    return step;
}

int gettimeofday(struct timeval* tv, void* tz) {
    Init();
    const int result = real_gettimeofday(tv, tz);
    if (result == 0) tv->tv_sec += Step(0);
    return result;
}

int clock_gettime(clockid_t clock, struct timespec* ts) {
    Init();
    const int result = real_gettime(clock, ts);
    if (result != 0) return result;
    if (clock == CLOCK_REALTIME) ts->tv_sec += Step(0);
    if (clock == CLOCK_MONOTONIC || clock == CLOCK_MONOTONIC_RAW) ts->tv_sec += Step(1);
    return result;
}
