// The sound layer over SDL_mixer: samples are mixer chunks (MP3 decoded with
// libmpg123 into one), the song is mixer music (MIDI through the mixer's
// synthesizer). Every operation takes a null handle quietly, and nothing here
// ever waits for a sound.
#include "platform/sound.h"

#include "platform/midi_instruments.h"
#include "platform/system.h"

#include <SDL/SDL.h>
#include <SDL/SDL_mixer.h>
#include <mpg123.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

struct FSOUND_SAMPLE {
    Mix_Chunk* chunk;
};

struct FMUSIC_MODULE {
    Mix_Music* music;
    bool looping;
};

namespace {

bool mixerOpen = false;
bool mpg123Ready = false;
long playCount = 0;
long musicCount = 0;
const FSOUND_SAMPLE* lastPlayed = nullptr;

// Samples a buffer of 1024 frames: about 23 ms at 44.1 kHz, short enough that a
// countdown ding is heard with its step.
constexpr int MIXER_FRAMES = 1024;

// The game's file names were written with either separator: "sounds\x.wav"
// and "sounds/x.wav" name the same file.
void normalise_path(const char* name, char* out, size_t size) {
    size_t i = 0;
    for (; name[i] && i + 1 < size; ++i)
        out[i] = name[i] == '\\' ? '/' : name[i];
    out[i] = '\0';
}

bool ends_with_mp3(const char* name) {
    size_t n = strlen(name);
    if (n < 4) return false;
    const char* e = name + n - 4;
    return e[0] == '.' && (e[1] == 'm' || e[1] == 'M') && (e[2] == 'p' || e[2] == 'P') &&
           e[3] == '3';
}

Uint32 big_endian32(const unsigned char* b) {
    return Uint32(b[0]) << 24 | Uint32(b[1]) << 16 | Uint32(b[2]) << 8 | Uint32(b[3]);
}

// Reads a MIDI variable-length number that must end before end; false when
// it runs past it or takes more than four bytes.
bool midi_number(const unsigned char*& p, const unsigned char* end, Uint32* value) {
    Uint32 v = 0;
    for (int i = 0; i < 4; ++i) {
        if (p >= end) return false;
        unsigned char b = *p++;
        v = v << 7 | (b & 0x7Fu);
        if (!(b & 0x80)) {
            *value = v;
            return true;
        }
    }
    return false;
}

// One track's events: every number, every event and every data length ends
// inside the track, and the track ends with its end-of-track event.
bool midi_track_whole(const unsigned char* p, const unsigned char* end) {
    unsigned char status = 0;
    while (p < end) {
        Uint32 delta = 0;
        if (!midi_number(p, end, &delta) || p >= end) return false;
        unsigned char b = *p;
        if (b == 0xFF) {
            if (end - p < 2) return false;
            unsigned char type = p[1];
            p += 2;
            Uint32 length = 0;
            if (!midi_number(p, end, &length) || length > Uint32(end - p)) return false;
            if (type == 0x51 && length != 3) return false; // a tempo is three bytes
            p += length;
            if (type == 0x2F) return length == 0 && p == end;
            status = 0;
        } else if (b == 0xF0 || b == 0xF7) {
            ++p;
            Uint32 length = 0;
            if (!midi_number(p, end, &length) || length > Uint32(end - p)) return false;
            p += length;
            status = 0;
        } else {
            if (b & 0x80) {
                if (b >= 0xF0) return false; // system messages have no place in a file
                status = b;
                ++p;
            } else if (!status) {
                return false; // running status with nothing to run on
            }
            int bytes = (status & 0xF0) == 0xC0 || (status & 0xF0) == 0xD0 ? 1 : 2;
            if (end - p < bytes) return false;
            for (int i = 0; i < bytes; ++i)
                if (p[i] & 0x80) return false;
            p += bytes;
        }
    }
    return false; // no end-of-track event
}

// SDL_mixer's MIDI readers trust the file: a song cut short after its header
// plays silence, a track that ends inside a number hangs the reader, and an
// event claiming more bytes than the file holds makes it allocate them or
// exit. The song must be a standard MIDI file whose header and every track
// are whole; anything else is refused before the mixer sees it.
bool midi_looks_whole(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    // A jingle is a few kilobytes; nothing near this is a song for the race.
    const long MAX_SONG = 4L * 1024 * 1024;
    fseek(f, 0, SEEK_END);
    long size = ftell(f);
    if (size < 14 || size > MAX_SONG || fseek(f, 0, SEEK_SET) != 0) {
        fclose(f);
        return false;
    }
    unsigned char* data = static_cast<unsigned char*>(malloc(size_t(size)));
    bool whole = data && fread(data, 1, size_t(size), f) == size_t(size);
    fclose(f);
    const unsigned char* end = data + (whole ? size : 0);
    if (whole) {
        int format = data[8] << 8 | data[9];
        int tracks = data[10] << 8 | data[11];
        int division = data[12] << 8 | data[13];
        whole = memcmp(data, "MThd", 4) == 0 && big_endian32(data + 4) == 6 && format <= 2 &&
                tracks >= 1 && (format != 0 || tracks == 1) && division != 0;
        const unsigned char* p = data + 14;
        for (int t = 0; whole && t < tracks; ++t) {
            if (end - p < 8 || memcmp(p, "MTrk", 4) != 0) {
                whole = false;
                break;
            }
            Uint32 length = big_endian32(p + 4);
            p += 8;
            if (length > Uint32(end - p) || !midi_track_whole(p, p + length)) whole = false;
            p += whole ? length : 0;
        }
    }
    free(data);
    return whole;
}

Uint32 little_endian32(const unsigned char* b) {
    return Uint32(b[0]) | Uint32(b[1]) << 8 | Uint32(b[2]) << 16 | Uint32(b[3]) << 24;
}

Uint16 little_endian16(const unsigned char* b) {
    return Uint16(b[0] | b[1] << 8);
}

// The classic SDL 1.2 refuses a WAV whose sound data is cut short, while SDL 2
// under sdl12-compat loads what is there, or an empty sample from a header
// alone; and both trust the sizes a damaged file claims. Judged here so both
// refuse the same files: a plain PCM RIFF WAVE (8 or 16 bits, one or two
// channels) with a format chunk and a whole, non-empty data chunk.
bool wav_looks_whole(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    unsigned char head[12];
    if (fread(head, 1, sizeof head, f) != sizeof head || memcmp(head, "RIFF", 4) != 0 ||
        memcmp(head + 8, "WAVE", 4) != 0) {
        fclose(f);
        return false;
    }
    fseek(f, 0, SEEK_END);
    long size = ftell(f);
    long at = 12;
    bool format = false, whole = false;
    while (at + 8 <= size) {
        unsigned char chunk[24];
        if (fseek(f, at, SEEK_SET) != 0 || fread(chunk, 1, 8, f) != 8) break;
        long length = long(little_endian32(chunk + 4));
        if (memcmp(chunk, "fmt ", 4) == 0) {
            if (length < 16 || fread(chunk + 8, 1, 16, f) != 16) break;
            int tag = little_endian16(chunk + 8), channels = little_endian16(chunk + 10);
            Uint32 rate = little_endian32(chunk + 12);
            int align = little_endian16(chunk + 20), bits = little_endian16(chunk + 22);
            format = tag == 1 && (channels == 1 || channels == 2) && rate >= 1000 &&
                     rate <= 192000 && (bits == 8 || bits == 16) && align == channels * bits / 8;
        }
        if (memcmp(chunk, "data", 4) == 0) {
            whole = format && length > 0 && length <= size - at - 8;
            break;
        }
        at += 8 + length + (length & 1);
    }
    fclose(f);
    return whole;
}

// Wraps a malloc'd PCM buffer already in the mixer's format as a chunk that
// Mix_FreeChunk releases whole.
Mix_Chunk* chunk_from_buffer(Uint8* buf, Uint32 len) {
    Mix_Chunk* c = static_cast<Mix_Chunk*>(malloc(sizeof(Mix_Chunk)));
    if (!c) {
        free(buf);
        return nullptr;
    }
    c->allocated = 1;
    c->abuf = buf;
    c->alen = len;
    c->volume = MIX_MAX_VOLUME;
    return c;
}

// Decodes a whole MP3 file to signed 16-bit PCM; returns a malloc'd buffer
// (null on any failure, or when the file holds no audio).
Uint8* decode_mp3(const char* path, long* rate, int* channels, size_t* bytes) {
    if (!mpg123Ready) {
        if (mpg123_init() != MPG123_OK) return nullptr;
        mpg123Ready = true;
    }
    int err = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) return nullptr;
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    // One output encoding for every rate and channel count the stream may use.
    mpg123_format_none(mh);
    const long* rates = nullptr;
    size_t nrates = 0;
    mpg123_rates(&rates, &nrates);
    for (size_t i = 0; i < nrates; ++i)
        mpg123_format(mh, rates[i], MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    if (mpg123_open(mh, path) != MPG123_OK) {
        mpg123_delete(mh);
        return nullptr;
    }
    int encoding = 0;
    if (mpg123_getformat(mh, rate, channels, &encoding) != MPG123_OK ||
        encoding != MPG123_ENC_SIGNED_16 || *channels < 1 || *channels > 2) {
        mpg123_close(mh);
        mpg123_delete(mh);
        return nullptr;
    }
    size_t cap = 1 << 16, used = 0;
    Uint8* pcm = static_cast<Uint8*>(malloc(cap));
    bool ok = pcm != nullptr;
    while (ok) {
        if (cap - used < 16384) {
            Uint8* bigger = static_cast<Uint8*>(realloc(pcm, cap * 2));
            if (!bigger) {
                ok = false;
                break;
            }
            pcm = bigger;
            cap *= 2;
        }
        size_t got = 0;
        int r = mpg123_read(mh, pcm + used, cap - used, &got);
        used += got;
        if (r == MPG123_DONE) break;
        if (r == MPG123_NEW_FORMAT) {
            // A stream that changes format midway is not a sample we can hold.
            long r2 = 0;
            int c2 = 0, e2 = 0;
            mpg123_getformat(mh, &r2, &c2, &e2);
            if (r2 != *rate || c2 != *channels || e2 != encoding) ok = false;
            continue;
        }
        if (r != MPG123_OK) ok = false;
    }
    mpg123_close(mh);
    mpg123_delete(mh);
    size_t frame = size_t(*channels) * 2;
    used -= used % frame;
    if (!ok || used == 0) {
        free(pcm);
        return nullptr;
    }
    *bytes = used;
    return pcm;
}

// An MP3 as a mixer chunk, converted to the mixer's rate and format.
Mix_Chunk* load_mp3(const char* path) {
    int mixRate = 0, mixChannels = 0;
    Uint16 mixFormat = 0;
    if (!Mix_QuerySpec(&mixRate, &mixFormat, &mixChannels)) return nullptr;
    long rate = 0;
    int channels = 0;
    size_t bytes = 0;
    Uint8* pcm = decode_mp3(path, &rate, &channels, &bytes);
    if (!pcm) return nullptr;
    SDL_AudioCVT cvt;
    int built = SDL_BuildAudioCVT(&cvt, AUDIO_S16SYS, Uint8(channels), int(rate), mixFormat,
                                  Uint8(mixChannels), mixRate);
    if (built < 0 || bytes > 0x7FFFFFFFu / 8) {
        free(pcm);
        return nullptr;
    }
    if (built == 0) return chunk_from_buffer(pcm, Uint32(bytes));
    Uint8* buf = static_cast<Uint8*>(malloc(bytes * size_t(cvt.len_mult)));
    if (!buf) {
        free(pcm);
        return nullptr;
    }
    memcpy(buf, pcm, bytes);
    free(pcm);
    cvt.buf = buf;
    cvt.len = int(bytes);
    if (SDL_ConvertAudio(&cvt) != 0 || cvt.len_cvt <= 0) {
        free(buf);
        return nullptr;
    }
    return chunk_from_buffer(buf, Uint32(cvt.len_cvt));
}

} // namespace

