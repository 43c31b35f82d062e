#include "race/race.h"

#include "race/race_draw.h"

#include "archive/archive.h"
#include "archive/game_pictures.h"
#include "input/input.h"
#include "input/screen_keys.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/video.h"
#include "platform/session_hooks.h"
#include "platform/sound.h"

#include <cstdio>
#include <cstring>

namespace {
constexpr int STEP = 5;          // one counted press, one scroll step
constexpr int SCROLL_FROM = 500; // a runner beyond this x drags the view along
constexpr int FINISH_MARGIN = 59;
constexpr int MARK_SPACING = 160;
constexpr Uint32 COUNTDOWN_STEP_MS = 1000;

void play_sample(FSOUND_SAMPLE* sample) {
    if (sample) FSOUND_PlaySound(FSOUND_FREE, sample);
}

void play_end_sound(Race& race, int character) {
    if (!character_in_range(character)) return;
    const EndSound& end = race.assets->endSounds[character];
    play_sample(end.sample);
    if (end.song) {
        FMUSIC_SetLooping(end.song, false);
        FMUSIC_PlaySong(end.song);
    }
}

void start_explosion(Race& race, int character) {
    Effect* e = effect_list_push(race.pointDepart);
    if (e) effect_init(e, race.assets->explosion, &race.runners[character].posRect);
}

void advance_runner(Race& race, int character) {
    const RunnerLook& look = CHARACTER_TABLE[character].runner;
    Runner& r = race.runners[character];
    r.frameIndex += 1;
    if (r.frameIndex >= look.frames) r.frameIndex = 0;
    r.posRect.x = Sint16(r.posRect.x + STEP);
    r.frameRect.x = Sint16(r.frameIndex * look.frameWidth);
    race.carry->frameIndex[character] = r.frameIndex; // kept for the next race
}

void take_presses(Race& race) {
    for (int row = 0; row < PLAYERS; ++row) {
        PlayerControl& pc = race.controls[row];
        // Every row's flags are cleared, whether it plays or not.
        bool pressed = take_press(pc, *race.in);
        if (pc.active && pressed && character_in_range(pc.character))
            advance_runner(race, pc.character);
    }
}

void scroll_view(Race& race) {
    RaceState& s = race.state;
    bool ahead = false;
    for (int c = 0; c < CHARACTER_COUNT; ++c)
        if (race.runners[c].posRect.x > SCROLL_FROM) ahead = true;
    const SDL_Surface* terrain = race.assets->terrain;
    // The screen rectangle's w is the width drawn last: the terrain's end shows.
    if (!ahead || !terrain || s.scrollX + race.carry->screenRect.w >= terrain->w) return;
    s.scrollX = int16_t(s.scrollX + STEP);
    for (int row = 0; row < PLAYERS; ++row) {
        const PlayerControl& pc = race.controls[row];
        if (pc.active && character_in_range(pc.character)) {
            SDL_Rect& p = race.runners[pc.character].posRect;
            p.x = Sint16(p.x - STEP);
        }
    }
}

void left_edge_eliminations(Race& race) {
    int out = 0;
    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        SDL_Rect& p = race.runners[c].posRect;
        if (p.x > 0) continue;
        p.x = 1;
        deactivate_character(race.controls, c);
        start_explosion(race, c);
        ++out;
    }
    if (out > 0) {
        play_sample(race.assets->fatality);
        race.state.playersLeft -= out;
    }
}

void right_edge_limit(Race& race) {
    int width = race.screen ? race.screen->w : 640;
    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        SDL_Rect& p = race.runners[c].posRect;
        if (p.x + p.w > width) p.x = Sint16(width - p.w);
    }
}

void finish_runner(Race& race, int character) {
    RaceState& s = race.state;
    Assets& a = *race.assets;
    RaceCarry& k = *race.carry;
    float t = float(Uint32(game_ticks() - s.startTick));
    run_finish_hook(character, t);
    s.finishCount += 1;
    if (s.finishCount <= CHARACTER_COUNT) {
        HallEntry& r = s.results[s.finishCount - 1];
        r.time_ms = t;
        r.character = character;
    }
    s.markX += MARK_SPACING;
    if (s.finishCount == 1) play_end_sound(race, character);
    char text[32];
    format_seconds(t, text, sizeof text);
    // Only a strictly better time replaces the stored one.
    save_best_time(character, t);
    surface_free(k.dispTime);
    k.dispTime = render_text(a.font, text, black_colour());
    if (!k.dispTime) fatal("Erreur de création de dispTime");
    race_paint_finish_mark(race, character);
    race.runners[character].finished = true;
}

void finishes(Race& race) {
    int line = (race.screen ? race.screen->w : 640) - FINISH_MARGIN;
    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        const Runner& r = race.runners[c];
        if (!r.finished && r.posRect.x + r.posRect.w > line) finish_runner(race, c);
    }
}

void countdown_step(Race& race) {
    RaceState& s = race.state;
    Assets& a = *race.assets;
    RaceCarry& k = *race.carry;
    Uint32 now = game_ticks();
    surface_free(k.Timer);
    snprintf(k.timerText, sizeof k.timerText, "%d", s.countdown);
    k.Timer = render_text(a.font, k.timerText, black_colour());
    if (!k.Timer) fatal("Erreur de création de la surface Timer : %s\n", SDL_GetError());
    if (now - k.lastStepTick <= COUNTDOWN_STEP_MS) return;
    s.countdown -= 1;
    k.lastStepTick = now;
    if (s.countdown > 0) {
        play_sample(a.ding);
        return;
    }
    play_sample(a.start);
    surface_free(k.Timer);
    snprintf(k.timerText, sizeof k.timerText, "GO!");
    k.Timer = render_text(a.font, k.timerText, black_colour());
    s.startTick = game_ticks();
    s.started = true;
}

