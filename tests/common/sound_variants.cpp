#include "common/sound_variants.h"

#include <SDL/SDL.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <initializer_list>
#include <vector>

namespace {

// ---- bytes ----

std::string le16(unsigned v) {
    return std::string{char(v & 0xFF), char(v >> 8 & 0xFF)};
}
std::string le32(uint32_t v) {
    return le16(v & 0xFFFF) + le16(v >> 16);
}
std::string be16(unsigned v) {
    return std::string{char(v >> 8 & 0xFF), char(v & 0xFF)};
}
std::string be32(uint32_t v) {
    return be16(v >> 16) + be16(v & 0xFFFF);
}

// ---- the sound every sample holds: a short two-note chime ----

// Short enough that every file fits the fuzzer's 4 KiB inputs.
const int RATE = 11025;
const int FRAMES = 1000;

// Frames of signed 16-bit sound, channels interleaved; the right channel a
// fifth above the left, with short fades so no click hides a decoding fault.
std::vector<int16_t> chime(int frames, int channels) {
    std::vector<int16_t> pcm;
    const double pi = 3.14159265358979;
    for (int i = 0; i < frames; ++i) {
        double fade = std::fmin(1.0, std::fmin(i, frames - 1 - i) / (frames / 5.0));
        for (int c = 0; c < channels; ++c) {
            double hz = c == 0 ? 440.0 : 660.0;
            pcm.push_back(int16_t(std::lround(12000.0 * fade * std::sin(2 * pi * hz * i / RATE))));
        }
    }
    return pcm;
}

// ---- WAV files ----

std::string chunk(const char* id, const std::string& body) {
    std::string c = std::string(id, 4) + le32(uint32_t(body.size())) + body;
    if (body.size() & 1) c += '\0'; // chunks keep an even length
    return c;
}

std::string riff_wave(const std::string& chunks) {
    return "RIFF" + le32(uint32_t(4 + chunks.size())) + "WAVE" + chunks;
}

// The sixteen bytes every format chunk starts with.
std::string fmt_common(unsigned tag, unsigned channels, uint32_t rate, uint32_t byteRate,
                       unsigned align, unsigned bits) {
    return le16(tag) + le16(channels) + le32(rate) + le32(byteRate) + le16(align) + le16(bits);
}

std::string pcm_fmt(unsigned channels, unsigned bits) {
    unsigned align = channels * bits / 8;
    return fmt_common(1, channels, RATE, RATE * align, align, bits);
}

std::string pcm16_data(const std::vector<int16_t>& pcm) {
    std::string d;
    for (int16_t v : pcm)
        d += le16(uint16_t(v));
    return d;
}

std::string pcm8_data(const std::vector<int16_t>& pcm) {
    std::string d;
    for (int16_t v : pcm)
        d += char((v >> 8) + 128);
    return d;
}

std::string pcm24_data(const std::vector<int16_t>& pcm) {
    std::string d;
    for (int16_t v : pcm) {
        uint32_t w = uint32_t(int32_t(v) * 256);
        d += char(w & 0xFF);
        d += char(w >> 8 & 0xFF);
        d += char(w >> 16 & 0xFF);
    }
    return d;
}

std::string pcm32_data(const std::vector<int16_t>& pcm) {
    std::string d;
    for (int16_t v : pcm)
        d += le32(uint32_t(int32_t(v) * 65536));
    return d;
}

std::string float_data(const std::vector<int16_t>& pcm) {
    std::string d;
    for (int16_t v : pcm) {
        float f = v / 32768.0f;
        uint32_t w;
        memcpy(&w, &f, 4);
        d += le32(w);
    }
    return d;
}

// G.711 companding, as telephone systems and sox write it.
int segment(int value, const int* ends) {
    for (int s = 0; s < 8; ++s)
        if (value <= ends[s]) return s;
    return 8;
}

char mulaw(int16_t sample) {
    static const int ENDS[8] = {0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF, 0x1FFF};
    int v = sample >> 2, mask = 0xFF;
    if (v < 0) {
        v = -v;
        mask = 0x7F;
    }
    v = std::min(v, 8159) + 0x21;
    int s = segment(v, ENDS);
    int u = s >= 8 ? 0x7F : (s << 4 | (v >> (s + 1) & 0xF));
    return char(u ^ mask);
}

char alaw(int16_t sample) {
    static const int ENDS[8] = {0x1F, 0x3F, 0x7F, 0xFF, 0x1FF, 0x3FF, 0x7FF, 0xFFF};
    int v = sample >> 3, mask = 0xD5;
    if (v < 0) {
        mask = 0x55;
        v = -v - 1;
    }
    int s = segment(v, ENDS);
    if (s >= 8) return char(0x7F ^ mask);
    int a = s << 4 | (s < 2 ? v >> 1 & 0xF : v >> s & 0xF);
    return char(a ^ mask);
}

std::string law_wave(bool isMulaw, unsigned tag) {
    std::vector<int16_t> pcm = chime(FRAMES, 1);
    std::string data;
    for (int16_t v : pcm)
        data += isMulaw ? mulaw(v) : alaw(v);
    return riff_wave(chunk("fmt ", fmt_common(tag, 1, RATE, RATE, 1, 8) + le16(0)) +
                     chunk("fact", le32(uint32_t(pcm.size()))) + chunk("data", data));
}

// IMA ADPCM: each block starts every channel with a whole sample and a step
// index, then packs eight samples per channel into each four bytes.
const int IMA_STEPS[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,   21,    23,
    25,    28,    31,    34,    37,    41,    45,    50,    55,    60,    66,   73,    80,
    88,    97,    107,   118,   130,   143,   157,   173,   190,   209,   230,  253,   279,
    307,   337,   371,   408,   449,   494,   544,   598,   658,   724,   796,  876,   963,
    1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,  2272,  2499,  2749, 3024,  3327,
    3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,  9493, 10442, 11487,
    12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};
const int IMA_INDEX[16] = {-1, -1, -1, -1, 2, 4, 6, 8, -1, -1, -1, -1, 2, 4, 6, 8};

struct ImaState {
    int sample;
    int index;
};

int ima_nibble(ImaState& s, int target) {
    int step = IMA_STEPS[s.index], diff = target - s.sample, nibble = 0;
    if (diff < 0) {
        nibble = 8;
        diff = -diff;
    }
    if (diff >= step) {
        nibble |= 4;
        diff -= step;
    }
    if (diff >= step / 2) {
        nibble |= 2;
        diff -= step / 2;
    }
    if (diff >= step / 4) nibble |= 1;
    // Follow the decoder exactly, so the encoder never drifts from it.
    int delta = step >> 3;
    if (nibble & 4) delta += step;
    if (nibble & 2) delta += step >> 1;
    if (nibble & 1) delta += step >> 2;
    s.sample = std::max(-32768, std::min(32767, s.sample + (nibble & 8 ? -delta : delta)));
    s.index = std::max(0, std::min(88, s.index + IMA_INDEX[nibble]));
    return nibble;
}

// Whole blocks of ALIGN bytes; gives the samples per block.
std::string ima_encode(const std::vector<int16_t>& pcm, int channels, int align, int* perBlock) {
    const int spb = (align / channels - 4) * 2 + 1;
    *perBlock = spb;
    const int frames = int(pcm.size()) / channels;
    std::string out;
    ImaState st[2] = {{0, 0}, {0, 0}};
    for (int first = 0; first + spb <= frames; first += spb) {
        for (int c = 0; c < channels; ++c) {
            st[c].sample = pcm[size_t(first * channels + c)];
            out += le16(uint16_t(int16_t(st[c].sample))) + char(st[c].index) + '\0';
        }
        for (int group = 0; group < (spb - 1) / 8; ++group)
            for (int c = 0; c < channels; ++c)
                for (int b = 0; b < 4; ++b) {
                    int at = first + 1 + group * 8 + b * 2;
                    int lo = ima_nibble(st[c], pcm[size_t(at * channels + c)]);
                    int hi = ima_nibble(st[c], pcm[size_t((at + 1) * channels + c)]);
                    out += char(lo | hi << 4);
                }
    }
    return out;
}

std::string ima_fmt(int channels, int align, int spb) {
    uint32_t byteRate = uint32_t(RATE) * uint32_t(align) / uint32_t(spb);
    return fmt_common(0x11, unsigned(channels), RATE, byteRate, unsigned(align), 4) + le16(2) +
           le16(unsigned(spb));
}

std::string ima_wave(int channels, int align, int blocks) {
    int spb = (align / channels - 4) * 2 + 1;
    std::vector<int16_t> pcm = chime(spb * blocks, channels);
    std::string data = ima_encode(pcm, channels, align, &spb);
    return riff_wave(chunk("fmt ", ima_fmt(channels, align, spb)) +
                     chunk("fact", le32(uint32_t(spb * blocks))) + chunk("data", data));
}

// MS ADPCM: each block starts every channel with a predictor, a step and two
// whole samples; the rest are four-bit errors from the predicted value.
const int MS_COEF[7][2] = {{256, 0}, {512, -256}, {0, 0},     {192, 64},
                           {240, 0}, {460, -208}, {392, -232}};
const int MS_ADAPT[16] = {230, 230, 230, 230, 307, 409, 512, 614,
                          768, 614, 512, 409, 307, 230, 230, 230};

struct MsState {
    int sample1, sample2, delta;
};

int ms_nibble(MsState& s, int target, int predictor) {
    int predicted = (s.sample1 * MS_COEF[predictor][0] + s.sample2 * MS_COEF[predictor][1]) / 256;
    int diff = target - predicted;
    int error = diff >= 0 ? (diff + s.delta / 2) / s.delta : -((-diff + s.delta / 2) / s.delta);
    error = std::max(-8, std::min(7, error));
    int nibble = error & 0xF;
    int now = std::max(-32768, std::min(32767, predicted + error * s.delta));
    s.delta = std::max(16, s.delta * MS_ADAPT[nibble] / 256);
    s.sample2 = s.sample1;
    s.sample1 = now;
    return nibble;
}

std::string ms_encode(const std::vector<int16_t>& pcm, int channels, int align, int* perBlock) {
    const int spb = (align - 7 * channels) * 2 / channels + 2;
    *perBlock = spb;
    const int frames = int(pcm.size()) / channels;
    const int predictor = 1; // the straight-line prediction
    std::string out;
    for (int first = 0; first + spb <= frames; first += spb) {
        MsState st[2];
        for (int c = 0; c < channels; ++c) {
            st[c].sample2 = pcm[size_t(first * channels + c)];
            st[c].sample1 = pcm[size_t((first + 1) * channels + c)];
            st[c].delta = 64;
        }
        for (int c = 0; c < channels; ++c)
            out += char(predictor);
        for (int c = 0; c < channels; ++c)
            out += le16(unsigned(st[c].delta));
        for (int c = 0; c < channels; ++c)
            out += le16(uint16_t(int16_t(st[c].sample1)));
        for (int c = 0; c < channels; ++c)
            out += le16(uint16_t(int16_t(st[c].sample2)));
        // The nibbles run through the channels in turn, the high one first.
        std::vector<int> nibbles;
        for (int f = first + 2; f < first + spb; ++f)
            for (int c = 0; c < channels; ++c)
                nibbles.push_back(ms_nibble(st[c], pcm[size_t(f * channels + c)], predictor));
        for (size_t i = 0; i + 1 < nibbles.size(); i += 2)
            out += char(nibbles[i] << 4 | nibbles[i + 1]);
    }
    return out;
}

std::string ms_fmt(int channels, int align, int spb) {
    std::string coefs;
    for (const auto& c : MS_COEF)
        coefs += le16(uint16_t(int16_t(c[0]))) + le16(uint16_t(int16_t(c[1])));
    uint32_t byteRate = uint32_t(RATE) * uint32_t(align) / uint32_t(spb);
    return fmt_common(2, unsigned(channels), RATE, byteRate, unsigned(align), 4) + le16(32) +
           le16(unsigned(spb)) + le16(7) + coefs;
}

std::string ms_wave(int channels, int align, int blocks) {
    int spb = (align - 7 * channels) * 2 / channels + 2;
    std::vector<int16_t> pcm = chime(spb * blocks, channels);
    std::string data = ms_encode(pcm, channels, align, &spb);
    return riff_wave(chunk("fmt ", ms_fmt(channels, align, spb)) +
                     chunk("fact", le32(uint32_t(spb * blocks))) + chunk("data", data));
}

// WAVE_FORMAT_EXTENSIBLE: the usual sixteen bytes, then the valid bits, the
// speaker mask and the sub-format's GUID (its tag and a fixed suffix).
std::string extensible_fmt(unsigned subTag, unsigned channels, unsigned bits, unsigned validBits,
                           unsigned align, uint32_t mask) {
    static const unsigned char SUFFIX[14] = {0x00, 0x00, 0x00, 0x00, 0x10, 0x00, 0x80,
                                             0x00, 0x00, 0xAA, 0x00, 0x38, 0x9B, 0x71};
    return fmt_common(0xFFFE, channels, RATE, RATE * align, align, bits) + le16(22) +
           le16(validBits) + le32(mask) + le16(subTag) +
           std::string(reinterpret_cast<const char*>(SUFFIX), sizeof SUFFIX);
}

std::string pcm16_mono() {
    return riff_wave(chunk("fmt ", pcm_fmt(1, 16)) + chunk("data", pcm16_data(chime(FRAMES, 1))));
}

std::string pcm8_stereo() {
    return riff_wave(chunk("fmt ", pcm_fmt(2, 8)) + chunk("data", pcm8_data(chime(FRAMES, 2))));
}

std::string ima_adpcm_mono() {
    return ima_wave(1, 256, 2);
}
std::string ima_adpcm_stereo() {
    return ima_wave(2, 512, 2);
}
std::string ms_adpcm_mono() {
    return ms_wave(1, 256, 2);
}
std::string ms_adpcm_stereo() {
    return ms_wave(2, 512, 2);
}
std::string mulaw_mono() {
    return law_wave(true, 7);
}
std::string alaw_mono() {
    return law_wave(false, 6);
}

std::string extensible_pcm16_stereo() {
    return riff_wave(chunk("fmt ", extensible_fmt(1, 2, 16, 16, 4, 3)) +
                     chunk("data", pcm16_data(chime(FRAMES, 2))));
}

std::string extensible_pcm16_mono() {
    return riff_wave(chunk("fmt ", extensible_fmt(1, 1, 16, 16, 2, 4)) +
                     chunk("data", pcm16_data(chime(FRAMES, 1))));
}

std::string extensible_pcm24_stereo() {
    return riff_wave(chunk("fmt ", extensible_fmt(1, 2, 24, 24, 6, 3)) +
                     chunk("data", pcm24_data(chime(FRAMES, 2))));
}

std::string extensible_float_mono() {
    return riff_wave(chunk("fmt ", extensible_fmt(3, 1, 32, 32, 4, 4)) +
                     chunk("fact", le32(FRAMES)) + chunk("data", float_data(chime(FRAMES, 1))));
}

std::string extensible_mulaw_mono() {
    std::vector<int16_t> pcm = chime(FRAMES, 1);
    std::string data;
    for (int16_t v : pcm)
        data += mulaw(v);
    return riff_wave(chunk("fmt ", extensible_fmt(7, 1, 8, 8, 1, 4)) + chunk("fact", le32(FRAMES)) +
                     chunk("data", data));
}

std::string pcm24_mono() {
    return riff_wave(chunk("fmt ", pcm_fmt(1, 24)) + chunk("data", pcm24_data(chime(FRAMES, 1))));
}

std::string pcm32_mono() {
    return riff_wave(chunk("fmt ", pcm_fmt(1, 32)) + chunk("data", pcm32_data(chime(FRAMES, 1))));
}

std::string float32_mono() {
    return riff_wave(chunk("fmt ", fmt_common(3, 1, RATE, RATE * 4, 4, 32) + le16(0)) +
                     chunk("fact", le32(FRAMES)) + chunk("data", float_data(chime(FRAMES, 1))));
}

// Chunks other programs put around the sound: a list of text tags before the
// format (editors), a reserved chunk before it (recorders that may grow the
// header), an odd-length chunk with its pad byte, tags after the sound.
std::string list_before_fmt() {
    std::string info = "INFO" + chunk("INAM", std::string("Chime\0", 6));
    return riff_wave(chunk("LIST", info) + chunk("fmt ", pcm_fmt(1, 16)) +
                     chunk("data", pcm16_data(chime(FRAMES, 1))));
}

std::string junk_before_fmt() {
    return riff_wave(chunk("JUNK", std::string(28, '\0')) + chunk("fmt ", pcm_fmt(1, 16)) +
                     chunk("data", pcm16_data(chime(FRAMES, 1))));
}

std::string odd_chunk_before_data() {
    return riff_wave(chunk("fmt ", pcm_fmt(1, 16)) + chunk("note", "odd") +
                     chunk("data", pcm16_data(chime(FRAMES, 1))));
}

std::string tags_after_data() {
    std::string info = "INFO" + chunk("ISFT", std::string("Vrillon\0", 8));
    return riff_wave(chunk("fmt ", pcm_fmt(1, 16)) + chunk("data", pcm16_data(chime(FRAMES, 1))) +
                     chunk("LIST", info));
}

std::string pcm16_six_channels() {
    return riff_wave(chunk("fmt ", pcm_fmt(6, 16)) + chunk("data", pcm16_data(chime(300, 6))));
}

std::string extensible_ima_mono() {
    int spb = 0;
    std::string data = ima_encode(chime(1010, 1), 1, 256, &spb);
    std::string fmt = fmt_common(0xFFFE, 1, RATE, RATE * 256 / unsigned(spb), 256, 4);
    std::string ext = extensible_fmt(0x11, 1, 4, unsigned(spb), 256, 4).substr(16);
    return riff_wave(chunk("fmt ", fmt + ext) + chunk("fact", le32(uint32_t(spb * 2))) +
                     chunk("data", data));
}

// IMA ADPCM with the 16-byte format chunk of the oldest writers, which leaves
// the samples per block to be worked out from the block size.
std::string ima_adpcm_short_format() {
    std::string w = ima_adpcm_mono(), body = w.substr(20, 16);
    return riff_wave(chunk("fmt ", body) + w.substr(40));
}

// MS ADPCM whose seven coefficient pairs are not the standard ones.
std::string ms_adpcm_own_coefficients() {
    std::string w = ms_adpcm_mono();
    w[42] = char(200); // the first pair's first coefficient, 256 in the standard set
    w[43] = 0;
    return w;
}

// A RIFF length that ends before the data, as writers that never go back to
// fill it in leave it.
std::string riff_length_short() {
    std::string w = pcm16_mono();
    std::string length = le32(20);
    w.replace(4, 4, length);
    return w;
}

// Damaged samples.

std::string cut_in_half(std::string s) {
    s.resize(s.size() / 2);
    return s;
}

std::string pcm16_cut() {
    return cut_in_half(pcm16_mono());
}
std::string ima_adpcm_cut() {
    return cut_in_half(ima_adpcm_mono());
}
std::string ms_adpcm_cut() {
    return cut_in_half(ms_adpcm_stereo());
}
std::string mulaw_cut() {
    return cut_in_half(mulaw_mono());
}
std::string extensible_cut() {
    return cut_in_half(extensible_pcm16_stereo());
}

std::string header_only() {
    return pcm16_mono().substr(0, 44);
}

std::string huge_data_chunk() {
    return "RIFF" + le32(0xFFFFFFF0u) + "WAVE" + chunk("fmt ", pcm_fmt(1, 16)) + "data" +
           le32(0xFFFFFFF0u) + pcm16_data(chime(200, 1));
}

// An ADPCM header whose block size is 0: the classic decoder divides by it.
std::string ima_block_align_zero() {
    std::string w = ima_adpcm_mono();
    w[32] = w[33] = '\0';
    return w;
}

std::string ms_block_align_zero() {
    std::string w = ms_adpcm_mono();
    w[32] = w[33] = '\0';
    return w;
}

// Far more samples per block than the block holds: the classic decoder sizes
// its output from the claim.
std::string ima_samples_per_block_huge() {
    std::string w = ima_adpcm_mono();
    w[38] = w[39] = char(0xFF);
    return w;
}

std::string rate_ten_hertz() {
    return riff_wave(chunk("fmt ", fmt_common(1, 1, 10, 20, 2, 16)) +
                     chunk("data", pcm16_data(chime(FRAMES, 1))));
}

// A block whose predictor is past the seven coefficient pairs.
std::string ms_adpcm_bad_predictor() {
    std::string w = ms_adpcm_mono();
    w[w.size() - 256] = 9; // the second block's first byte
    return w;
}

std::string fmt_after_data() {
    return riff_wave(chunk("data", pcm16_data(chime(FRAMES, 1))) + chunk("fmt ", pcm_fmt(1, 16)));
}

// ---- MIDI files ----

std::string track(const std::string& events) {
    return "MTrk" + be32(uint32_t(events.size())) + events;
}

std::string header(unsigned format, unsigned tracks, unsigned division, unsigned length = 6) {
    return "MThd" + be32(length) + be16(format) + be16(tracks) + be16(division) +
           std::string(length - 6, '\0');
}

const char END_OF_TRACK[] = "\x00\xFF\x2F\x00";

std::string end_of_track() {
    return std::string(END_OF_TRACK, 4);
}

// A delta time in the variable-length form.
std::string delta(uint32_t v) {
    std::string s(1, char(v & 0x7F));
    while (v >>= 7)
        s.insert(s.begin(), char(0x80 | (v & 0x7F)));
    return s;
}

std::string bytes(std::initializer_list<int> list) {
    std::string s;
    for (int b : list)
        s += char(b);
    return s;
}

// Tempo and instrument, the way a sequencer starts a track: 0.25 s a beat, a
// square lead.
std::string song_set_up() {
    return bytes({0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90, 0x00, 0xC0, 80});
}

// Four notes a beat each (96 ticks); between them, whatever the variant puts
// there. Every note-on carries its status; the note-offs are note-ons of
// velocity 0 in running status.
std::string notes(const std::string& between) {
    const int pitches[4] = {72, 76, 79, 84};
    std::string s;
    for (int i = 0; i < 4; ++i) {
        s += bytes({0x00, 0x90, pitches[i], 100});
        s += delta(96) + bytes({pitches[i], 0});
        if (i < 3) s += between;
    }
    return s;
}

std::string song_plain() {
    return header(0, 1, 96) + track(song_set_up() + notes("") + end_of_track());
}

std::string song_two_tracks() {
    return header(1, 2, 96) +
           track(bytes({0x00, 0xFF, 0x51, 0x03, 0x03, 0xD0, 0x90}) + end_of_track()) +
           track(bytes({0x00, 0xC0, 80}) + notes("") + end_of_track());
}

// A header chunk longer than its six bytes: readers skip what they do not know.
std::string song_long_header() {
    return header(0, 1, 96, 10) + track(song_set_up() + notes("") + end_of_track());
}

// Running status kept across a meta event (a marker) and across a SysEx
// (GM System On), as many sequencers write it: the note-off after each is in
// running status.
std::string running_across(const std::string& event) {
    const int pitches[4] = {72, 76, 79, 84};
    std::string s = song_set_up();
    for (int p : pitches) {
        s += bytes({0x00, 0x90, p, 100});
        s += event;
        s += delta(96) + bytes({p, 0});
    }
    return header(0, 1, 96) + track(s + end_of_track());
}

std::string song_running_status_across_meta() {
    return running_across(bytes({0x00, 0xFF, 0x06, 0x04, 'b', 'e', 'a', 't'}));
}

std::string song_running_status_across_sysex() {
    return running_across(bytes({0x00, 0xF0, 0x05, 0x7E, 0x7F, 0x09, 0x01, 0xF7}));
}

// Bytes left over after the end of the track, inside its length.
std::string song_padding_after_end() {
    return header(0, 1, 96) +
           track(song_set_up() + notes("") + end_of_track() + std::string(16, '\0'));
}

// Timing in SMPTE frames: 25 frames a second of 40 ticks.
std::string song_smpte_division() {
    std::string s = bytes({0x00, 0xC0, 80});
    const int pitches[4] = {72, 76, 79, 84};
    for (int p : pitches)
        s += bytes({0x00, 0x90, p, 100}) + delta(250) + bytes({p, 0});
    return header(0, 1, 0xE728) + track(s + end_of_track());
}

// Format 1, the second track going on in the running status the first left.
std::string song_running_status_across_tracks() {
    std::string first = song_set_up() + bytes({0x00, 0x90, 72, 100}) + end_of_track();
    std::string second =
        bytes({0x00, 76, 100}) + delta(96) + bytes({72, 0, 0x00, 76, 0}) + end_of_track();
    return header(1, 2, 96) + track(first) + track(second);
}

// Damaged songs.

// A standard MIDI file wrapped in a RIFF "RMID" chunk.
std::string song_riff_wrapped() {
    std::string midi = song_plain();
    return "RIFF" + le32(uint32_t(12 + midi.size())) + "RMIDdata" + le32(uint32_t(midi.size())) +
           midi;
}

std::string song_cut() {
    return cut_in_half(song_plain());
}

// The track ends inside a delta-time number.
std::string song_ends_inside_number() {
    return header(0, 1, 480) + track(bytes({0x00, 0x90, 0x40, 0x40, 0x81}));
}

// A text event claiming 268 MB.
std::string song_huge_meta() {
    return header(0, 1, 480) +
           track(bytes({0x00, 0xFF, 0x02, 0xFF, 0xFF, 0xFF, 0x7F}) + end_of_track());
}

// A track header whose length falls short of its events: the reader reads
// on to the end-of-track event.
std::string song_track_length_short() {
    std::string events = song_set_up() + notes("");
    return header(0, 1, 96) + "MTrk" + be32(uint32_t(events.size() / 2)) + events + end_of_track();
}

std::string song_no_end_of_track() {
    return header(0, 1, 96) + track(song_set_up() + notes(""));
}

// SMPTE timing of zero ticks a frame.
std::string song_smpte_zero_ticks() {
    return header(0, 1, 0xE700) + track(song_set_up() + notes("") + end_of_track());
}

std::string song_header_beyond_file() {
    return header(0, 1, 96).substr(0, 4) + be32(0x7FFFFFF0u) + header(0, 1, 96).substr(8) +
           track(song_set_up() + notes("") + end_of_track());
}

// More events than the reader's allocator takes at once (2 MB of 8-byte
// records): it ends the program.
std::string song_too_many_events() {
    std::string s = song_set_up() + bytes({0x00, 0x90, 60, 100});
    for (int i = 0; i < 262142; ++i)
        s += bytes({0x00, 60, i & 1 ? 100 : 0});
    return header(0, 1, 96) + track(s + end_of_track());
}

// A SysEx one byte longer than the reader's allocator takes.
std::string song_huge_sysex() {
    const uint32_t n = (1u << 21) + 1;
    std::string sysex = bytes({0x00, 0xF0}) + delta(n) + std::string(n - 1, '\x7E') + "\xF7";
    return header(0, 1, 96) + track(song_set_up() + sysex + notes("") + end_of_track());
}

// Running status on the first event, with nothing to run on: the reader takes
// whatever the last song it read left behind. Six data bytes read as three
// one-byte events or two two-byte ones: the song reads alike on every status.
std::string song_running_status_first() {
    return header(0, 1, 96) + track(bytes({0x00, 72, 0x00, 0x00, 0x00, 0x00}) + song_set_up() +
                                    notes("") + end_of_track());
}

// The same with three data bytes: on a one-byte status (a program change) the
// second is read as a time and the song askew from there.
std::string song_running_status_first_askew() {
    return header(0, 1, 96) + track(bytes({0x00, 72, 100}) + notes("") + end_of_track());
}

} // namespace

