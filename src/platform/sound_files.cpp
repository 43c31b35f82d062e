// What SDL_mixer 1.2 does with a file, read from its loaders: a WAV goes to
// the SDL under it (the classic SDL 1.2's own loader, or SDL 2's through
// sdl12-compat), a song named .mid to the built-in timidity's MIDI reader.
// Each check follows its reader step by step and refuses only where that
// reader would fail, or would hang, crash or run out of memory instead.
#include "platform/sound_files.h"

#include <SDL/SDL.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

uint32_t le32(const unsigned char* b) {
    return uint32_t(b[0]) | uint32_t(b[1]) << 8 | uint32_t(b[2]) << 16 | uint32_t(b[3]) << 24;
}
unsigned le16(const unsigned char* b) {
    return unsigned(b[0]) | unsigned(b[1]) << 8;
}
uint32_t be32(const unsigned char* b) {
    return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | uint32_t(b[3]);
}
int be16_signed(const unsigned char* b) {
    return int16_t(uint16_t(b[0] << 8 | b[1]));
}

// ---- WAV ----

const unsigned PCM = 0x0001, MS_ADPCM = 0x0002, ALAW = 0x0006, MULAW = 0x0007, IMA_ADPCM = 0x0011,
               EXTENSIBLE = 0xFFFE;

// Rates outside these make the mixer's conversion run away: below, the
// classic SDL's chain of doubling filters overflows its table (1 to 100 Hz
// crashed) and SDL 2 resamples for minutes (10 Hz) or runs out of memory;
// far above, the classic SDL crashes too. Every real recording lies inside.
const uint32_t MIN_RATE = 1000, MAX_RATE = 384000;

// The most of a format chunk SDL 2 reads: the MS ADPCM header with 256
// coefficient pairs.
const long FMT_BYTES = 1046;

struct WavFile {
    FILE* f;
    long size;
    long fmtLength;               // the format chunk's claimed length
    unsigned char fmt[FMT_BYTES]; // as much of it as the loader reads
    long fmtHave;                 // bytes of it in fmt
    long dataAt, dataLength;      // the sound data: where and how long
};

bool read_at(WavFile& w, long at, void* into, long n) {
    return at >= 0 && n >= 0 && at <= w.size - n && fseek(w.f, at, SEEK_SET) == 0 &&
           fread(into, 1, size_t(n), w.f) == size_t(n);
}

bool chunk_is(const unsigned char* header, const char* id) {
    return memcmp(header, id, 4) == 0;
}

bool read_fmt(WavFile& w, long at, long length) {
    w.fmtLength = length;
    w.fmtHave = length < FMT_BYTES ? length : FMT_BYTES;
    return read_at(w, at, w.fmt, w.fmtHave);
}

// The classic SDL reads the chunks one after the other, each whole into
// memory, with no pad byte after an odd-sized one: "fact" and "LIST" chunks,
// then the format chunk, then anything up to the data. An empty chunk on the
// way fails its read.
bool classic_finds_chunks(WavFile& w) {
    unsigned char h[8];
    long at = 12;
    bool format = false;
    while (read_at(w, at, h, 8)) {
        long length = long(le32(h + 4));
        if (length == 0 || length > w.size - at - 8) return false;
        if (!format) {
            if (chunk_is(h, "fmt ")) {
                if (!read_fmt(w, at + 8, length)) return false;
                format = true;
            } else if (!chunk_is(h, "fact") && !chunk_is(h, "LIST")) {
                return false; // "Complex WAVE files not supported"
            }
        } else if (chunk_is(h, "data")) {
            w.dataAt = at + 8;
            w.dataLength = length;
            return true;
        }
        at += 8 + length;
    }
    return false;
}

// SDL 2 steps from chunk to chunk, pad bytes included, within the length the
// RIFF header gives (none when it is 0), for at most 10000 chunks; it takes
// the first format chunk and the first data chunk after it.
bool compat_finds_chunks(WavFile& w, uint32_t riffLength) {
    const long long riffEnd = 8 + (riffLength ? riffLength : 0xFFFFFFFFLL);
    unsigned char h[8];
    long long at = 12;
    bool format = false;
    for (int count = 0; riffEnd > at; ++count) {
        if (count >= 10000 || at > w.size - 8 || !read_at(w, long(at), h, 8)) return false;
        long length = long(le32(h + 4));
        if (chunk_is(h, "fmt ") && !format) {
            if (length > w.size - at - 8 || !read_fmt(w, long(at) + 8, length)) return false;
            format = true;
        } else if (chunk_is(h, "data")) {
            if (!format) return false; // "fmt chunk after data chunk"
            w.dataAt = long(at) + 8;
            w.dataLength = length;
            return true;
        }
        at += 8LL + length + (length & 1);
    }
    return false;
}