void false_starts(Race& race) {
    for (int row = 0; row < PLAYERS; ++row) {
        PlayerControl& pc = race.controls[row];
        // The flags stay: a late start still counts once the race is on.
        if (!pc.active || !is_pressing(pc, *race.in)) continue;
        pc.active = false;
        race.state.playersLeft -= 1;
        play_sample(race.assets->fatality);
        if (character_in_range(pc.character)) start_explosion(race, pc.character);
    }
}

void switch_display_mode(Race& race) {
    race.screen = switch_display(*race.fullscreen);
    race_draw_board(race);
}
} // namespace

void deactivate_character(PlayerControl controls[PLAYERS], int character) {
    for (int row = 0; row < PLAYERS; ++row)
        if (controls[row].character == character) controls[row].active = false;
}

void race_start(Race& race, const RaceSetup& setup) {
    memset(&race, 0, sizeof race);
    race.screen = setup.screen;
    race.assets = setup.assets;
    race.carry = setup.carry;
    race.controls = setup.controls;
    race.in = setup.in;
    race.pointDepart = setup.pointDepart;
    race.fatality = setup.fatality;
    race.fullscreen = setup.fullscreen;
    Assets& assets = *setup.assets;
    RaceCarry& carry = *setup.carry;

    // The race paints on the board and the terrain, so both come fresh.
    surface_free(carry.board);
    carry.board =
        load_picture(assets.indexTab, PIC_BOARD, "Erreur de chargement de board.bmp : %s\n");
    race_paint_best_times(race);
    race_draw_board(race);
    surface_free(assets.terrain);
    assets.terrain =
        load_picture(assets.indexTab, PIC_TERRAIN, "Erreur de chargement du terrain : %s\n");

    RaceState& s = race.state;
    s.scrollX = 0;
    s.countdown = 5;
    s.started = false;
    s.finishCount = 0;
    s.playersLeft = setup.players;
    s.startTick = 0;
    for (int i = 0; i < CHARACTER_COUNT; ++i) {
        memcpy(s.results[i].name, "aaa", 4);
        s.results[i].time_ms = NO_TIME_MS;
        s.results[i].character = i;
    }
    s.markX = 0;
    s.quitRequested = false;
    s.complete = false;

    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        const RunnerLook& look = CHARACTER_TABLE[c].runner;
        Runner& r = race.runners[c];
        int frame = carry.frameIndex[c];
        if (frame < 0 || frame >= look.frames) frame = 0;
        r.frameIndex = frame;
        r.frameRect = SDL_Rect{Sint16(frame * look.frameWidth), 0, Uint16(look.frameWidth),
                               Uint16(look.frameHeight)};
        r.posRect = SDL_Rect{Sint16(look.startX), Sint16(look.y), Uint16(look.frameWidth),
                             Uint16(look.frameHeight)};
        r.finished = false;
    }
}

HallPlacements race_placements(const Race& race) {
    const RaceState& s = race.state;
    HallPlacements p;
    memset(&p, 0, sizeof p);
    if (!s.complete) return p;
    p.count = s.playersLeft < CHARACTER_COUNT ? s.playersLeft : CHARACTER_COUNT;
    if (p.count < 0) p.count = 0;
    for (int k = 0; k < p.count; ++k)
        p.results[k] = s.results[k];
    return p;
}

RaceStep race_frame(Race& race) {
    RaceState& s = race.state;
    InputSnapshot& in = *race.in;

    poll_input(in);
    if (take_quit_request(in)) {
        // Cleared on any quit, so a row playing with Left-Alt takes no step
        // in this last frame.
        in.keys[SDLK_F4] = 0;
        in.keys[SDLK_LALT] = 0;
        s.quitRequested = true;
    }
    if (take_key(in, SDLK_ESCAPE)) {
        // A quit in the same frame wins: the program ends, with no name entry.
        if (!s.quitRequested) {
            s.complete = s.finishCount == s.playersLeft;
            race_release_drawing(race);
            effect_list_free(race.pointDepart);
            race.pointDepart = nullptr;
            return RACE_LEFT;
        }
    }
    if (take_key(in, SDLK_F1)) switch_display_mode(race);

    if (s.started) take_presses(race);
    scroll_view(race);
    if (race.fatality) left_edge_eliminations(race);
    right_edge_limit(race);
    finishes(race);

    race_draw_terrain(race);
    if (s.started) {
        if (s.finishCount < s.playersLeft) race_draw_chrono(race);
        race_paint_go(race);
    } else {
        countdown_step(race);
        // Also in the frame of "GO!": a press made with the start is still early.
        if (race.fatality) false_starts(race);
        race_draw_countdown(race);
    }
    race_draw_runners(race);
    if (!effect_list_empty(race.pointDepart)) effects_update(race.screen, race.pointDepart);
    if (s.finishCount == s.playersLeft) race_draw_continue_hint(race);
    game_flip(race.screen);

    if (!s.quitRequested) return RACE_GO_ON;
    race_release_drawing(race);
    return RACE_ENDED_BY_QUIT;
}

RaceEnd run_race(const RaceSetup& setup) {
    // Effects point into the runners: the record stays put until the race ends.
    Race race;
    race_start(race, setup);
    RaceEnd end;
    memset(&end, 0, sizeof end);
    for (;;) {
        RaceStep step = race_frame(race);
        if (step == RACE_LEFT) {
            end.outcome = RACE_BACK_TO_MENU;
            end.placements = race_placements(race);
            return end;
        }
        if (step == RACE_ENDED_BY_QUIT) {
            end.outcome = RACE_QUIT;
            return end;
        }
    }
}
