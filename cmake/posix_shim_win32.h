// The few POSIX calls the session runner, the tests and the benchmark make that
// Windows' C library names otherwise (forced into their compilation by
// tools/CMakeLists.txt, tests/CMakeLists.txt and bench/CMakeLists.txt).
#pragma once

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <direct.h>
#include <io.h>

inline int setenv(const char* name, const char* value, int overwrite) {
    if (!overwrite && getenv(name) != nullptr) return 0;
    return _putenv_s(name, value) == 0 ? 0 : -1;
}

// Windows has no permission bits to give a new folder.
inline int mkdir(const char* path, int) {
    return _mkdir(path);
}

// Nobody is root on Windows: a file's read-only mark binds every player.
inline int geteuid() {
    return 1000;
}
inline int chown(const char*, int, int) {
    return 0;
}

inline int dprintf(int fd, const char* format, ...) {
    char text[4096];
    va_list ap;
    va_start(ap, format);
    const int n = vsnprintf(text, sizeof text, format, ap);
    va_end(ap);
    if (n > 0) _write(fd, text, unsigned(n < int(sizeof text) ? n : int(sizeof text) - 1));
    return n;
}
