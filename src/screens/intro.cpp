#include "screens/intro.h"

#include "screens/screens.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/video.h"

#include <SDL/SDL_rotozoom.h>
#include <cmath>
#include <cstring>

namespace {
constexpr double PI = 3.141592654;
constexpr double SMALL_STEP = 1.145915590112021;  // 0.02 radian
constexpr double LARGE_STEP = 0.5729577950560105; // 0.01 radian
constexpr int LINE_Y = 400;

// Angle sums are kept in single precision, as the curve was tuned with them.
void advance(float& a, double step) {
    a = float(double(a) + step);
}

void place_dot(IntroState& s, double cx, double radius, float angle) {
    double rad = angle * PI / 180.0;
    s.dot.x = Sint16(cx - radius * cos(rad));
    s.dot.y = Sint16(LINE_Y - radius * sin(rad));
}

void blit_dot(IntroState& s) {
    if (s.dotCount < INTRO_MAX_DOTS) s.dots[s.dotCount++] = s.dot;
}

void enter_phase(IntroState& s, IntroPhase phase) {
    s.phase = phase;
    if (s.phaseStart[phase] == 0) s.phaseStart[phase] = s.frame;
}

// One phase's step; true when it handed over to the next phase.
bool run_phase(IntroState& s, Uint32 now) {
    switch (s.phase) {
    case INTRO_LINE:
        s.dot.x = Sint16(s.x0);
        s.dot.y = LINE_Y;
        blit_dot(s);
        s.x0 += 1.0f;
        if (s.x0 >= 100) {
            enter_phase(s, INTRO_FIRST_ARCH);
            return true;
        }
        return false;
    case INTRO_FIRST_ARCH: {
        bool next = false;
        if (s.a1 <= 180) advance(s.a1, SMALL_STEP);
        place_dot(s, 150, 50, s.a1);
        if (s.a1 > 180) {
            s.a1 = 0;
            next = true;
        }
        blit_dot(s);
        if (next) enter_phase(s, INTRO_TWIN_ARCHES);
        return next;
    }
    case INTRO_TWIN_ARCHES:
        if (s.a1 <= 180) {
            advance(s.a1, SMALL_STEP);
            place_dot(s, 250, 50, s.a1);
            blit_dot(s);
        }
        if (s.a2 <= 180) {
            advance(s.a2, LARGE_STEP);
            place_dot(s, 300, 100, s.a2);
            blit_dot(s);
        }
        if (s.a1 > 180 && s.a2 > 180) {
            s.a1 = s.a2 = 0;
            enter_phase(s, INTRO_LAST_ARCH);
            return true;
        }
        return false;
    case INTRO_LAST_ARCH: {
        bool next = false;
        if (s.a1 <= 180) advance(s.a1, SMALL_STEP);
        place_dot(s, 425, 25, s.a1);
        if (s.a1 > 180) {
            s.a1 = 0;
            next = true;
        }
        blit_dot(s);
        if (next) enter_phase(s, INTRO_RUN_OUT);
        return next;
    }
    case INTRO_RUN_OUT:
        s.dot.x += 1;
        blit_dot(s);
        if (s.dot.x > 639) {
            s.t0 = now;
            enter_phase(s, INTRO_TITLE);
            return true;
        }
        return false;
    case INTRO_TITLE: {
        Uint32 elapsed = now - s.t0;
        if (elapsed < 2000) {
            s.title = INTRO_TITLE_STRAIGHT;
            s.soundArmed = true;
        } else if (elapsed > 2000) {
            s.title = INTRO_TITLE_TILTED;
            if (s.soundArmed) {
                s.playSound = true;
                s.soundsStarted += 1;
                s.soundArmed = false;
            }
        }
        // At exactly 2000 ms the buffer keeps what it holds.
        if (elapsed > 4000) s.done = true;
        return false;
    }
    default:
        return false;
    }
}
} // namespace

void intro_state_init(IntroState& s) {
    memset(&s, 0, sizeof s);
    s.dot.x = 0;
    s.dot.y = LINE_Y;
    s.dot.w = 2;
    s.dot.h = 2;
}