bool FSOUND_Init(int mixrate, int maxsoftwarechannels, unsigned int) {
    if (mixerOpen) return true;
    choose_midi_instruments();
    if (Mix_OpenAudio(mixrate, AUDIO_S16SYS, 2, MIXER_FRAMES) != 0) return false;
    Mix_AllocateChannels(maxsoftwarechannels > 0 ? maxsoftwarechannels : 32);
    mixerOpen = true;
    return true;
}

FSOUND_SAMPLE* FSOUND_Sample_Load(int, const char* name, unsigned int, int, int) {
    if (!mixerOpen || !name) return nullptr;
    char path[4096];
    normalise_path(name, path, sizeof path);
    Mix_Chunk* chunk = nullptr;
    if (ends_with_mp3(path))
        chunk = load_mp3(path);
    else if (wav_looks_whole(path))
        chunk = Mix_LoadWAV(path);
    if (!chunk) return nullptr;
    FSOUND_SAMPLE* s = static_cast<FSOUND_SAMPLE*>(malloc(sizeof(FSOUND_SAMPLE)));
    if (!s) {
        Mix_FreeChunk(chunk);
        return nullptr;
    }
    s->chunk = chunk;
    sample_counted(+1);
    return s;
}

int FSOUND_PlaySound(int, FSOUND_SAMPLE* sample) {
    if (!sample) return -1;
    // Counted as started even when every channel is busy: the caller asked for it.
    ++playCount;
    lastPlayed = sample;
    if (!mixerOpen) return -1;
    return Mix_PlayChannel(-1, sample->chunk, 0);
}

