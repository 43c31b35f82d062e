// session_runner SCRIPT: plays a scripted session through the game's real screen
// cycle, headless and unthrottled. Time comes from a simulated clock that every
// wait and flip advances; the script's events are pushed into SDL's queue when
// their time (or flip) comes. Run it from a run-time tree: it reads the game's
// files from the working directory, like the game.
//
// Script lines ('#' starts a comment):
//   frame-time MS          simulated time per flip in loops that never wait (default 10)
//   joysticks N            the joystick count the game sees
//   at MS EVENT            push EVENT once the simulated clock reaches MS
//   after MS EVENT         push EVENT MS after the previous scheduled event
//   frame N EVENT          push EVENT after the N-th flip of the session
//   repeat COUNT MS EVENT  push EVENT COUNT times, MS apart, the first MS after the
//                          previous scheduled event (a player hammering a button)
//   checksum N             print a checksum of the screen as shown by flip N
//   shot N FILE            save the screen as shown by flip N as a BMP (for writing
//                          scripts: see what a flip shows before taking its checksum)
//   resources              print the resource counts at the start of every cycle
//   finishes               print every finish of a race (character and time)
//   cycle                  the events below, up to the next `cycle`, belong to the next
//                          menu-and-race cycle: their `at`/`frame` count from that cycle's
//                          start, and those still waiting when the cycle after it starts
//                          are dropped (a name entry that never came, say)
//   limit MS               give up (status 3) once the simulated clock passes MS
//   data-line FILE WORDS   before the game starts, write WORDS (single spaces, a line
//                          end after) as a line of FILE; the first such line for a
//                          file starts it afresh (to lay out a damaged record file)
//   save-stall STEP MS     wait MS real milliseconds before step STEP (1, 2, ...) of
//                          every save of a record file, so that two sessions played
//                          at once on one tree overlap their saves
// EVENT: key NAME [lalt|ralt|lctrl|shift|num]... | keyup NAME | click | mouse B |
//        joy J B | quit
// NAME: an SDL key name with '_' for spaces (escape, return, up, f4, left_alt, a) or
// a key number.
//
// Output on standard error: "frame N crc XXXXXXXX" per checksum, "frame N mode WxH
// window|fullscreen" at the first flip and whenever the display mode changes, "cycle K
// surfaces S fonts F samples M" per cycle with `resources`, "finish C T" per finish
// with `finishes` (T in ms, "%f"), "session dropped N events" when `cycle` blocks
// dropped some, and "session exit N" at a normal end.
// With VRILLON_SESSION_FLIPS=1 in the environment it also prints "flip N at MS" for
// every flip, to find the flips worth a checksum.
#include "platform/clock.h"
#include "platform/record_file.h"
#include "platform/system.h"
#include "platform/video.h"
#include "platform/session_hooks.h"
#include "shell/shell.h"

#include <SDL/SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

enum EventKind { EV_KEY, EV_KEYUP, EV_MOUSE, EV_JOY, EV_QUIT };

struct ScriptEvent {
    bool byFrame;
    unsigned long when; // ms, or flip number (from the block's cycle start)
    EventKind kind;
    int a, b;
    int mod;
    int line;
};

struct Shot {
    unsigned long flip;
    std::string file;
};

// The events of one block, each kind in the order it falls due. Block 0 holds
// the events before any `cycle` line, counted from the start of the session.
struct Block {
    std::vector<ScriptEvent> byTime;
    std::vector<ScriptEvent> byFlip;
    size_t nextTime = 0;
    size_t nextFlip = 0;
    Uint32 startMs = 0;
    unsigned long startFlip = 0;
};

struct Session {
    std::vector<Block> blocks;
    size_t current = 0; // the cycle block in force (0: none yet)
    std::vector<unsigned long> checksums;
    std::vector<Shot> shots;
    bool traceFlips = false;
    int lastMode = 0; // size and full-screen flag of the screen last flipped
    unsigned long lastFlipSeen = 0;
    bool resources = false;
    bool finishes = false;
    unsigned long dropped = 0;
    Uint32 limitMs = 0;
    int cycle = 0;
};

Session session;

int stallStep = 0;
Uint32 stallMs = 0;

void stall_save(int step) {
    if (step == stallStep) SDL_Delay(stallMs);
}

