#include "race/race_draw.h"

#include "records/records.h"
#include "tables/layout.h"
#include "platform/clock.h"
#include "platform/system.h"
#include "platform/video.h"

#include <cstdio>

namespace {
constexpr Sint16 MARK_PORTRAIT_X = 250;
constexpr Sint16 MARK_TIME_X = 285;

// The hint once the race is complete, centred in the second lane's band
// (between its lines at y 89 and 118): by then every runner stands past the
// finish line or is gone, and the plain track keeps black text readable.
// Latin-1, as TTF_RenderText reads it: \311 is É.
const char* const CONTINUE_HINT = "\311chap : continuer";
constexpr Sint16 HINT_Y = 92;

} // namespace

void race_paint_best_times(Race& race) {
    Assets& a = *race.assets;
    RaceCarry& k = *race.carry;
    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        float unused = 0.0f;
        float best = rw_score(c, &unused, 0);
        char text[32];
        format_seconds(best, text, sizeof text);
        surface_free(k.dispTime);
        k.dispTime = render_text(a.font, text, black_colour());
        if (!k.dispTime) fatal("Erreur de création de dispTime");
        draw_picture(k.board, k.dispTime, CHARACTER_TABLE[c].bestTimeX,
                     CHARACTER_TABLE[c].bestTimeY);
    }
}

void race_draw_board(Race& race) {
    draw_picture(race.screen, race.carry->board, 0, BOARD_Y);
}

void race_draw_terrain(Race& race) {
    Assets& a = *race.assets;
    RaceCarry& k = *race.carry;
    if (!a.terrain || !race.screen) return;
    SDL_Rect source = {race.state.scrollX, 0, Uint16(a.terrain->w), Uint16(race.screen->h)};
    // The blit leaves the drawn width in screenRect.w: scrolling reads it.
    SDL_BlitSurface(a.terrain, &source, race.screen, &k.screenRect);
}

void race_draw_chrono(Race& race) {
    Assets& a = *race.assets;
    RaceCarry& k = *race.carry;
    const RaceState& s = race.state;
    char text[32];
    format_seconds(float(Uint32(game_ticks() - s.startTick)), text, sizeof text);
    surface_free(k.surf_chronoTxt);
    k.surf_chronoTxt = render_text(a.font, text, black_colour());
    if (!k.surf_chronoTxt) fatal("Erreur de création de surf_chronoTxt");
    draw_picture(race.screen, a.chrono, a.chronoPos.x, a.chronoPos.y);
    draw_picture(race.screen, k.surf_chronoTxt, a.chronoTxtPos.x, a.chronoTxtPos.y);
}

void race_paint_go(Race& race) {
    Assets& a = *race.assets;
    RaceCarry& k = *race.carry;
    // "GO!" becomes part of the terrain and scrolls away with it; once out of
    // view it is no longer painted. timerPos.w holds the text's drawn width.
    if (!k.Timer || !a.terrain) return;
    if (race.state.scrollX < 20 + k.timerPos.w)
        SDL_BlitSurface(k.Timer, nullptr, a.terrain, &k.timerPos);
}

void race_draw_countdown(Race& race) {
    RaceCarry& k = *race.carry;
    if (!k.Timer || !race.screen) return;
    SDL_BlitSurface(k.Timer, nullptr, race.screen, &k.timerPos);
}

void race_draw_runners(Race& race) {
    Assets& a = *race.assets;
    if (!race.screen) return;
    for (int row = 0; row < PLAYERS; ++row) {
        const PlayerControl& pc = race.controls[row];
        if (!pc.active || !character_in_range(pc.character)) continue;
        Runner& r = race.runners[pc.character];
        SDL_Surface* sprites = a.spriteSet[pc.character];
        // The clipped rectangle written back into posRect is part of the rules.
        if (sprites) SDL_BlitSurface(sprites, &r.frameRect, race.screen, &r.posRect);
    }
}

void race_paint_finish_mark(Race& race, int character) {
    Assets& a = *race.assets;
    RaceCarry& k = *race.carry;
    int markX = race.state.markX;
    if (character_in_range(character))
        draw_picture(a.terrain, a.portraits[character], markX + MARK_PORTRAIT_X, 0);
    draw_picture(a.terrain, k.dispTime, markX + MARK_TIME_X, 0);
}

void race_draw_continue_hint(Race& race) {
    Assets& a = *race.assets;
    if (!race.screen) return;
    // Made once per race; a hint that cannot be made is simply not shown.
    if (!race.continueHint) race.continueHint = render_text(a.font, CONTINUE_HINT, black_colour());
    if (!race.continueHint) return;
    draw_picture(race.screen, race.continueHint, (race.screen->w - race.continueHint->w) / 2,
                 HINT_Y);
}

void race_release_drawing(Race& race) {
    surface_free(race.continueHint);
    race.continueHint = nullptr;
}
