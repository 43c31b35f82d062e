// e2e_probe: what the end-to-end runner needs beyond the X tools.
//
//   close WINDOW              asks a window to close as a window manager does
//                             (WM_PROTOCOLS / WM_DELETE_WINDOW); SDL makes it a quit
//   pixel SHOT X Y            prints the pixel "R G B" of a PPM screenshot
//   picture SHOT X Y PIC [SX SY W H] [keyed]
//                             compares the screenshot at (X, Y) with a BMP, or the
//                             part (SX, SY, W, H) of it; "keyed" skips the picture's
//                             grey (125, 125, 125), which the game draws transparent
//   text SHOT X Y FONT SIZE bold|plain R G B TEXT
//                             renders TEXT as the game does (TTF_RenderText_Solid)
//                             and checks that the pixels of colour R G B in its box
//                             at (X, Y) (and a little to its right) are exactly the
//                             text's own pixels; X "centre" centres the box across
//                             the shot. TEXT is Latin-1, as the game passes it
//   sounds RAW NAME=FILE...   finds the onsets in a raw recording of the mixer's
//                             output (44100 Hz, signed 16-bit, stereo) and names
//                             each after the best-matching WAV or MP3 file;
//                             prints "MS NAME SCORE" per onset in time order
//                             ("other" when nothing matches to 0.7)
//   levels RAW NAME=FILE...   the same sounds, with the peak and RMS of the
//                             recording while each plays, and of the whole;
//                             fails when the mix reached full scale
//
// Exit status: 0 when a comparison matches, 1 when it does not, 2 on bad use.
#include <SDL/SDL.h>
#include <SDL/SDL_ttf.h>
#include <X11/Xlib.h>
#include <mpg123.h>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

const int RATE = 44100;

struct Shot {
    int w = 0, h = 0;
    std::vector<unsigned char> rgb;
};

struct Rgb {
    int r, g, b;
};

bool read_ppm_token(FILE* f, long& value) {
    int c = fgetc(f);
    while (c == '#' || (c != EOF && isspace(c))) {
        if (c == '#')
            while (c != '\n' && c != EOF)
                c = fgetc(f);
        c = fgetc(f);
    }
    if (c == EOF || !isdigit(c)) return false;
    value = 0;
    while (c != EOF && isdigit(c)) {
        value = value * 10 + (c - '0');
        if (value > 100000) return false;
        c = fgetc(f);
    }
    // One white-space character ends the header's last number.
    return true;
}

bool load_shot(const char* path, Shot& shot) {
    FILE* f = fopen(path, "rb");
    if (!f) {
        fprintf(stderr, "e2e_probe: cannot open %s\n", path);
        return false;
    }
    char magic[2] = {0, 0};
    long w = 0, h = 0, maxval = 0;
    bool ok = fread(magic, 1, 2, f) == 2 && magic[0] == 'P' && magic[1] == '6' &&
              read_ppm_token(f, w) && read_ppm_token(f, h) && read_ppm_token(f, maxval) &&
              maxval == 255 && w > 0 && h > 0;
    if (ok) {
        shot.w = int(w);
        shot.h = int(h);
        shot.rgb.resize(size_t(w) * size_t(h) * 3);
        ok = fread(shot.rgb.data(), 1, shot.rgb.size(), f) == shot.rgb.size();
    }
    fclose(f);
    if (!ok) fprintf(stderr, "e2e_probe: %s is not an 8-bit binary PPM\n", path);
    return ok;
}

bool shot_pixel(const Shot& shot, int x, int y, Rgb& out) {
    if (x < 0 || y < 0 || x >= shot.w || y >= shot.h) return false;
    const unsigned char* p = &shot.rgb[(size_t(y) * size_t(shot.w) + size_t(x)) * 3];
    out = Rgb{p[0], p[1], p[2]};
    return true;
}

Rgb surface_pixel(SDL_Surface* s, int x, int y) {
    const Uint8* row = static_cast<const Uint8*>(s->pixels) + y * s->pitch;
    const Uint8* p = row + x * s->format->BytesPerPixel;
    Uint32 v = 0;
    switch (s->format->BytesPerPixel) {
    case 1:
        v = *p;
        break;
    case 2:
        v = *reinterpret_cast<const Uint16*>(p);
        break;
    case 3:
        v = SDL_BYTEORDER == SDL_LIL_ENDIAN ? Uint32(p[0] | p[1] << 8 | p[2] << 16)
                                            : Uint32(p[2] | p[1] << 8 | p[0] << 16);
        break;
    default:
        v = *reinterpret_cast<const Uint32*>(p);
        break;
    }
    Uint8 r, g, b;
    SDL_GetRGB(v, s->format, &r, &g, &b);
    return Rgb{r, g, b};
}

