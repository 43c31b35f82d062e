// What the comparison probes share: one program source, built twice (against
// Debian's libraries and against tools/windows_libs), runs the same cases in
// the same order. The first writes every result to a file; the second reads
// it back and reports each case whose result differs in any byte.
#ifndef VRILLON_PROBE_H
#define VRILLON_PROBE_H

#include <SDL/SDL.h>
// A console program everywhere: on Windows, SDLmain would send the results
// to stdout.txt.
#undef main

#include <cstddef>
#include <cstdio>
#include <string>

struct ProbeField {
    std::string name;
    std::string bytes;
};

struct Probe {
    FILE* file;
    bool writing;
    std::string name;
    ProbeField fields[32];
    int fieldCount;
    long cases, surfaces, pixelBytes;
    long differingCases, differingBytes;
    bool broken; // the file ended or its cases are not these
};

// Opens FILE (- for standard output or input) for "write" or "compare";
// false (with a message) on a bad mode or file.
bool probe_open(Probe& p, const char* mode, const char* file);
void probe_begin(Probe& p, const std::string& name);
void probe_bytes(Probe& p, const char* field, const void* data, size_t size);
void probe_int(Probe& p, const char* field, long value);
void probe_text(Probe& p, const char* field, const char* text);
// The whole surface: its format, flags, key, alpha, palette and every byte of
// its rows, padding included; a null surface is recorded with SDL's error.
void probe_surface(Probe& p, SDL_Surface* s);
void probe_end(Probe& p);
// Prints the totals; the exit status: 0 all equal, 1 any difference.
int probe_close(Probe& p, const char* what);

#endif