// clang-format off
const SoundVariant SOUND_VARIANTS[] = {
    {"pcm16_mono.wav",                 PLAYS_BOTH,    "16-bit PCM, mono", pcm16_mono},
    {"pcm8_stereo.wav",                PLAYS_BOTH,    "8-bit PCM, stereo", pcm8_stereo},
    {"pcm16_six_channels.wav",         PLAYS_BOTH,    "16-bit PCM, 6 channels", pcm16_six_channels},
    {"ima_adpcm_mono.wav",             PLAYS_BOTH,    "IMA ADPCM, mono, 256-byte blocks", ima_adpcm_mono},
    {"ima_adpcm_stereo.wav",           PLAYS_BOTH,    "IMA ADPCM, stereo, 512-byte blocks", ima_adpcm_stereo},
    {"ms_adpcm_mono.wav",              PLAYS_BOTH,    "MS ADPCM, mono, 256-byte blocks", ms_adpcm_mono},
    {"ms_adpcm_stereo.wav",            PLAYS_BOTH,    "MS ADPCM, stereo, 512-byte blocks", ms_adpcm_stereo},
    {"list_before_fmt.wav",            PLAYS_BOTH,    "a LIST chunk of tags before the format", list_before_fmt},
    {"tags_after_data.wav",            PLAYS_BOTH,    "a LIST chunk of tags after the data", tags_after_data},
    {"mulaw_mono.wav",                 PLAYS_COMPAT,  "G.711 mu-law, mono", mulaw_mono},
    {"alaw_mono.wav",                  PLAYS_COMPAT,  "G.711 A-law, mono", alaw_mono},
    {"extensible_pcm16_stereo.wav",    PLAYS_COMPAT,  "16-bit PCM, stereo, extensible header", extensible_pcm16_stereo},
    {"extensible_pcm16_mono.wav",      PLAYS_COMPAT,  "16-bit PCM, mono, extensible header", extensible_pcm16_mono},
    {"extensible_mulaw_mono.wav",      PLAYS_COMPAT,  "mu-law, mono, extensible header", extensible_mulaw_mono},
    {"extensible_ima_mono.wav",        PLAYS_COMPAT,  "IMA ADPCM, mono, extensible header", extensible_ima_mono},
    {"ima_adpcm_short_format.wav",     PLAYS_COMPAT,  "IMA ADPCM with a 16-byte format chunk", ima_adpcm_short_format},
    {"junk_before_fmt.wav",            PLAYS_COMPAT,  "a JUNK chunk before the format", junk_before_fmt},
    {"odd_chunk_before_data.wav",      PLAYS_COMPAT,  "an odd-length chunk and its pad byte before the data", odd_chunk_before_data},
    {"ms_adpcm_own_coefficients.wav",  PLAYS_CLASSIC, "MS ADPCM with coefficients of its own", ms_adpcm_own_coefficients},
    {"riff_length_short.wav",          PLAYS_CLASSIC, "a RIFF length that ends before the data", riff_length_short},
    {"pcm24_mono.wav",                 PLAYS_NOWHERE, "24-bit PCM: neither runtime's mixer takes it", pcm24_mono},
    {"pcm32_mono.wav",                 PLAYS_NOWHERE, "32-bit PCM: neither runtime's mixer takes it", pcm32_mono},
    {"float32_mono.wav",               PLAYS_NOWHERE, "32-bit float: neither runtime's mixer takes it", float32_mono},
    {"extensible_pcm24_stereo.wav",    PLAYS_NOWHERE, "24-bit PCM, extensible header: taken by neither", extensible_pcm24_stereo},
    {"extensible_float_mono.wav",      PLAYS_NOWHERE, "32-bit float, extensible header: taken by neither", extensible_float_mono},
    {"pcm16_cut.wav",                  PLAYS_NOWHERE, "16-bit PCM cut in half", pcm16_cut},
    {"ima_adpcm_cut.wav",              PLAYS_NOWHERE, "IMA ADPCM cut in half", ima_adpcm_cut},
    {"ms_adpcm_cut.wav",               PLAYS_NOWHERE, "MS ADPCM cut in half", ms_adpcm_cut},
    {"mulaw_cut.wav",                  PLAYS_NOWHERE, "mu-law cut in half", mulaw_cut},
    {"extensible_cut.wav",             PLAYS_NOWHERE, "extensible PCM cut in half", extensible_cut},
    {"header_only.wav",                PLAYS_NOWHERE, "the 44-byte header alone", header_only},
    {"huge_data_chunk.wav",            PLAYS_NOWHERE, "a data chunk claiming 4 GB", huge_data_chunk},
    {"ima_block_align_zero.wav",       PLAYS_NOWHERE, "IMA ADPCM with a block size of 0 (crashes the classic SDL)", ima_block_align_zero},
    {"ms_block_align_zero.wav",        PLAYS_NOWHERE, "MS ADPCM with a block size of 0 (crashes the classic SDL)", ms_block_align_zero},
    {"ima_samples_per_block_huge.wav", PLAYS_NOWHERE, "IMA ADPCM claiming 65535 samples a 256-byte block", ima_samples_per_block_huge},
    {"ms_adpcm_bad_predictor.wav",     PLAYS_NOWHERE, "MS ADPCM with a block naming predictor 9 of 7", ms_adpcm_bad_predictor},
    {"rate_ten_hertz.wav",             PLAYS_NOWHERE, "16-bit PCM at 10 Hz (crashes the classic SDL, hangs SDL 2)", rate_ten_hertz},
    {"fmt_after_data.wav",             PLAYS_NOWHERE, "the format chunk after the data", fmt_after_data},
    {"song_plain.mid",                 PLAYS_BOTH,    "format 0, every status written", song_plain},
    {"song_two_tracks.mid",            PLAYS_BOTH,    "format 1, a tempo track and a note track", song_two_tracks},
    {"song_long_header.mid",           PLAYS_BOTH,    "a 10-byte header chunk", song_long_header},
    {"song_running_status_across_meta.mid",   PLAYS_BOTH, "running status kept across a marker", song_running_status_across_meta},
    {"song_running_status_across_sysex.mid",  PLAYS_BOTH, "running status kept across a SysEx", song_running_status_across_sysex},
    {"song_running_status_across_tracks.mid", PLAYS_BOTH, "the second track in the first's running status", song_running_status_across_tracks},
    {"song_padding_after_end.mid",     PLAYS_BOTH,    "16 bytes after the end of the track, inside it", song_padding_after_end},
    {"song_track_length_short.mid",    PLAYS_BOTH,    "a track length short of the track's events", song_track_length_short},
    {"song_smpte_division.mid",        PLAYS_BOTH,    "SMPTE timing, 25 frames of 40 ticks", song_smpte_division},
    {"song_riff_wrapped.mid",          PLAYS_NOWHERE, "a MIDI file inside a RIFF RMID chunk (crashes the reader)", song_riff_wrapped},
    {"song_cut.mid",                   PLAYS_NOWHERE, "cut in half", song_cut},
    {"song_ends_inside_number.mid",    PLAYS_NOWHERE, "the track ends inside a delta time (hangs the reader)", song_ends_inside_number},
    {"song_huge_meta.mid",             PLAYS_NOWHERE, "a text event claiming 268 MB (ends the program)", song_huge_meta},
    {"song_no_end_of_track.mid",       PLAYS_NOWHERE, "a track without its end", song_no_end_of_track},
    {"song_smpte_zero_ticks.mid",      PLAYS_NOWHERE, "SMPTE timing of 0 ticks a frame (divides by 0)", song_smpte_zero_ticks},
    {"song_header_beyond_file.mid",    PLAYS_NOWHERE, "a header chunk claiming 2 GB", song_header_beyond_file},
    {"song_too_many_events.mid",       PLAYS_NOWHERE, "262144 events (ends the program)", song_too_many_events},
    {"song_huge_sysex.mid",            PLAYS_NOWHERE, "a SysEx of 2 MB and a byte (ends the program)", song_huge_sysex},
    {"song_running_status_first.mid",  PLAYS_BOTH,    "running status first, read alike on every status", song_running_status_first},
    {"song_running_status_first_askew.mid", PLAYS_NOWHERE, "running status first, askew on a one-byte status", song_running_status_first_askew},
};
// clang-format on
const int SOUND_VARIANT_COUNT = int(sizeof SOUND_VARIANTS / sizeof SOUND_VARIANTS[0]);

bool running_on_sdl12_compat() {
    const SDL_version* v = SDL_Linked_Version();
    return v->major == 1 && v->minor == 2 && v->patch >= 50;
}

int this_runtime() {
    return running_on_sdl12_compat() ? PLAYS_COMPAT : PLAYS_CLASSIC;
}
