/* LD_PRELOAD shim for the exit stress test: every dlclose waits 200 ms first.
 * A process that ends with its sound thread still running unloads libraries
 * while that thread may still call into them; the wait turns that rare race
 * into a crash every time, so one run per path is enough to see it. */
#define _GNU_SOURCE
#include <dlfcn.h>
#include <time.h>

int dlclose(void* handle) {
    static int (*real_dlclose)(void*);
    if (!real_dlclose) real_dlclose = (int (*)(void*))dlsym(RTLD_NEXT, "dlclose");
    struct timespec pause = {0, 200 * 1000 * 1000};
    nanosleep(&pause, 0);
    return real_dlclose ? real_dlclose(handle) : 0;
}
