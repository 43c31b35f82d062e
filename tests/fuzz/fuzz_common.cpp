#include "fuzz_common.h"

#include <cstdio>
#include <cstdlib>
#include <sys/stat.h>
#include <unistd.h>

void fuzz_enter_scratch_dir() {
    static bool done = false;
    if (done) return;
    done = true;
    char tmpl[] = "/tmp/vrillon-fuzz-XXXXXX";
    const char* dir = mkdtemp(tmpl);
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

long fuzz_file_size(const char* path) {
    struct stat st;
    return stat(path, &st) == 0 ? long(st.st_size) : -1;
}

int fuzz_count_newlines(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return -1;
    int n = 0, c;
    while ((c = fgetc(f)) != EOF)
        if (c == '\n') ++n;
    fclose(f);
    return n;
}
