#include "fuzz_common.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

void fuzz_enter_scratch_dir() {
    static bool done = false;
    if (done) return;
    done = true;
    // In memory where there is /dev/shm: every save flushes its file to disk,
    // which on a real disk would take most of the fuzzing time.
    char shm[] = "/dev/shm/vrillon-fuzz-XXXXXX";
    char tmp[] = "/tmp/vrillon-fuzz-XXXXXX";
    const char* dir = mkdtemp(shm);
    if (!dir) dir = mkdtemp(tmp);
    if (!dir || chdir(dir) != 0) abort();
    mkdir("data", 0755);
    mkdir("pics", 0755);
    // The loaders trace every picture to standard output: keep the fuzzer's output readable.
    if (!freopen("/dev/null", "w", stdout)) abort();
}

void fuzz_write_file(const char* path, const uint8_t* data, size_t size) {
    FILE* f = fopen(path, "wb");
    if (!f) abort();
    if (size && fwrite(data, 1, size, f) != size) abort();
    fclose(f);
}

std::string fuzz_read_file(const char* path) {
    std::string text;
    FILE* f = fopen(path, "rb");
    if (!f) return text;
    char buf[4096];
    for (size_t n; (n = fread(buf, 1, sizeof buf, f)) > 0;)
        text.append(buf, n);
    fclose(f);
    return text;
}