struct WavFormat {
    unsigned tag, encoding, channels, align, bits, extSize;
    uint32_t rate;
};

WavFormat format_of(const WavFile& w) {
    const unsigned char* f = w.fmt;
    WavFormat m;
    m.tag = m.encoding = le16(f);
    m.channels = le16(f + 2);
    m.rate = le32(f + 4);
    m.align = le16(f + 12);
    m.bits = le16(f + 14);
    m.extSize = w.fmtHave >= 18 ? le16(f + 16) : 0;
    return m;
}

// Every whole ADPCM block of an MS ADPCM file names its predictors first;
// one past the coefficient table fails the decoder (SDL 2 reads past its
// table for the first one out).
bool ms_predictors_in_range(WavFile& w, unsigned channels, unsigned align, unsigned count) {
    for (long at = w.dataAt; at + long(align) <= w.dataAt + w.dataLength; at += align) {
        unsigned char p[2];
        if (!read_at(w, at, p, long(channels))) return false;
        for (unsigned c = 0; c < channels; ++c)
            if (p[c] >= count) return false;
    }
    return true;
}

// The classic SDL 1.2: PCM of 8 or 16 bits, and the two ADPCM kinds laid out
// as their encoders lay them (its decoders run on from block to block by
// what they decoded, so a block that holds other than the standard count of
// samples garbles or fails the rest).
bool classic_plays(WavFile& w) {
    if (!classic_finds_chunks(w) || w.fmtLength < 16) return false;
    const WavFormat m = format_of(w);
    if (m.rate < MIN_RATE || m.rate > MAX_RATE) return false;
    if (m.tag == PCM) {
        // The conversion to the mixer's stereo folds 4, 6 and 8 channels in
        // pairs; 3, 5 or 7 it cannot fold.
        bool foldable = m.channels == 1 || m.channels == 2 || m.channels == 4 || m.channels == 6 ||
                        m.channels == 8;
        return (m.bits == 8 || m.bits == 16) && foldable &&
               w.dataLength >= long(m.channels * m.bits / 8);
    }
    if (m.channels < 1 || m.channels > 2 || m.bits != 4 || w.dataLength < long(m.align))
        return false;
    const unsigned ch = m.channels, align = m.align;
    if (m.tag == IMA_ADPCM) {
        if (w.fmtLength < 20 || align < 4 * ch || align % (4 * ch) != 0) return false;
        return le16(w.fmt + 18) == (align / ch - 4) * 2 + 1;
    }
    if (m.tag == MS_ADPCM) {
        if (w.fmtLength < 50 || le16(w.fmt + 20) != 7 || align < 7 * ch) return false;
        unsigned spb = le16(w.fmt + 18);
        if (spb < 2 || (spb - 2) * ch % 2 != 0 || 7 * ch + (spb - 2) * ch / 2 != align)
            return false;
        return ms_predictors_in_range(w, ch, align, 7);
    }
    return false; // "Unknown WAVE data format"
}

