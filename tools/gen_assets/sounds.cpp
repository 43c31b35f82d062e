// The game's sounds, synthesized: bells, beeps and jingles from additive
// tones, the crowd and the crackle from shaped noise, the MIDI victory tune
// written note by note. Noise comes from a fixed-seed generator so every build
// makes the same files.
#include "gen_assets.h"

#include "tables/characters.h"

#include <lame/lame.h>

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <string>
#include <utility>
#include <sys/stat.h>
#include <vector>

namespace {

constexpr int RATE = 44100;
constexpr double PI = 3.14159265358979323846;

typedef std::vector<float> Wave; // mono, -1..1, RATE samples a second

// Stereo as two waves of the same length.
struct StereoWave {
    Wave left;
    Wave right;
};

uint32_t noiseState = 0x2545F491u;

void seed_noise(uint32_t seed) {
    noiseState = seed ? seed : 1u;
}

// White noise in -1..1 (xorshift32).
float noise() {
    noiseState ^= noiseState << 13;
    noiseState ^= noiseState >> 17;
    noiseState ^= noiseState << 5;
    return float(noiseState) / 2147483648.0f - 1.0f;
}

// Uniform in lo..hi.
float noise_between(float lo, float hi) {
    return lo + (noise() + 1.0f) * 0.5f * (hi - lo);
}

int seconds_to_samples(double s) {
    return int(s * RATE + 0.5);
}

double note_hz(int midi) {
    return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

// Every sound peaks at PEAK, 7 dB below full scale: the mixer adds its
// channels and clips, and two sounds the race plays together (a jingle and a
// crash, the start signal and a false start, a jingle and the applause) must
// still sum below full scale. MP3s get a little more room, since the encoder's
// filtering overshoots the source's peak by a few per cent.
constexpr float PEAK = 0.45f;
constexpr float MP3_PEAK = 0.42f;

float peak_of(const Wave& w) {
    float m = 0.0f;
    for (float v : w)
        m = std::fmax(m, std::fabs(v));
    return m;
}

double rms_of(const Wave& w) {
    if (w.empty()) return 0.0;
    double sum = 0.0;
    for (float v : w)
        sum += double(v) * v;
    return std::sqrt(sum / double(w.size()));
}

// Scales so the loudest sample sits at peak.
void normalise(Wave& w, float peak) {
    float m = 0.0f;
    for (float v : w)
        m = std::fmax(m, std::fabs(v));
    if (m <= 0.0f) return;
    for (float& v : w)
        v *= peak / m;
}

// Short linear ramps at both ends: no click when the sound starts or stops.
void soften_ends(Wave& w, double in_s, double out_s) {
    int n = int(w.size());
    int a = std::min(n, seconds_to_samples(in_s));
    int b = std::min(n, seconds_to_samples(out_s));
    for (int i = 0; i < a; ++i)
        w[i] *= float(i) / a;
    for (int i = 0; i < b; ++i)
        w[n - 1 - i] *= float(i) / b;
}

// A tone of several harmonics (ratio, weight) with an attack and an
// exponential decay, added into w from start_s.
struct Partial {
    double ratio;
    double weight;
    double decay_s; // time constant; 0 holds the level
};

void add_tone(Wave& w, double start_s, double length_s, double hz, const Partial* partials,
              int count, double gain, double attack_s, double release_s, double vibrato_hz = 0.0,
              double vibrato_depth = 0.0) {
    int first = seconds_to_samples(start_s);
    int n = seconds_to_samples(length_s);
    int release = seconds_to_samples(release_s);
    if (int(w.size()) < first + n) w.resize(first + n, 0.0f);
    std::vector<double> phase(count, 0.0);
    for (int i = 0; i < n; ++i) {
        double t = double(i) / RATE;
        double env = attack_s > 0.0 ? std::fmin(1.0, t / attack_s) : 1.0;
        if (i > n - release) env *= double(n - i) / release;
        double bend = 1.0 + vibrato_depth * std::sin(2.0 * PI * vibrato_hz * t);
        double v = 0.0;
        for (int p = 0; p < count; ++p) {
            double f = hz * partials[p].ratio * bend;
            if (f >= RATE / 2.0) continue; // past Nyquist it would only alias
            phase[p] += 2.0 * PI * f / RATE;
            double level = partials[p].weight;
            if (partials[p].decay_s > 0.0) level *= std::exp(-t / partials[p].decay_s);
            v += level * std::sin(phase[p]);
        }
        w[first + i] += float(gain * env * v);
    }
}

// Band-limited square-ish timbre: odd harmonics falling as 1/k.
int square_partials(Partial* out, int max, double decay_s) {
    int c = 0;
    for (int k = 1; c < max; k += 2)
        out[c++] = {double(k), 1.0 / k, decay_s};
    return c;
}

// Brassy timbre: every harmonic falling as 1/k^1.3.
int brass_partials(Partial* out, int max, double decay_s) {
    int c = 0;
    for (int k = 1; c < max; ++k)
        out[c++] = {double(k), 1.0 / std::pow(double(k), 1.3), decay_s};
    return c;
}

// Biquad band-pass (constant 0 dB peak gain).
struct BandPass {
    double b0, b2, a1, a2;
    double x1, x2, y1, y2;
};

BandPass band_pass(double hz, double q) {
    double w0 = 2.0 * PI * hz / RATE;
    double alpha = std::sin(w0) / (2.0 * q);
    double a0 = 1.0 + alpha;
    BandPass f;
    f.b0 = alpha / a0;
    f.b2 = -alpha / a0;
    f.a1 = -2.0 * std::cos(w0) / a0;
    f.a2 = (1.0 - alpha) / a0;
    f.x1 = f.x2 = f.y1 = f.y2 = 0.0;
    return f;
}

double band_pass_step(BandPass& f, double x) {
    double y = f.b0 * x + f.b2 * f.x2 - f.a1 * f.y1 - f.a2 * f.y2;
    f.x2 = f.x1;
    f.x1 = x;
    f.y2 = f.y1;
    f.y1 = y;
    return y;
}

// ---- the sounds ----

// A small bell: inharmonic partials, the high ones dying first.
Wave make_ding() {
    Wave w;
    const Partial bell[] = {{1.0, 1.0, 0.16},
                            {2.0, 0.30, 0.10},
                            {2.76, 0.45, 0.08},
                            {5.40, 0.22, 0.05},
                            {8.93, 0.10, 0.03}};
    add_tone(w, 0.0, 0.42, 880.0, bell, 5, 1.0, 0.002, 0.03);
    normalise(w, PEAK);
    soften_ends(w, 0.0005, 0.01);
    return w;
}

// The start signal: the countdown's bell struck as a bright major chord over
// a lower octave, ringing on longer than a ding. It stands out by its colour,
// not its level: levelled 1 dB under the ding's RMS over its whole length, its
// loudest 0.4 s come out about 1 dB over the ding's.
Wave make_start(const Wave& ding) {
    Wave w;
    const Partial bell[] = {
        {1.0, 1.0, 0.50}, {2.0, 0.28, 0.16}, {2.76, 0.22, 0.10}, {5.40, 0.08, 0.05}};
    // A quick strum, lowest note first.
    const double chord[][3] = {{440.0, 0.000, 0.55},   // A4, the body
                               {880.0, 0.012, 1.00},   // A5, the ding's own note
                               {1108.7, 0.024, 0.75},  // C#6
                               {1318.5, 0.036, 0.65}}; // E6
    for (const auto& note : chord)
        add_tone(w, note[1], 0.80 - note[1], note[0], bell, 4, note[2], 0.002, 0.12);
    double want = rms_of(ding) * std::pow(10.0, -1.0 / 20.0), have = rms_of(w);
    if (have > 0.0)
        for (float& v : w)
            v *= float(want / have);
    if (peak_of(w) > PEAK) normalise(w, PEAK);
    soften_ends(w, 0.0005, 0.02);
    return w;
}

struct Note {
    int midi;
    double start_s;
    double length_s;
};

// Sonic: quick, high and bright, a rising run that ends on a held top note.
Wave make_sonic_end() {
    Wave w;
    const Note tune[] = {{72, 0.00, 0.09}, {76, 0.08, 0.09}, {79, 0.16, 0.09}, {84, 0.24, 0.09},
                         {79, 0.34, 0.09}, {84, 0.42, 0.09}, {88, 0.50, 0.75}};
    Partial p[4];
    int c = square_partials(p, 4, 0.0);
    for (const Note& n : tune)
        add_tone(w, n.start_s, n.length_s, note_hz(n.midi), p, c, 0.5, 0.004, 0.04, 6.0,
                 n.length_s > 0.5 ? 0.006 : 0.0);
    // A bass under the held note.
    Partial b[4];
    int cb = square_partials(b, 4, 0.6);
    add_tone(w, 0.50, 0.75, note_hz(48), b, cb, 0.35, 0.004, 0.2);
    add_tone(w, 0.50, 0.75, note_hz(55), b, cb, 0.25, 0.004, 0.2);
    normalise(w, PEAK);
    soften_ends(w, 0.001, 0.02);
    return w;
}

// Shrek: slow and low, a lumbering brass "ta-da" ending on a wobbling chord.
Wave make_shrek_end() {
    Wave w;
    const Note tune[] = {{50, 0.00, 0.22}, {50, 0.26, 0.12}, {55, 0.42, 0.26}, {59, 0.72, 0.26}};
    Partial p[14];
    int c = brass_partials(p, 14, 0.0);
    for (const Note& n : tune)
        add_tone(w, n.start_s, n.length_s, note_hz(n.midi), p, c, 0.5, 0.03, 0.06, 5.0, 0.004);
    const int chord[] = {43, 55, 59, 62};
    for (int m : chord)
        add_tone(w, 1.02, 1.0, note_hz(m), p, c, 0.3, 0.04, 0.4, 4.5, 0.008);
    normalise(w, PEAK);
    soften_ends(w, 0.002, 0.03);
    return w;
}

// An electric buzz: a harsh 100 Hz hum that flickers, with sparks of noise.
Wave make_electric() {
    seed_noise(0xE1EC7u);
    int n = seconds_to_samples(1.5);
    Wave w(n, 0.0f);
    double flicker = 1.0;
    double spark = 0.0;
    for (int i = 0; i < n; ++i) {
        double t = double(i) / RATE;
        // Sawtooth hum with a second, detuned one for roughness.
        double saw = 2.0 * std::fmod(t * 100.0, 1.0) - 1.0;
        double saw2 = 2.0 * std::fmod(t * 150.7, 1.0) - 1.0;
        double hum = std::tanh(2.5 * (0.7 * saw + 0.3 * saw2));
        // The level jumps every few milliseconds, like a bad contact.
        if (i % 220 == 0) flicker = noise_between(0.25f, 1.0f);
        // Sparks: rare impulses that ring out within a few milliseconds.
        if (noise() > 0.9992f) spark = noise_between(0.6f, 1.0f);
        spark *= 0.9975;
        double v = 0.45 * flicker * hum + spark * noise();
        w[i] = float(v);
    }
    normalise(w, PEAK);
    soften_ends(w, 0.03, 0.2);
    return w;
}

// A crowd: hundreds of single claps (band-passed noise bursts of random pitch
// and place) whose density swells, holds and fades, over a soft noise wash.
StereoWave make_applause() {
    seed_noise(0xC1A55u);
    int n = seconds_to_samples(3.0);
    StereoWave s;
    s.left.assign(n, 0.0f);
    s.right.assign(n, 0.0f);
    double t = 0.0;
    while (true) {
        double density = 0.0; // claps per second at time t
        if (t < 0.35)
            density = 150.0 * t / 0.35;
        else if (t < 2.0)
            density = 150.0;
        else
            density = 150.0 * std::fmax(0.0, (3.0 - t) / 1.0);
        density = std::fmax(density, 8.0);
        t += -std::log(std::fmax(1e-6, (noise() + 1.0) * 0.5)) / density;
        if (t >= 2.9) break;
        int first = seconds_to_samples(t);
        BandPass f = band_pass(noise_between(700.0f, 2600.0f), noise_between(1.5f, 4.0f));
        double decay = noise_between(0.006f, 0.016f);
        double gain = noise_between(0.3f, 1.0f);
        double pan = noise_between(0.1f, 0.9f);
        int len = seconds_to_samples(decay * 7.0);
        for (int i = 0; i < len && first + i < n; ++i) {
            double env = std::exp(-double(i) / RATE / decay);
            double v = gain * env * band_pass_step(f, noise());
            s.left[first + i] += float(v * (1.0 - pan));
            s.right[first + i] += float(v * pan);
        }
    }
    // The wash: noise low-passed, following the same swell.
    double lp_l = 0.0, lp_r = 0.0;
    for (int i = 0; i < n; ++i) {
        double tt = double(i) / RATE;
        double swell = tt < 0.35 ? tt / 0.35 : (tt < 2.0 ? 1.0 : std::fmax(0.0, (3.0 - tt)));
        lp_l += 0.15 * (noise() - lp_l);
        lp_r += 0.15 * (noise() - lp_r);
        s.left[i] += float(0.08 * swell * lp_l);
        s.right[i] += float(0.08 * swell * lp_r);
    }
    // Soft saturation lifts the body of the crowd against its loudest claps.
    float m = 0.0f;
    for (int i = 0; i < n; ++i)
        m = std::fmax(m, std::fmax(std::fabs(s.left[i]), std::fabs(s.right[i])));
    if (m > 0.0f)
        for (int i = 0; i < n; ++i) {
            s.left[i] = PEAK * std::tanh(3.0f * s.left[i] / m) / std::tanh(3.0f);
            s.right[i] = PEAK * std::tanh(3.0f * s.right[i] / m) / std::tanh(3.0f);
        }
    soften_ends(s.left, 0.01, 0.05);
    soften_ends(s.right, 0.01, 0.05);
    return s;
}

// Road: two quick rising "beep beep" calls, then a little plucked flourish.
Wave make_road_end() {
    Wave w;
    Partial call[5];
    int c = square_partials(call, 5, 0.0);
    for (int b = 0; b < 2; ++b) {
        double start = b * 0.2;
        int first = seconds_to_samples(start);
        Wave beep;
        // A short upward glide gives the beep its cartoon-bird voice.
        int len = seconds_to_samples(0.14);
        beep.assign(len, 0.0f);
        double phase[5] = {0, 0, 0, 0, 0};
        for (int i = 0; i < len; ++i) {
            double t = double(i) / RATE;
            double hz = 1100.0 + 500.0 * t / 0.14;
            double env = std::fmin(1.0, t / 0.005) * std::fmin(1.0, (0.14 - t) / 0.02);
            double v = 0.0;
            for (int p = 0; p < c; ++p) {
                phase[p] += 2.0 * PI * hz * call[p].ratio / RATE;
                v += call[p].weight * std::sin(phase[p]);
            }
            beep[i] = float(0.5 * env * v);
        }
        if (int(w.size()) < first + len) w.resize(first + len, 0.0f);
        for (int i = 0; i < len; ++i)
            w[first + i] += beep[i];
    }
    const Partial pluck[] = {
        {1.0, 1.0, 0.25}, {2.0, 0.5, 0.12}, {3.0, 0.3, 0.08}, {4.0, 0.15, 0.05}};
    const Note flourish[] = {{79, 0.50, 0.3}, {83, 0.62, 0.3}, {86, 0.74, 0.3}, {91, 0.86, 0.7}};
    for (const Note& n : flourish)
        add_tone(w, n.start_s, n.length_s, note_hz(n.midi), pluck, 4, 0.45, 0.002, 0.05);
    normalise(w, MP3_PEAK);
    soften_ends(w, 0.001, 0.03);
    return w;
}

// A hit: a falling sine thump under a burst of darkening noise.
Wave make_fatality() {
    seed_noise(0xFA7A1u);
    int n = seconds_to_samples(0.8);
    Wave w(n, 0.0f);
    double phase = 0.0;
    double lp = 0.0;
    for (int i = 0; i < n; ++i) {
        double t = double(i) / RATE;
        double hz = 35.0 + 85.0 * std::exp(-t / 0.12);
        phase += 2.0 * PI * hz / RATE;
        double thump = std::sin(phase) * std::exp(-t / 0.22);
        // The low-pass closes as the burst dies: a bright crack, then rumble.
        double cut = 0.02 + 0.5 * std::exp(-t / 0.05);
        lp += cut * (noise() - lp);
        double burst = lp * std::exp(-t / 0.14);
        double v = std::tanh(1.8 * (0.9 * thump + 0.8 * burst));
        w[i] = float(v);
    }
    normalise(w, MP3_PEAK);
    soften_ends(w, 0.0005, 0.08);
    return w;
}

// ---- writers ----

void put16(std::vector<uint8_t>& out, uint32_t v) {
    out.push_back(uint8_t(v));
    out.push_back(uint8_t(v >> 8));
}

void put32(std::vector<uint8_t>& out, uint32_t v) {
    put16(out, v & 0xFFFF);
    put16(out, v >> 16);
}

int16_t to_pcm(float v) {
    float c = std::fmax(-1.0f, std::fmin(1.0f, v));
    return int16_t(std::lrint(c * 32767.0f));
}

bool write_file(const std::string& path, const std::vector<uint8_t>& bytes) {
    FILE* f = fopen(path.c_str(), "wb");
    if (!f) {
        fprintf(stderr, "gen_assets: cannot write %s\n", path.c_str());
        return false;
    }
    bool ok = fwrite(bytes.data(), 1, bytes.size(), f) == bytes.size();
    ok = fclose(f) == 0 && ok;
    if (!ok) fprintf(stderr, "gen_assets: write error on %s\n", path.c_str());
    return ok;
}

// Plain 16-bit PCM WAV (format tag 1): SDL 1.2 refuses the extensible header.
bool write_wav(const std::string& path, const Wave& left, const Wave* right) {
    int channels = right ? 2 : 1;
    uint32_t frames = uint32_t(left.size());
    uint32_t data = frames * channels * 2;
    std::vector<uint8_t> out;
    out.insert(out.end(), {'R', 'I', 'F', 'F'});
    put32(out, 36 + data);
    out.insert(out.end(), {'W', 'A', 'V', 'E', 'f', 'm', 't', ' '});
    put32(out, 16);
    put16(out, 1);
    put16(out, channels);
    put32(out, RATE);
    put32(out, RATE * channels * 2);
    put16(out, channels * 2);
    put16(out, 16);
    out.insert(out.end(), {'d', 'a', 't', 'a'});
    put32(out, data);
    for (uint32_t i = 0; i < frames; ++i) {
        put16(out, uint16_t(to_pcm(left[i])));
        if (right) put16(out, uint16_t(to_pcm(i < right->size() ? (*right)[i] : 0.0f)));
    }
    return write_file(path, out);
}

// Mono MP3 through LAME, with its Info tag so decoders trim the encoder's
// padding and the sound keeps its length.
bool write_mp3(const std::string& path, const Wave& w) {
    lame_global_flags* gf = lame_init();
    if (!gf) return false;
    lame_set_in_samplerate(gf, RATE);
    lame_set_out_samplerate(gf, RATE);
    lame_set_num_channels(gf, 1);
    lame_set_mode(gf, MONO);
    lame_set_brate(gf, 96);
    lame_set_quality(gf, 2);
    lame_set_bWriteVbrTag(gf, 1);
    if (lame_init_params(gf) < 0) {
        lame_close(gf);
        return false;
    }
    std::vector<short> pcm(w.size());
    for (size_t i = 0; i < w.size(); ++i)
        pcm[i] = to_pcm(w[i]);
    std::vector<unsigned char> mp3(w.size() * 5 / 4 + 7200 + 8192);
    int got = lame_encode_buffer(gf, pcm.data(), pcm.data(), int(pcm.size()), mp3.data(),
                                 int(mp3.size()));
    if (got < 0) {
        lame_close(gf);
        return false;
    }
    int tail = lame_encode_flush(gf, mp3.data() + got, int(mp3.size()) - got);
    if (tail < 0) {
        lame_close(gf);
        return false;
    }
    std::vector<uint8_t> out(mp3.begin(), mp3.begin() + got + tail);
    // The first frame was left blank for the tag: fill it now that the totals are known.
    unsigned char tag[2880];
    size_t tagSize = lame_get_lametag_frame(gf, tag, sizeof tag);
    if (tagSize > 0 && tagSize <= sizeof tag && tagSize <= out.size())
        for (size_t i = 0; i < tagSize; ++i)
            out[i] = tag[i];
    lame_close(gf);
    return write_file(path, out);
}

// ---- the MIDI song ----

void put_varlen(std::vector<uint8_t>& out, uint32_t v) {
    uint8_t bytes[5];
    int n = 0;
    bytes[n++] = uint8_t(v & 0x7F);
    while (v >>= 7)
        bytes[n++] = uint8_t(0x80 | (v & 0x7F));
    while (n)
        out.push_back(bytes[--n]);
}

struct MidiEvent {
    uint32_t tick;
    uint8_t status;
    uint8_t a;
    uint8_t b;
};

// Notes in ticks (quarter = 480) on one channel, as note-on/note-off pairs.
struct MidiNote {
    int midi;
    uint32_t start;
    uint32_t length;
};

void add_notes(std::vector<MidiEvent>& ev, int channel, const MidiNote* notes, int count,
               int velocity) {
    for (int i = 0; i < count; ++i) {
        ev.push_back(
            {notes[i].start, uint8_t(0x90 | channel), uint8_t(notes[i].midi), uint8_t(velocity)});
        // Slightly detached notes sound livelier than legato on these patches.
        uint32_t off = notes[i].start + notes[i].length - notes[i].length / 10;
        ev.push_back({off, uint8_t(0x80 | channel), uint8_t(notes[i].midi), 0});
    }
}

// A short original victory tune in C at 150 beats a minute: a square-wave
// lead over a bass line, one format 0 track. Only instruments Debian's
// freepats set has are used.
bool write_mario_end(const std::string& path) {
    const uint32_t Q = 480, E = 240, H = 960;
    const MidiNote lead[] = {
        {72, 0, E},         {76, E, E},         {79, 2 * E, E},     {84, 3 * E, E},
        {88, 2 * Q, Q},     {84, 3 * Q, E},     {86, 3 * Q + E, E}, // bar 1
        {86, 4 * Q, E},     {83, 4 * Q + E, E}, {79, 5 * Q, Q},     {81, 6 * Q, E},
        {83, 6 * Q + E, E}, {84, 7 * Q, E},     {83, 7 * Q + E, E}, // bar 2
        {84, 8 * Q, H + Q},                                         // bar 3
    };
    const MidiNote harmony[] = {{76, 8 * Q, H + Q}, {79, 8 * Q, H + Q}};
    const MidiNote bass[] = {
        {48, 0, Q},     {55, Q, Q},     {48, 2 * Q, Q}, {55, 3 * Q, Q},     {43, 4 * Q, Q},
        {50, 5 * Q, Q}, {43, 6 * Q, Q}, {47, 7 * Q, Q}, {36, 8 * Q, H + Q},
    };
    std::vector<MidiEvent> ev;
    add_notes(ev, 0, lead, int(sizeof lead / sizeof lead[0]), 110);
    add_notes(ev, 0, harmony, 2, 80);
    add_notes(ev, 1, bass, int(sizeof bass / sizeof bass[0]), 100);
    // Stable order by tick, note-offs before note-ons at the same tick.
    for (size_t i = 1; i < ev.size(); ++i)
        for (size_t j = i; j > 0; --j) {
            const MidiEvent& a = ev[j - 1];
            const MidiEvent& b = ev[j];
            bool aOff = (a.status & 0xF0) == 0x80, bOff = (b.status & 0xF0) == 0x80;
            if (a.tick > b.tick || (a.tick == b.tick && !aOff && bOff))
                std::swap(ev[j - 1], ev[j]);
            else
                break;
        }

    std::vector<uint8_t> track;
    // Tempo: 400000 us a quarter (150 bpm).
    track.insert(track.end(), {0x00, 0xFF, 0x51, 0x03, 0x06, 0x1A, 0x80});
    track.insert(track.end(), {0x00, 0xC0, 80}); // square lead
    track.insert(track.end(), {0x00, 0xC1, 38}); // synth bass
    // Channel volumes that keep the synthesized tune's peak under -7 dBFS,
    // like the samples it may sound with.
    track.insert(track.end(), {0x00, 0xB0, 7, 104, 0x00, 0xB1, 7, 114});
    uint32_t now = 0;
    for (const MidiEvent& e : ev) {
        put_varlen(track, e.tick - now);
        now = e.tick;
        track.insert(track.end(), {e.status, e.a, e.b});
    }
    track.insert(track.end(), {0x60, 0xFF, 0x2F, 0x00}); // a little tail, then end of track

    std::vector<uint8_t> out = {'M', 'T', 'h', 'd', 0, 0, 0, 6, 0, 0, 0, 1};
    out.push_back(uint8_t(Q >> 8));
    out.push_back(uint8_t(Q & 0xFF));
    out.insert(out.end(), {'M', 'T', 'r', 'k'});
    uint32_t len = uint32_t(track.size());
    out.insert(out.end(),
               {uint8_t(len >> 24), uint8_t(len >> 16), uint8_t(len >> 8), uint8_t(len)});
    out.insert(out.end(), track.begin(), track.end());
    return write_file(path, out);
}

bool report(bool ok, const char* name) {
    if (!ok) fprintf(stderr, "gen_assets: could not make %s\n", name);
    return ok;
}

} // namespace

bool make_sounds(const std::string& dir) {
    std::string out = dir + "/sounds";
    mkdir(dir.c_str(), 0755);
    mkdir(out.c_str(), 0755);
    bool ok = true;
    std::vector<std::string> made;
    auto report = [&](bool written, const char* name) {
        made.push_back(name);
        return ::report(written, name);
    };
    Wave ding = make_ding();
    ok = report(write_wav(out + "/ding.wav", ding, nullptr), "ding.wav") && ok;
    ok = report(write_wav(out + "/start.wav", make_start(ding), nullptr), "start.wav") && ok;
    ok =
        report(write_wav(out + "/sonic_end.wav", make_sonic_end(), nullptr), "sonic_end.wav") && ok;
    ok =
        report(write_wav(out + "/shrek_end.wav", make_shrek_end(), nullptr), "shrek_end.wav") && ok;
    ok = report(write_wav(out + "/electric.wav", make_electric(), nullptr), "electric.wav") && ok;
    StereoWave crowd = make_applause();
    ok = report(write_wav(out + "/applause.wav", crowd.left, &crowd.right), "applause.wav") && ok;
    ok = report(write_mp3(out + "/road_end.mp3", make_road_end()), "road_end.mp3") && ok;
    ok = report(write_mp3(out + "/fatality.mp3", make_fatality()), "fatality.mp3") && ok;
    ok = report(write_mario_end(out + "/mario_end.mid"), "mario_end.mid") && ok;
    // A character whose end sound is not made here would end the game at start-up.
    for (const CharacterRow& row : CHARACTER_TABLE)
        if (std::find(made.begin(), made.end(), row.endSound) == made.end()) {
            fprintf(stderr, "gen_assets: no maker for %s, the end sound of %s (sounds.cpp)\n",
                    row.endSound, row.name);
            ok = false;
        }
    return ok;
}
