// The few POSIX calls the session runner and the tests make that Windows' C
// library names otherwise (forced into their compilation by tools/CMakeLists.txt
// and tests/CMakeLists.txt).
#pragma once

#include <cstdlib>
#include <direct.h>

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