// SDL 2 under sdl12-compat: PCM of 8 or 16 bits (sdl12-compat refuses SDL 2's
// 24- and 32-bit and float samples), µ-law, A-law, both ADPCM kinds, each
// also behind the extensible header but MS ADPCM; up to 8 channels, which the
// conversion to stereo folds.
bool compat_plays(WavFile& w, uint32_t riffLength) {
    static const unsigned char GUID_TAIL[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                                0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    if (!compat_finds_chunks(w, riffLength) || w.dataLength <= 0 ||
        w.dataLength > w.size - w.dataAt || w.fmtHave < 16)
        return false;
    WavFormat m = format_of(w);
    unsigned spb = 0; // ADPCM samples per block; 0 when the header gives none
    if (m.tag == EXTENSIBLE) {
        if (w.fmtHave < 40 || m.extSize < 22 || memcmp(w.fmt + 26, GUID_TAIL, 14) != 0)
            return false;
        m.encoding = le16(w.fmt + 24);
        spb = le16(w.fmt + 18);
    } else if (w.fmtHave >= 20 && m.extSize >= 2) {
        spb = le16(w.fmt + 18);
    }
    if (m.channels < 1 || m.channels > 8 || m.rate < MIN_RATE || m.rate > MAX_RATE || m.bits == 0 ||
        m.align == 0)
        return false;
    const unsigned ch = m.channels, align = m.align;
    switch (m.encoding) {
    case PCM:
        return (m.bits == 8 || m.bits == 16) && (ch * m.bits) % (align * 8) == 0 &&
               w.dataLength >= long(align);
    case ALAW:
    case MULAW:
        return m.bits == 8 && align == ch && w.dataLength >= long(align);
    case IMA_ADPCM: {
        if (m.bits != 4 || align < 4 * ch || align % 4 != 0) return false;
        unsigned samples = (align - 4 * ch) * 8 / (4 * ch);
        if (spb == 0) spb = samples + 1;
        return samples >= spb - 1 && w.dataLength >= long(align);
    }
    case MS_ADPCM: {
        if (m.tag == EXTENSIBLE || ch > 2 || m.bits != 4 || align < 7 * ch || w.fmtHave < 22)
            return false;
        unsigned count = le16(w.fmt + 20);
        if (count > 256) count = 256;
        if (count < 7 || w.fmtHave < long(22 + 4 * count) || m.extSize < 4 + 4 * count)
            return false;
        static const int PRESETS[14] = {256, 0,   512, -256, 0,    0,   192,
                                        64,  240, 0,   460,  -208, 392, -232};
        for (int i = 0; i < 14; ++i)
            if (int16_t(le16(w.fmt + 22 + 2 * i)) != PRESETS[i]) return false;
        spb = le16(w.fmt + 18);
        unsigned samples = (align - 7 * ch) * 8 / (4 * ch);
        if (spb == 0) spb = samples + 2;
        return spb != 1 && samples >= spb - 2 && w.dataLength >= long(align) &&
               ms_predictors_in_range(w, ch, align, count);
    }
    default:
        return false;
    }
}

// ---- MIDI ----

// A jingle is a few kilobytes; nothing near this is a song for the race.
const long MAX_SONG = 4L * 1024 * 1024;
// The reader's allocator ends the program (status 10) past 2 MB at once: a
// SysEx longer than that, a text event as long (it adds its end), or more
// events than fit 2 MB of 8-byte records with the reader's own two.
const uint32_t MAX_BLOCK = 1u << 21;
const long MAX_EVENTS = long(MAX_BLOCK / 8) - 2;

// A variable-length number of at most four bytes that ends before the file
// does; the reader would run on past the end, or wrap, on anything else.
bool midi_number(const unsigned char*& p, const unsigned char* end, uint32_t* value) {
    uint32_t v = 0;
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

struct MidiReading {
    const unsigned char* end; // the end of the file
    int status;               // the running status's kind (the status byte's bits 4-6), or -1
    long events;
    bool runsOnEarlierSong; // a data byte came before any status byte
};

// One track as the reader reads it: event after event from its start until its
// end-of-track event, whatever length its header gave, with the running status
// carried over meta and SysEx events and from the track before. Gives where
// the reader stands after the end-of-track event's length, or null.
const unsigned char* read_track(MidiReading& r, const unsigned char* p) {
    const unsigned char* end = r.end;
    for (;;) {
        uint32_t delta = 0, length = 0;
        if (!midi_number(p, end, &delta) || p >= end) return nullptr;
        unsigned char b = *p++;
        if (b == 0xF0 || b == 0xF7) {
            if (!midi_number(p, end, &length) || length > MAX_BLOCK || length > uint32_t(end - p))
                return nullptr;
            p += length;
            ++r.events;
        } else if (b == 0xFF) {
            if (p >= end) return nullptr;
            unsigned char type = *p++;
            if (!midi_number(p, end, &length)) return nullptr;
            if (type == 0x2F) return p;
            if (length > uint32_t(end - p)) return nullptr;
            if (type >= 0x01 && type <= 0x0F && length >= MAX_BLOCK) return nullptr;
            // The reader takes three bytes for a tempo whatever the length says.
            if (type == 0x51) {
                if (length != 3) return nullptr;
                ++r.events;
            }
            p += length;
        } else {
            if (b & 0x80) {
                r.status = b >> 4 & 7;
                if (p >= end) return nullptr;
                ++p; // the first data byte
            } else if (r.status < 0) {
                r.runsOnEarlierSong = true;
                return nullptr;
            }
            // Note off and on, key pressure, controllers and the pitch wheel
            // take a second data byte; the reader masks data bytes, it never
            // reads one as a status.
            bool two = r.status <= 3 || r.status == 6;
            if (two) {
                if (p >= end) return nullptr;
                ++p;
            }
            if (r.status != 5 && r.status != 7) ++r.events;
        }
        if (r.events > MAX_EVENTS) return nullptr;
    }
}

// The song read with the reader's running status starting as status (-1:
// none); false where the reader would fail on it or end the program.
bool midi_reads_whole(const unsigned char* data, long size, int status, bool* runsOnEarlierSong) {
    if (size < 14 || memcmp(data, "MThd", 4) != 0) return false; // a RIFF "RMID" crashes it
    const long headerLength = long(int32_t(be32(data + 4)));
    if (headerLength < 6 || headerLength > size - 8) return false;
    const int format = be16_signed(data + 8), tracks = be16_signed(data + 10);
    const int division = be16_signed(data + 12);
    // SMPTE timing: frames a second times ticks a frame, as the reader works it out.
    const long ticks = division < 0 ? -(division / 256) * (division & 0xFF) : division;
    if (format < 0 || format > 2 || ticks <= 0) return false;
    const int count = format == 0 ? 1 : tracks; // format 0: one track, whatever the header says
    if (count <= 0) return false;
    MidiReading r = {data + size, status, 0, false};
    long at = 8 + headerLength;
    for (int t = 0; t < count; ++t) {
        if (at > size - 8 || memcmp(data + at, "MTrk", 4) != 0) return false;
        const long start = at + 8;
        const int32_t length = int32_t(be32(data + at + 4));
        const unsigned char* after = read_track(r, data + start);
        if (!after) {
            *runsOnEarlierSong = r.runsOnEarlierSong;
            return false;
        }
        at = long(after - data);
        // Short of the length the header gives, the reader skips to it; a
        // length that does not fit its 32-bit position is never skipped to.
        const long long declared = (long long)start + length;
        if (declared > at && declared <= 0x7FFFFFFF) at = long(declared);
    }
    return true;
}

bool midi_bytes_playable(const unsigned char* data, long size) {
    bool runsOnEarlierSong = false;
    if (midi_reads_whole(data, size, -1, &runsOnEarlierSong)) return true;
    if (!runsOnEarlierSong) return false;
    // A data byte before any status byte runs on the status the last song
    // the reader read left behind (a note off for the first): the mixer plays
    // the song where it reads whole on every status that may be.
    for (int status = 0; status < 8; ++status)
        if (!midi_reads_whole(data, size, status, &runsOnEarlierSong)) return false;
    return true;
}

} // namespace

bool sound_on_sdl12_compat() {
    const SDL_version* v = SDL_Linked_Version();
    return v && v->major == 1 && v->minor == 2 && v->patch >= 50;
}

bool wav_playable(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    WavFile w;
    w.f = f;
    w.fmtLength = w.fmtHave = w.dataAt = w.dataLength = 0;
    unsigned char head[12];
    bool ok = fseek(f, 0, SEEK_END) == 0 && (w.size = ftell(f)) >= 12 && read_at(w, 0, head, 12) &&
              chunk_is(head, "RIFF") && chunk_is(head + 8, "WAVE");
    if (ok) {
        uint32_t riffLength = le32(head + 4);
        // The classic loader takes a RIFF length that reads "WAVE" for a
        // header without one, and reads the rest askew.
        ok = sound_on_sdl12_compat() ? compat_plays(w, riffLength)
                                     : riffLength != le32(head + 8) && classic_plays(w);
    }
    fclose(f);
    return ok;
}

bool midi_playable(const char* path) {
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    long size = fseek(f, 0, SEEK_END) == 0 ? ftell(f) : -1;
    bool ok = size >= 14 && size <= MAX_SONG && fseek(f, 0, SEEK_SET) == 0;
    unsigned char* data = ok ? static_cast<unsigned char*>(malloc(size_t(size))) : nullptr;
    ok = data && fread(data, 1, size_t(size), f) == size_t(size) && midi_bytes_playable(data, size);
    fclose(f);
    free(data);
    return ok;
}
