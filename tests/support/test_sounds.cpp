#include "support/test_sounds.h"

#include <cstdio>
#include <cstring>

namespace {
void put32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        p[i] = (unsigned char)(v >> (8 * i));
}
void put16(unsigned char* p, uint16_t v) {
    p[0] = (unsigned char)v;
    p[1] = (unsigned char)(v >> 8);
}
bool write_bytes(const std::string& path, const unsigned char* data, size_t n) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) return false;
    bool ok = fwrite(data, 1, n, f) == n;
    return fclose(f) == 0 && ok;
}
} // namespace

bool write_test_wav(const std::string& path) {
    const uint32_t rate = 22050, samples = 2205;
    unsigned char buf[44 + 2205];
    memcpy(buf, "RIFF", 4);
    put32(buf + 4, 36 + samples);
    memcpy(buf + 8, "WAVEfmt ", 8);
    put32(buf + 16, 16);
    put16(buf + 20, 1); // PCM
    put16(buf + 22, 1); // mono
    put32(buf + 24, rate);
    put32(buf + 28, rate);
    put16(buf + 32, 1);
    put16(buf + 34, 8);
    memcpy(buf + 36, "data", 4);
    put32(buf + 40, samples);
    memset(buf + 44, 128, samples); // 8-bit silence
    return write_bytes(path, buf, sizeof buf);
}

bool write_test_midi(const std::string& path) {
    const unsigned char midi[] = {'M', 'T', 'h', 'd', 0,   0, 0, 6, 0, 0, 0,    1,    0,
                                  96,  'M', 'T', 'r', 'k', 0, 0, 0, 4, 0, 0xFF, 0x2F, 0};
    return write_bytes(path, midi, sizeof midi);
}

FSOUND_SAMPLE* test_sample(const std::string& path) {
    if (!write_test_wav(path)) return nullptr;
    return FSOUND_Sample_Load(FSOUND_FREE, path.c_str(), 0, 0, 0);
}

FMUSIC_MODULE* test_song(const std::string& path) {
    if (!write_test_midi(path)) return nullptr;
    return FMUSIC_LoadSong(path.c_str());
}