bool same(const Rgb& a, const Rgb& b) {
    return a.r == b.r && a.g == b.g && a.b == b.b;
}

int to_int(const char* s, bool& ok) {
    char* end = nullptr;
    long v = strtol(s, &end, 10);
    if (!end || *end || end == s || v < -100000 || v > 100000) ok = false;
    return int(v);
}

int cmd_close(int argc, char** argv) {
    if (argc != 1) return 2;
    Display* d = XOpenDisplay(nullptr);
    if (!d) {
        fprintf(stderr, "e2e_probe: no X display\n");
        return 2;
    }
    Window w = Window(strtoul(argv[0], nullptr, 0));
    XEvent ev;
    memset(&ev, 0, sizeof ev);
    ev.xclient.type = ClientMessage;
    ev.xclient.window = w;
    ev.xclient.message_type = XInternAtom(d, "WM_PROTOCOLS", False);
    ev.xclient.format = 32;
    ev.xclient.data.l[0] = long(XInternAtom(d, "WM_DELETE_WINDOW", False));
    ev.xclient.data.l[1] = CurrentTime;
    XSendEvent(d, w, False, NoEventMask, &ev);
    XSync(d, False);
    XCloseDisplay(d);
    return 0;
}

int cmd_pixel(int argc, char** argv) {
    if (argc != 3) return 2;
    Shot shot;
    if (!load_shot(argv[0], shot)) return 2;
    bool ok = true;
    int x = to_int(argv[1], ok), y = to_int(argv[2], ok);
    Rgb c;
    if (!ok || !shot_pixel(shot, x, y, c)) {
        fprintf(stderr, "e2e_probe: no pixel (%s, %s) in a %dx%d shot\n", argv[1], argv[2], shot.w,
                shot.h);
        return 2;
    }
    printf("%d %d %d\n", c.r, c.g, c.b);
    return 0;
}

int cmd_picture(int argc, char** argv) {
    if (argc < 4) return 2;
    bool keyed = std::string(argv[argc - 1]) == "keyed";
    if (keyed) --argc;
    if (argc != 4 && argc != 8) return 2;
    Shot shot;
    if (!load_shot(argv[0], shot)) return 2;
    SDL_Surface* pic = SDL_LoadBMP(argv[3]);
    if (!pic) {
        fprintf(stderr, "e2e_probe: cannot load %s: %s\n", argv[3], SDL_GetError());
        return 2;
    }
    bool ok = true;
    int x = to_int(argv[1], ok), y = to_int(argv[2], ok);
    int sx = 0, sy = 0, w = pic->w, h = pic->h;
    if (argc == 8) {
        sx = to_int(argv[4], ok);
        sy = to_int(argv[5], ok);
        w = to_int(argv[6], ok);
        h = to_int(argv[7], ok);
    }
    if (!ok || sx < 0 || sy < 0 || w <= 0 || h <= 0 || sx + w > pic->w || sy + h > pic->h) {
        fprintf(stderr, "e2e_probe: bad picture part\n");
        SDL_FreeSurface(pic);
        return 2;
    }
    const Rgb grey = {125, 125, 125};
    long compared = 0, differ = 0;
    SDL_LockSurface(pic);
    for (int j = 0; j < h; ++j)
        for (int i = 0; i < w; ++i) {
            Rgb want = surface_pixel(pic, sx + i, sy + j);
            if (keyed && same(want, grey)) continue;
            ++compared;
            Rgb seen;
            if (!shot_pixel(shot, x + i, y + j, seen) || !same(seen, want)) {
                if (differ == 0 && shot_pixel(shot, x + i, y + j, seen))
                    fprintf(stderr,
                            "first difference at (%d, %d): expected %d %d %d, seen %d %d %d\n",
                            x + i, y + j, want.r, want.g, want.b, seen.r, seen.g, seen.b);
                ++differ;
            }
        }
    SDL_UnlockSurface(pic);
    SDL_FreeSurface(pic);
    printf("%ld of %ld pixels differ\n", differ, compared);
    return differ == 0 && compared > 0 ? 0 : 1;
}

