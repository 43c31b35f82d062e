#include "fuzz_common.h"

#include <cstdio>
#include <cstdlib>
#include <ftw.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
char scratch[4096];

int remove_entry(const char* path, const struct stat*, int, struct FTW*) {
    return remove(path);
}

// The scratch directory goes when the fuzzer ends normally; scripts/fuzz.sh
// removes what a crash leaves.
void remove_scratch_dir() {
    if (scratch[0]) nftw(scratch, remove_entry, 16, FTW_DEPTH | FTW_PHYS);
}
} // namespace

void fuzz_enter_scratch_dir() {
    static bool done = false;
    if (done) return;
    done = true;
    // In memory where there is /dev/shm: every save flushes its file to disk,
    // which on a real disk would take most of the fuzzing time.
    // VRILLON_FUZZ_SCRATCH names the folder to make it in instead.
    const char* parents[] = {getenv("VRILLON_FUZZ_SCRATCH"), "/dev/shm", "/tmp"};
    for (const char* parent : parents) {
        if (!parent || !parent[0]) continue;
        snprintf(scratch, sizeof scratch, "%s/vrillon-fuzz-XXXXXX", parent);
        if (mkdtemp(scratch)) break;
        scratch[0] = '\0';
    }
    if (!scratch[0] || chdir(scratch) != 0) abort();
    atexit(remove_scratch_dir);
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