int key_from_name(const std::string& name) {
    char* end = nullptr;
    long n = strtol(name.c_str(), &end, 10);
    if (end && *end == 0 && !name.empty()) return int(n);
    std::string want = name;
    for (char& c : want)
        if (c == '_') c = ' ';
    for (int k = 0; k < SDLK_LAST; ++k) {
        const char* kn = SDL_GetKeyName(SDLKey(k));
        if (kn && want == kn) return k;
    }
    return -1;
}

int mod_from_name(const std::string& name) {
    if (name == "lalt") return KMOD_LALT;
    if (name == "ralt") return KMOD_RALT;
    if (name == "lctrl") return KMOD_LCTRL;
    if (name == "shift") return KMOD_LSHIFT;
    if (name == "num") return KMOD_NUM;
    return -1;
}

uint32_t crc32_of(const Uint8* data, size_t n, uint32_t crc) {
    crc = ~crc;
    for (size_t i = 0; i < n; ++i) {
        crc ^= data[i];
        for (int k = 0; k < 8; ++k)
            crc = (crc >> 1) ^ (0xEDB88320u & (0u - (crc & 1u)));
    }
    return ~crc;
}

// The frame the game drew, whatever size the system shows it at.
uint32_t screen_checksum() {
    SDL_Surface* s = video_surface();
    if (!s) return 0;
    SDL_LockSurface(s);
    uint32_t crc = 0;
    // The colours seen, three bytes a pixel: the unused byte of a 32-bit
    // pixel differs between the classic SDL and sdl12-compat.
    const int bpp = s->format->BytesPerPixel;
    Uint8 row[3 * 4096];
    for (int y = 0; y < s->h; ++y) {
        const Uint8* p = static_cast<Uint8*>(s->pixels) + y * s->pitch;
        int w = s->w < 4096 ? s->w : 4096;
        for (int x = 0; x < w; ++x, p += bpp) {
            Uint32 v = 0;
            memcpy(&v, p, size_t(bpp < 4 ? bpp : 4));
            SDL_GetRGB(v, s->format, &row[3 * x], &row[3 * x + 1], &row[3 * x + 2]);
        }
        crc = crc32_of(row, size_t(w) * 3, crc);
    }
    SDL_UnlockSurface(s);
    return crc;
}

void push(const ScriptEvent& e) {
    SDL_Event ev;
    memset(&ev, 0, sizeof ev);
    switch (e.kind) {
    case EV_KEY:
    case EV_KEYUP:
        ev.type = e.kind == EV_KEY ? SDL_KEYDOWN : SDL_KEYUP;
        ev.key.state = e.kind == EV_KEY ? SDL_PRESSED : SDL_RELEASED;
        ev.key.keysym.sym = SDLKey(e.a);
        ev.key.keysym.mod = SDLMod(e.mod);
        break;
    case EV_MOUSE:
        ev.type = SDL_MOUSEBUTTONDOWN;
        ev.button.button = Uint8(e.a);
        ev.button.state = SDL_PRESSED;
        break;
    case EV_JOY:
        ev.type = SDL_JOYBUTTONDOWN;
        ev.jbutton.which = Uint8(e.a);
        ev.jbutton.button = Uint8(e.b);
        ev.jbutton.state = SDL_PRESSED;
        break;
    case EV_QUIT:
        ev.type = SDL_QUIT;
        break;
    }
    SDL_PushEvent(&ev);
}

// Moves the events of a block that are due into out.
void take_due(Block& b, Uint32 now, unsigned long flips, std::vector<ScriptEvent>& out) {
    while (b.nextTime < b.byTime.size() && now >= b.startMs + b.byTime[b.nextTime].when)
        out.push_back(b.byTime[b.nextTime++]);
    while (b.nextFlip < b.byFlip.size() && flips >= b.startFlip + b.byFlip[b.nextFlip].when)
        out.push_back(b.byFlip[b.nextFlip++]);
}