void intro_step(IntroState& s, Uint32 now) {
    s.frame += 1;
    if (s.frame == 1) s.phaseStart[INTRO_LINE] = 1;
    s.dotCount = 0;
    s.title = INTRO_TITLE_KEEP;
    s.playSound = false;
    while (run_phase(s, now)) {
    }
}

void intro_screen_enter(IntroGraphics& g) {
    memset(&g, 0, sizeof g);
    if (SDL_Init(SDL_INIT_TIMER | SDL_INIT_AUDIO | SDL_INIT_VIDEO) != 0)
        fatal("INTRO / Err init SDL: %s\n", SDL_GetError());
    g.screen =
        open_window(640, 480, 32, SDL_FULLSCREEN | SDL_DOUBLEBUF | SDL_RESIZABLE | SDL_HWSURFACE);
    if (!g.screen) fatal("INTRO / Err création de la fenêtre : %s\n", SDL_GetError());
    SDL_ShowCursor(0);
    if (TTF_Init() != 0) fatal("INTRO / Erreur d'initialisation de TTF : %s\n", SDL_GetError());
    if (!FSOUND_Init(44100, 32, 0)) fatal("%s", "INTRO / Erreur d'initialisation du son");
    // The sample, the font and the titles may be missing: the intro runs on without them.
    g.sample = FSOUND_Sample_Load(FSOUND_FREE, "sounds/electric.wav", 0, 0, 0);
    g.font = font_open("font/hackslsh.ttf", 150);
    g.title = render_text(g.font, "Tarn Wyvern", white_colour());
    g.tampon =
        surface_made(SDL_CreateRGBSurface(SDL_HWSURFACE, g.screen->w - 45, 200, 32, 0, 0, 0, 0));
    if (!g.tampon) fatal("INTRO / Erreur de création de la surface tampon : %s\n", SDL_GetError());
    if (g.title) g.tilted = surface_made(rotozoomSurface(g.title, 5.0, 1.1, 1));
    fill_black(g.screen);
    g.Pix = surface_made(SDL_CreateRGBSurface(SDL_HWSURFACE, 2, 2, 32, 0, 0, 0, 0));
    if (!g.Pix) fatal("INTRO / Err de création de Pix : %s\n", SDL_GetError());
    SDL_FillRect(g.Pix, nullptr, SDL_MapRGB(g.Pix->format, 255, 255, 255));
}

bool intro_screen_step(IntroState& s, IntroGraphics& g) {
    SDL_Event ev;
    while (game_poll_event(&ev)) {
        // Keys of its own, not the screens' shared ones: the window's close
        // skips the intro like Escape, and Left-Alt+F4 does nothing here.
        if ((ev.type == SDL_KEYDOWN && ev.key.keysym.sym == SDLK_ESCAPE) || ev.type == SDL_QUIT)
            s.done = true;
    }
    intro_step(s, game_ticks());
    // The screen is never cleared: every dot stays and the trail builds up.
    for (int i = 0; i < s.dotCount; ++i)
        draw_picture(g.screen, g.Pix, s.dots[i].x, s.dots[i].y);
    if (s.title != INTRO_TITLE_KEEP) {
        fill_black(g.tampon);
        draw_picture(g.tampon, s.title == INTRO_TITLE_STRAIGHT ? g.title : g.tilted, 0, 0);
    }
    if (s.playSound && g.sample) FSOUND_PlaySound(FSOUND_FREE, g.sample);
    draw_picture(g.screen, g.tampon, 45, 0);
    game_flip(g.screen);
    game_delay(10);
    return s.done;
}

void intro_screen_leave(IntroGraphics& g) {
    surface_free(g.Pix);
    surface_free(g.title);
    surface_free(g.tampon);
    surface_free(g.tilted);
    FSOUND_Sample_Free(g.sample);
    font_close(g.font);
    TTF_Quit();
    FSOUND_Close();
    SDL_Quit();
    memset(&g, 0, sizeof g);
}

void intro_screen() {
    IntroGraphics g;
    IntroState s;
    intro_screen_enter(g);
    intro_state_init(s);
    while (!intro_screen_step(s, g)) {
    }
    intro_screen_leave(g);
}