int cmd_text(int argc, char** argv) {
    if (argc != 10) return 2;
    Shot shot;
    if (!load_shot(argv[0], shot)) return 2;
    bool ok = true;
    bool centred = std::string(argv[1]) == "centre";
    int x = centred ? 0 : to_int(argv[1], ok), y = to_int(argv[2], ok), size = to_int(argv[4], ok);
    Rgb colour = {to_int(argv[6], ok), to_int(argv[7], ok), to_int(argv[8], ok)};
    if (!ok || size <= 0) return 2;
    if (TTF_Init() != 0) return 2;
    TTF_Font* font = TTF_OpenFont(argv[3], size);
    if (!font) {
        fprintf(stderr, "e2e_probe: cannot open the font %s\n", argv[3]);
        return 2;
    }
    if (std::string(argv[5]) == "bold") TTF_SetFontStyle(font, TTF_STYLE_BOLD);
    SDL_Color white = {255, 255, 255, 0};
    SDL_Surface* text = TTF_RenderText_Solid(font, argv[9], white);
    if (!text) {
        TTF_CloseFont(font);
        return 2;
    }
    if (centred) x = (shot.w - text->w) / 2;
    // A solid rendering is 8-bit: index 0 is the clear background. Half a
    // size beyond the box must be clear too, or "12.34" would pass for "12.345".
    long missing = 0, extra = 0, ink = 0;
    const int margin = size / 2;
    SDL_LockSurface(text);
    for (int j = 0; j < text->h; ++j)
        for (int i = 0; i < text->w + margin; ++i) {
            bool mine =
                i < text->w && static_cast<const Uint8*>(text->pixels)[j * text->pitch + i] != 0;
            Rgb seen;
            bool inside = shot_pixel(shot, x + i, y + j, seen);
            if (mine) {
                ++ink;
                if (!inside || !same(seen, colour)) ++missing;
            } else if (inside && same(seen, colour)) {
                ++extra;
            }
        }
    SDL_UnlockSurface(text);
    printf("text \"%s\" %dx%d: %ld of %ld text pixels missing, %ld stray pixels\n", argv[9],
           text->w, text->h, missing, ink, extra);
    SDL_FreeSurface(text);
    TTF_CloseFont(font);
    TTF_Quit();
    return missing == 0 && extra == 0 && ink > 0 ? 0 : 1;
}

// --- sounds ---------------------------------------------------------------

bool load_wav_mono(const char* path, std::vector<float>& out) {
    SDL_AudioSpec wav;
    Uint8* buf = nullptr;
    Uint32 len = 0;
    if (!SDL_LoadWAV(path, &wav, &buf, &len)) return false;
    SDL_AudioCVT cvt;
    if (SDL_BuildAudioCVT(&cvt, wav.format, wav.channels, wav.freq, AUDIO_S16SYS, 1, RATE) < 0) {
        SDL_FreeWAV(buf);
        return false;
    }
    std::vector<Uint8> work(size_t(len) * size_t(cvt.len_mult > 0 ? cvt.len_mult : 1));
    memcpy(work.data(), buf, len);
    SDL_FreeWAV(buf);
    cvt.buf = work.data();
    cvt.len = int(len);
    if (SDL_ConvertAudio(&cvt) != 0) return false;
    size_t n = size_t(cvt.len_cvt) / 2;
    out.resize(n);
    const Sint16* s = reinterpret_cast<const Sint16*>(work.data());
    for (size_t i = 0; i < n; ++i)
        out[i] = float(s[i]);
    return true;
}

bool load_mp3_mono(const char* path, std::vector<float>& out) {
    if (mpg123_init() != MPG123_OK) return false;
    int err = 0;
    mpg123_handle* mh = mpg123_new(nullptr, &err);
    if (!mh) return false;
    mpg123_param(mh, MPG123_ADD_FLAGS, MPG123_QUIET, 0.0);
    mpg123_format_none(mh);
    mpg123_format(mh, RATE, MPG123_MONO | MPG123_STEREO, MPG123_ENC_SIGNED_16);
    long rate = 0;
    int channels = 0, encoding = 0;
    bool ok = mpg123_open(mh, path) == MPG123_OK &&
              mpg123_getformat(mh, &rate, &channels, &encoding) == MPG123_OK &&
              (channels == 1 || channels == 2);
    if (ok) {
        std::vector<Sint16> block(8192);
        for (;;) {
            size_t got = 0;
            int r = mpg123_read(mh, reinterpret_cast<unsigned char*>(block.data()),
                                block.size() * 2, &got);
            for (size_t i = 0; i + size_t(channels) <= got / 2; i += size_t(channels))
                out.push_back(channels == 1 ? float(block[i])
                                            : (float(block[i]) + float(block[i + 1])) / 2);
            if (r != MPG123_OK) {
                ok = r == MPG123_DONE;
                break;
            }
        }
        mpg123_close(mh);
    }
    mpg123_delete(mh);
    return ok && !out.empty();
}