void on_idle(void*) {
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return;
    unsigned long flips = game_flip_count();
    if (flips != session.lastFlipSeen) {
        session.lastFlipSeen = flips;
        // A new display mode is part of the outcome: F1 must switch it everywhere.
        SDL_Surface* screen = SDL_GetVideoSurface();
        if (screen) {
            int full = (screen->flags & SDL_FULLSCREEN) ? 1 : 0;
            int mode = (screen->w * 4096 + screen->h) * 2 + full;
            if (mode != session.lastMode)
                fprintf(stderr, "frame %lu mode %dx%d %s\n", flips, screen->w, screen->h,
                        full ? "fullscreen" : "window");
            session.lastMode = mode;
        }
        if (session.traceFlips)
            fprintf(stderr, "flip %lu at %lu\n", flips, (unsigned long)game_ticks());
        for (unsigned long n : session.checksums)
            if (n == flips) fprintf(stderr, "frame %lu crc %08x\n", n, screen_checksum());
        for (const Shot& s : session.shots)
            if (s.flip == flips && video_surface() &&
                SDL_SaveBMP(video_surface(), s.file.c_str()) != 0)
                fprintf(stderr, "session_runner: cannot save %s\n", s.file.c_str());
    }
    Uint32 now = game_ticks();
    if (session.limitMs && now > session.limitMs) {
        fflush(stdout);
        fprintf(stderr, "session_runner: time limit of %u ms reached\n", session.limitMs);
        exit(3);
    }
    static std::vector<ScriptEvent> due;
    due.clear();
    take_due(session.blocks[0], now, flips, due);
    if (session.current > 0) take_due(session.blocks[session.current], now, flips, due);
    // Events due together go out in script order.
    std::stable_sort(due.begin(), due.end(),
                     [](const ScriptEvent& x, const ScriptEvent& y) { return x.line < y.line; });
    for (const ScriptEvent& e : due)
        push(e);
}

void on_cycle(void*) {
    ++session.cycle;
    if (session.resources) {
        ResourceCounts c = resource_counts();
        fprintf(stderr, "cycle %d surfaces %ld fonts %ld samples %ld\n", session.cycle, c.surfaces,
                c.fonts, c.samples);
    }
    // The previous cycle's events that never came due are dropped.
    if (session.current > 0) {
        const Block& old = session.blocks[session.current];
        session.dropped += (old.byTime.size() - old.nextTime) + (old.byFlip.size() - old.nextFlip);
    }
    session.current = size_t(session.cycle) < session.blocks.size() ? size_t(session.cycle) : 0;
    if (session.current == 0) return;
    Block& b = session.blocks[session.current];
    b.startMs = game_ticks();
    b.startFlip = game_flip_count();
}

void on_finish(void*, int character, float time_ms) {
    fprintf(stderr, "finish %d %f\n", character, double(time_ms));
}

bool parse_event(std::vector<std::string>& w, size_t at, ScriptEvent& e) {
    if (at >= w.size()) return false;
    const std::string& k = w[at];
    e.mod = 0;
    e.a = e.b = 0;
    if (k == "key" || k == "keyup") {
        if (at + 1 >= w.size()) return false;
        e.kind = k == "key" ? EV_KEY : EV_KEYUP;
        e.a = key_from_name(w[at + 1]);
        if (e.a < 0) return false;
        for (size_t i = at + 2; i < w.size(); ++i) {
            int m = mod_from_name(w[i]);
            if (m < 0) return false;
            e.mod |= m;
        }
        return true;
    }
    if (k == "click") {
        e.kind = EV_MOUSE;
        e.a = SDL_BUTTON_LEFT;
        return at + 1 == w.size();
    }
    if (k == "mouse" && at + 2 == w.size()) {
        e.kind = EV_MOUSE;
        e.a = atoi(w[at + 1].c_str());
        return true;
    }
    if (k == "joy" && at + 3 == w.size()) {
        e.kind = EV_JOY;
        e.a = atoi(w[at + 1].c_str());
        e.b = atoi(w[at + 2].c_str());
        return true;
    }
    if (k == "quit" && at + 1 == w.size()) {
        e.kind = EV_QUIT;
        return true;
    }
    return false;
}