void FSOUND_Sample_Free(FSOUND_SAMPLE* sample) {
    if (!sample) return;
    // Mix_FreeChunk halts every channel still playing the chunk first.
    Mix_FreeChunk(sample->chunk);
    if (lastPlayed == sample) lastPlayed = nullptr;
    free(sample);
    sample_counted(-1);
}

FMUSIC_MODULE* FMUSIC_LoadSong(const char* name) {
    if (!mixerOpen || !name) return nullptr;
    char path[4096];
    normalise_path(name, path, sizeof path);
    if (!midi_looks_whole(path)) return nullptr;
    Mix_Music* music = Mix_LoadMUS(path);
    if (!music) return nullptr;
    FMUSIC_MODULE* m = static_cast<FMUSIC_MODULE*>(malloc(sizeof(FMUSIC_MODULE)));
    if (!m) {
        Mix_FreeMusic(music);
        return nullptr;
    }
    m->music = music;
    m->looping = false; // a victory tune: once, unless a caller asks for more
    return m;
}

bool FMUSIC_SetLooping(FMUSIC_MODULE* mod, bool looping) {
    if (!mod) return false;
    mod->looping = looping;
    return true;
}

bool FMUSIC_PlaySong(FMUSIC_MODULE* mod) {
    if (!mod) return false;
    ++musicCount;
    if (!mixerOpen) return false;
    return Mix_PlayMusic(mod->music, mod->looping ? -1 : 1) == 0;
}

bool FMUSIC_FreeSong(FMUSIC_MODULE* mod) {
    if (!mod) return false;
    // Mix_FreeMusic stops the song first when it is the one playing.
    Mix_FreeMusic(mod->music);
    free(mod);
    return true;
}

void FSOUND_Close() {
    if (!mixerOpen) return;
    Mix_HaltChannel(-1);
    Mix_HaltMusic();
    Mix_CloseAudio();
    mixerOpen = false;
}

long sound_play_count() {
    return playCount;
}
const FSOUND_SAMPLE* sound_last_played() {
    return lastPlayed;
}
long music_play_count() {
    return musicCount;
}

long sound_sample_length_ms(const FSOUND_SAMPLE* sample) {
    int rate = 0, channels = 0;
    Uint16 format = 0;
    if (!sample || !Mix_QuerySpec(&rate, &format, &channels) || rate <= 0 || channels <= 0)
        return 0;
    long frameBytes = long(channels) * ((format & 0xFF) / 8);
    if (frameBytes <= 0) return 0;
    return long(sample->chunk->alen) / frameBytes * 1000 / rate;
}