bool load_raw_mono(const char* path, std::vector<float>& out) {
    FILE* f = fopen(path, "rb");
    if (!f) return false;
    Sint16 frame[2];
    // The mixer's own output: little-endian on the machines the game runs on.
    while (fread(frame, sizeof frame, 1, f) == 1)
        out.push_back((float(frame[0]) + float(frame[1])) / 2);
    fclose(f);
    return true;
}

struct Reference {
    std::string name;
    std::vector<float> wave;
};

// A sound is named by its first 23 ms: short enough that another sound
// started a moment later (a false start just after a ding) does not blur it.
const size_t MATCH_LENGTH = 1024;

struct Match {
    float score;
    long at;
};

// Best normalised correlation of the reference's opening with the recording,
// for a start anywhere from `from` to `to`.
Match best_match(const std::vector<float>& rec, const std::vector<float>& ref, long from, long to) {
    const size_t n = ref.size() < MATCH_LENGTH ? ref.size() : MATCH_LENGTH;
    Match best = {0, -1};
    double refEnergy = 0;
    for (size_t i = 0; i < n; ++i)
        refEnergy += double(ref[i]) * ref[i];
    if (refEnergy <= 0) return best;
    for (long s = from < 0 ? 0 : from; s <= to && s + long(n) <= long(rec.size()); ++s) {
        double dot = 0, energy = 0;
        for (size_t i = 0; i < n; ++i) {
            double v = rec[size_t(s) + i];
            dot += v * ref[i];
            energy += v * v;
        }
        if (energy <= 0) continue;
        float score = float(dot / std::sqrt(energy * refEnergy));
        if (score > best.score) best = Match{score, s};
    }
    return best;
}

float block_peak(const std::vector<float>& rec, size_t first, size_t count) {
    float peak = 0;
    for (size_t i = first; i < first + count && i < rec.size(); ++i)
        peak = std::max(peak, std::fabs(rec[i]));
    return peak;
}

// One sound found in a recording: where it starts (in frames), its name
// ("other" when none matches) and how many frames it lasts.
struct Heard {
    long at;
    std::string name;
    float score;
    size_t length;
};

// Finds the onsets in the recording argv[0] and names them after the files
// NAME=FILE in the rest of argv. Returns 0, or 2 on bad use.
int find_sounds(int argc, char** argv, std::vector<Heard>& heard) {
    if (argc < 1) return 2;
    std::vector<float> rec;
    if (!load_raw_mono(argv[0], rec)) {
        fprintf(stderr, "e2e_probe: cannot read %s\n", argv[0]);
        return 2;
    }
    std::vector<Reference> refs;
    for (int a = 1; a < argc; ++a) {
        const char* eq = strchr(argv[a], '=');
        if (!eq) return 2;
        Reference r;
        r.name.assign(argv[a], size_t(eq - argv[a]));
        std::string file = eq + 1;
        bool mp3 = file.size() > 4 && file.compare(file.size() - 4, 4, ".mp3") == 0;
        if (!(mp3 ? load_mp3_mono(file.c_str(), r.wave) : load_wav_mono(file.c_str(), r.wave))) {
            fprintf(stderr, "e2e_probe: cannot decode %s\n", file.c_str());
            return 2;
        }
        refs.push_back(r);
    }
    // An onset is a 5 ms block whose peak stands well above the 50 ms before
    // it. The mixer adds its voices unchanged, so a sound once named is taken
    // out of the recording: what starts over its tail stands out on its own.
    const size_t BLOCK = RATE / 200;
    const float FLOOR = 600;
    size_t quietUntil = 0;
    for (size_t b = 10; (b + 1) * BLOCK <= rec.size(); ++b) {
        float peak = block_peak(rec, b * BLOCK, BLOCK);
        float before = block_peak(rec, (b - 10) * BLOCK, 10 * BLOCK);
        if (b < quietUntil || peak < FLOOR || peak < 3 * before) continue;
        // A sound cut short by the end of the recording so far is named on
        // a later look, once the recording holds enough of it.
        if (b * BLOCK + MATCH_LENGTH > rec.size()) break;
        long at = long(b * BLOCK);
        // The sound began a little before it rose above the floor.
        const Reference* named = nullptr;
        Match best = {0.7f, -1};
        for (const Reference& r : refs) {
            Match m = best_match(rec, r.wave, at - 2048, at + long(BLOCK));
            if (m.score > best.score) {
                best = m;
                named = &r;
            }
        }
        if (!named) {
            heard.push_back(Heard{at, "other", 0.0f, 20 * BLOCK});
            quietUntil = b + 20;
            continue;
        }
        heard.push_back(Heard{best.at, named->name, best.score, named->wave.size()});
        for (size_t i = 0; i < named->wave.size() && size_t(best.at) + i < rec.size(); ++i)
            rec[size_t(best.at) + i] -= named->wave[i];
    }
    return 0;
}