bool load_script(const char* path) {
    FILE* f = fopen(path, "r");
    if (!f) {
        fprintf(stderr, "session_runner: cannot open %s\n", path);
        return false;
    }
    session.blocks.assign(1, Block());
    char buf[512];
    int lineNo = 0;
    unsigned long lastTime = 0;
    bool ok = true;
    std::vector<std::string> started; // files written by data-line so far
    while (fgets(buf, sizeof buf, f)) {
        ++lineNo;
        char* hash = strchr(buf, '#');
        if (hash) *hash = 0;
        std::vector<std::string> w;
        for (char* tok = strtok(buf, " \t\r\n"); tok; tok = strtok(nullptr, " \t\r\n"))
            w.push_back(tok);
        if (w.empty()) continue;
        bool good = true;
        if (w[0] == "frame-time" && w.size() == 2) {
            set_simulated_frame_time(Uint32(atoi(w[1].c_str())));
        } else if (w[0] == "joysticks" && w.size() == 2) {
            set_joystick_count_override(atoi(w[1].c_str()));
        } else if (w[0] == "checksum" && w.size() == 2) {
            session.checksums.push_back(strtoul(w[1].c_str(), nullptr, 10));
        } else if (w[0] == "shot" && w.size() == 3) {
            session.shots.push_back(Shot{strtoul(w[1].c_str(), nullptr, 10), w[2]});
        } else if (w[0] == "repeat" && w.size() >= 4) {
            ScriptEvent e{};
            e.line = lineNo;
            e.byFrame = false;
            long count = strtol(w[1].c_str(), nullptr, 10);
            unsigned long step = strtoul(w[2].c_str(), nullptr, 10);
            good = count > 0 && count <= 100000 && parse_event(w, 3, e);
            for (long i = 0; good && i < count; ++i) {
                lastTime += step;
                e.when = lastTime;
                session.blocks.back().byTime.push_back(e);
            }
        } else if (w[0] == "resources" && w.size() == 1) {
            session.resources = true;
        } else if (w[0] == "finishes" && w.size() == 1) {
            session.finishes = true;
        } else if (w[0] == "save-stall" && w.size() == 3) {
            stallStep = atoi(w[1].c_str());
            stallMs = Uint32(strtoul(w[2].c_str(), nullptr, 10));
            set_record_save_hook(stall_save);
        } else if (w[0] == "limit" && w.size() == 2) {
            session.limitMs = Uint32(strtoul(w[1].c_str(), nullptr, 10));
        } else if (w[0] == "data-line" && w.size() >= 2) {
            std::string text;
            for (size_t i = 2; i < w.size(); ++i)
                text += (i > 2 ? " " : "") + w[i];
            text += "\n";
            bool fresh = std::find(started.begin(), started.end(), w[1]) == started.end();
            if (fresh) started.push_back(w[1]);
            FILE* out = fopen(w[1].c_str(), fresh ? "wb" : "ab");
            good = out && fputs(text.c_str(), out) >= 0;
            if (out && fclose(out) != 0) good = false;
        } else if (w[0] == "cycle" && w.size() == 1) {
            session.blocks.push_back(Block());
            lastTime = 0;
        } else if ((w[0] == "at" || w[0] == "after" || w[0] == "frame") && w.size() >= 3) {
            ScriptEvent e{};
            e.line = lineNo;
            unsigned long n = strtoul(w[1].c_str(), nullptr, 10);
            e.byFrame = w[0] == "frame";
            e.when = w[0] == "after" ? lastTime + n : n;
            if (!e.byFrame) lastTime = e.when;
            good = parse_event(w, 2, e);
            if (good) {
                Block& b = session.blocks.back();
                (e.byFrame ? b.byFlip : b.byTime).push_back(e);
            }
        } else {
            good = false;
        }
        if (!good) {
            fprintf(stderr, "session_runner: %s:%d: cannot read this line\n", path, lineNo);
            ok = false;
        }
    }
    fclose(f);
    // Each block's events in the order they fall due; ties keep script order.
    auto earlier = [](const ScriptEvent& x, const ScriptEvent& y) { return x.when < y.when; };
    for (Block& b : session.blocks) {
        std::stable_sort(b.byTime.begin(), b.byTime.end(), earlier);
        std::stable_sort(b.byFlip.begin(), b.byFlip.end(), earlier);
    }
    return ok;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        fprintf(stderr, "usage: session_runner SCRIPT   (run from a run-time tree)\n");
        return 2;
    }
    setenv("SDL_VIDEODRIVER", "dummy", 0);
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    set_simulated_frame_time(10);
    const char* traceFlips = getenv("VRILLON_SESSION_FLIPS");
    session.traceFlips = traceFlips && strcmp(traceFlips, "1") == 0;
    // Key names are known only once SDL's keyboard is set up.
    SDL_Init(SDL_INIT_VIDEO);
    bool loaded = load_script(argv[1]);
    SDL_Quit();
    if (!loaded) return 2;
    set_simulated_clock(true, 0);
    set_idle_hook(on_idle, nullptr);
    set_cycle_hook(on_cycle, nullptr);
    if (session.finishes) set_finish_hook(on_finish, nullptr);
    int status = game_main();
    fflush(stdout);
    if (session.dropped) fprintf(stderr, "session dropped %lu events\n", session.dropped);
    fprintf(stderr, "session exit %d\n", status);
    return status;
}
