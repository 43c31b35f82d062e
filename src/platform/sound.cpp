// The sound layer over SDL_mixer: samples are mixer chunks (MP3 decoded with
// libmpg123 into one), the song is mixer music (MIDI through the mixer's
// synthesizer). Every operation takes a null handle quietly, and nothing here
// ever waits for a sound.
#include "platform/sound.h"

#include "platform/midi_instruments.h"
#include "platform/sound_files.h"
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
    else if (wav_playable(path))
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
    if (!midi_playable(path)) return nullptr;
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