int cmd_sounds(int argc, char** argv) {
    std::vector<Heard> heard;
    int r = find_sounds(argc, argv, heard);
    for (const Heard& h : heard)
        printf("%ld %s %.3f\n", h.at * 1000 / RATE, h.name.c_str(), h.score);
    return r;
}

double dbfs(double v) {
    return v > 0 ? 20.0 * std::log10(v / 32768.0) : -999.0;
}

// Peak and RMS (both channels) of frames first..first+count of a stereo recording.
void span_levels(const std::vector<Sint16>& frames, size_t first, size_t count, double& peak,
                 double& rms) {
    double sum = 0;
    size_t n = 0;
    peak = 0;
    for (size_t i = first * 2; i < (first + count) * 2 && i < frames.size(); ++i, ++n) {
        peak = std::max(peak, std::fabs(double(frames[i])));
        sum += double(frames[i]) * frames[i];
    }
    rms = n ? std::sqrt(sum / double(n)) : 0;
}

// levels RAW NAME=FILE...: the recording's peak and RMS, then each sound found
// in it with the peak and RMS of the recording while it plays (what plays with
// it included). Fails when the recording reaches full scale: the mix clipped.
int cmd_levels(int argc, char** argv) {
    std::vector<Heard> heard;
    int r = find_sounds(argc, argv, heard);
    if (r != 0) return r;
    std::vector<Sint16> frames;
    FILE* f = fopen(argv[0], "rb");
    if (!f) return 2;
    Sint16 block[4096];
    size_t got;
    while ((got = fread(block, sizeof block[0], 4096, f)) > 0)
        frames.insert(frames.end(), block, block + got);
    fclose(f);
    double peak, rms;
    span_levels(frames, 0, frames.size() / 2, peak, rms);
    printf("whole %.1f s peak %.0f (%.2f dBFS) rms %.2f dBFS\n", frames.size() / 2.0 / RATE, peak,
           dbfs(peak), dbfs(rms));
    bool clipped = peak >= 32767;
    for (const Heard& h : heard) {
        double p, q;
        span_levels(frames, size_t(h.at), h.length, p, q);
        printf("%ld %s peak %.0f (%.2f dBFS) rms %.2f dBFS\n", h.at * 1000 / RATE, h.name.c_str(),
               p, dbfs(p), dbfs(q));
    }
    if (clipped) printf("the mix reached full scale\n");
    return clipped ? 1 : 0;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: e2e_probe close|pixel|picture|text|sounds|levels ...\n");
        return 2;
    }
    std::string cmd = argv[1];
    int r = 2;
    if (cmd == "close")
        r = cmd_close(argc - 2, argv + 2);
    else if (cmd == "pixel")
        r = cmd_pixel(argc - 2, argv + 2);
    else if (cmd == "picture")
        r = cmd_picture(argc - 2, argv + 2);
    else if (cmd == "text")
        r = cmd_text(argc - 2, argv + 2);
    else if (cmd == "sounds")
        r = cmd_sounds(argc - 2, argv + 2);
    else if (cmd == "levels")
        r = cmd_levels(argc - 2, argv + 2);
    if (r == 2) fprintf(stderr, "e2e_probe: cannot do \"%s\" with these arguments\n", argv[1]);
    return r;
}
