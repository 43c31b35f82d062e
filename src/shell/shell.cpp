#include "shell/shell.h"

#include "archive/archive.h"
#include "archive/game_pictures.h"
#include "race/race.h"
#include "screens/screens.h"
#include "tables/layout.h"
#include "platform/system.h"
#include "platform/video.h"
#include "platform/session_hooks.h"
#include "platform/sound.h"

#include <SDL/SDL_ttf.h>

#include <cstdio>
#include <cstring>

namespace {

// Loads one sample; on failure prints the message, as a line or not, and ends.
FSOUND_SAMPLE* load_sample(const char* path, const char* message, bool as_line) {
    FSOUND_SAMPLE* s = FSOUND_Sample_Load(FSOUND_FREE, path, 0, 0, 0);
    if (!s) {
        if (as_line) fatal_line(message);
        fatal("%s", message);
    }
    return s;
}

// A character's end sound, under sounds/.
EndSound load_end_sound(const CharacterRow& row, bool song) {
    EndSound end = {nullptr, nullptr};
    if (row.endSoundIsSong != song) return end;
    char path[64];
    snprintf(path, sizeof path, "sounds/%s", row.endSound);
    if (song)
        end.song = FMUSIC_LoadSong(path);
    else
        end.sample = FSOUND_Sample_Load(FSOUND_FREE, path, 0, 0, 0);
    if (!end.song && !end.sample) fatal("Erreur lors du chargement de %s\n", row.endSound);
    return end;
}

// The samples and the songs, in their loading order: the first file missing
// is the one reported. The messages are the game's own, ding's ".wave" and
// the line ends of some included.
void load_sounds(Assets& a) {
    a.ding = load_sample("sounds/ding.wav", "Erreur lors du chargement de ding.wave", false);
    a.start = load_sample("sounds/start.wav", "Erreur lors du chargement de start.wav", false);
    for (int c = 0; c < CHARACTER_COUNT; ++c)
        if (CHARACTER_TABLE[c].endSoundIsSong)
            a.endSounds[c] = load_end_sound(CHARACTER_TABLE[c], true);
    for (int c = 0; c < CHARACTER_COUNT; ++c)
        if (!CHARACTER_TABLE[c].endSoundIsSong)
            a.endSounds[c] = load_end_sound(CHARACTER_TABLE[c], false);
    a.fatality =
        load_sample("sounds/fatality.mp3", "Erreur lors du chargement de fatality.mp3", false);
}

// The window icon; a missing or unreadable picture just leaves the window without one.
void set_window_icon() {
    SDL_Surface* icon = surface_made(SDL_LoadBMP("pics/sonic.bmp"));
    if (!icon) return;
    SDL_WM_SetIcon(icon, nullptr);
    // The video driver keeps its own copy of the icon.
    surface_free(icon);
}

void load_pictures(Assets& a, SDL_Surface* screen) {
    a.terrain = load_picture(a.indexTab, PIC_TERRAIN, "Erreur de chargement du terrain : %s\n");

    for (int c = 0; c < CHARACTER_COUNT; ++c) {
        const CharacterRow& row = CHARACTER_TABLE[c];
        a.spriteSet[c] = reload_pic(a.indexTab, row.sprites);
        if (!a.spriteSet[c])
            fatal("Erreur de chargement du spriteSet %s : %s\n", row.name, SDL_GetError());
        set_colour_key(a.spriteSet[c], a.colorKey, "", row.name);
    }
    load_portraits(a.indexTab, "MAIN / ", a.portraits);

    a.chrono =
        load_picture(a.indexTab, PIC_CHRONO, "MAIN / Erreur de chargement de chrono.bmp : %s\n");
    a.chronoPos.x = Sint16(screen->w / 2 - a.chrono->w / 2);
    a.chronoPos.y = 30;
    a.chronoPos.w = 0;
    a.chronoPos.h = 0;

    a.explosion =
        load_picture(a.indexTab, PIC_EXPLODE, "MAIN / Erreur de chargement de explode.bmp : %s\n");
    set_colour_key(a.explosion, a.colorKey, "", "explosion");
}

// Opens the joysticks the system reports. The input snapshot covers four, so a
// fifth and later stay closed. A count given by a test or a scripted session
// names joysticks that need not exist: those are simply not opened.
void open_joysticks(ShellState& s) {
    s.joysticks = joystick_count();
    for (int j = 0; j < s.joysticks && j < SNAP_JOYSTICKS; ++j) {
        s.assets.joysticks[j] = SDL_JoystickOpen(j);
        if (!s.assets.joysticks[j] && !joystick_count_overridden())
            fatal("Erreur d'ouverture du joystick N°%d\n", j + 1);
    }
}

// F1 may have set a new video mode inside a screen or the race.
SDL_Surface* current_screen(SDL_Surface* previous) {
    SDL_Surface* s = video_surface();
    return s ? s : previous;
}

} // namespace

RaceSetup race_setup(ShellState& s, int players) {
    RaceSetup r;
    r.screen = s.screen;
    r.assets = &s.assets;
    r.carry = &s.carry;
    r.controls = s.controls;
    r.in = &s.input;
    r.pointDepart = s.pointDepart;
    r.players = players;
    r.fatality = s.fatality;
    r.fullscreen = &s.fullscreen;
    return r;
}

void shell_init_state(ShellState& s) {
    memset(&s, 0, sizeof s);
    s.fatality = true;
    s.fullscreen = false;
    default_controls(s.controls);
    strcpy(s.carry.timerText, "0");
    s.carry.lastStepTick = 0;
}

void shell_start_up(ShellState& s) {
    // The first trace of start-up: the launcher's log and the tests look for it.
    printf("long =%d octets\n", 4);
    shell_init_state(s);
    Assets& a = s.assets;
    RaceCarry& k = s.carry;

    a.indexTab = open_index_tab();
    load_save_controls(s.controls, false);
    clear_input(s.input);

    if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_AUDIO | SDL_INIT_JOYSTICK) != 0)
        fatal("Erreur d'initialisation de la SDL : %s\n", SDL_GetError());
    if (TTF_Init() != 0) fatal("Erreur d'initialisation de TTF : %s\n", TTF_GetError());
    if (!FSOUND_Init(44100, 32, 0)) fatal("%s", "Erreur d'initialisation du son");

    load_sounds(a);

    a.font = open_screen_font(SCREEN_FONT_FILE, 20, TTF_STYLE_BOLD);

    k.timerPos.x = 20;
    k.timerPos.y = 10;
    a.chronoTxtPos.x = 300;
    a.chronoTxtPos.y = 30;
    k.surf_chronoTxt = nullptr;

    set_window_icon();
    s.screen = open_window(640, 240, 32, SDL_HWSURFACE | SDL_DOUBLEBUF);
    if (!s.screen) fatal("Erreur de création de la fenêtre 640x240 : %s\n", SDL_GetError());
    SDL_WM_SetCaption("Vrillon", nullptr);
    a.colorKey = key_grey(s.screen);

    load_pictures(a, s.screen);
    k.screenRect.x = 0;
    k.screenRect.y = 0;
    k.screenRect.w = Uint16(s.screen->w);
    k.screenRect.h = Uint16(s.screen->h);

    k.Timer = render_text(a.font, k.timerText, black_colour());
    if (!k.Timer) fatal("Erreur de création de la surface Timer : %s\n", SDL_GetError());

    open_joysticks(s);
    // The kinds follow the joysticks attached now, whatever the file said.
    assign_default_kinds(s.controls, s.joysticks);
}

bool shell_cycle(ShellState& s) {
    run_cycle_hook();
    s.pointDepart = effect_list_create();
    if (!s.pointDepart) fatal_line("Erreur de reservation de mémoire sur pointDepart");
    reset_controls_for_menu(s.controls, s.joysticks);

    int n = main_menu(s.screen, s.controls, s.fullscreen, &s.fatality);
    s.screen = current_screen(s.screen);
    for (int i = 0; i < PLAYERS; ++i)
        s.controls[i].active = i < n;
    // Any value outside 1 to PLAYERS but MENU_QUIT would start a race with
    // no one in it, so it ends the program the same way.
    if (n == MENU_QUIT || n < 1 || n > PLAYERS) return false;

    // Presses latched in the frame a race was left in would otherwise reach
    // the next race's countdown and eliminate their player at its first frame.
    clear_input(s.input);
    RaceEnd end = run_race(race_setup(s, n));
    s.screen = current_screen(s.screen);
    if (end.outcome != RACE_BACK_TO_MENU) return false;
    // Left with Escape: the race has released the effect list.
    s.pointDepart = nullptr;
    shell_hall_placements(s, end.placements);
    return true;
}

void shell_hall_placements(ShellState& s, const HallPlacements& placements) {
    for (int k = 0; k < placements.count; ++k) {
        // A termination signal ends the program: nobody is left to type a name.
        if (termination_requested()) break;
        // The rank is read for each result in turn: the one before may have moved it.
        HallEntry entry = placements.results[k];
        int rank = hall_position(entry.time_ms);
        if (rank >= 0) new_record_screen(s.screen, s.assets.portraits, &entry, rank);
    }
}

void shell_shutdown(ShellState& s) {
    Assets& a = s.assets;
    RaceCarry& k = s.carry;
    for (SDL_Surface* p : a.portraits)
        surface_free(p);
    if (s.pointDepart) effect_list_free(s.pointDepart);
    s.pointDepart = nullptr;
    surface_free(k.board);
    surface_free(k.dispTime);
    surface_free(a.terrain);
    for (SDL_Surface* p : a.spriteSet)
        surface_free(p);
    surface_free(k.Timer);
    surface_free(a.chrono);
    surface_free(k.surf_chronoTxt);
    surface_free(a.explosion);
    font_close(a.font);

    FSOUND_Sample_Free(a.start);
    FSOUND_Sample_Free(a.ding);
    for (const EndSound& end : a.endSounds)
        FSOUND_Sample_Free(end.sample);
    FSOUND_Sample_Free(a.fatality);
    for (const EndSound& end : a.endSounds)
        FMUSIC_FreeSong(end.song);
    free_index_tab(a.indexTab);

    for (int j = 0; j < SNAP_JOYSTICKS; ++j)
        if (a.joysticks[j]) SDL_JoystickClose(a.joysticks[j]);

    close_media();
    memset(&a, 0, sizeof a);
    memset(&k, 0, sizeof k);
    s.screen = nullptr;
}

int game_main() {
    install_termination_handlers();
    intro_screen();
    // A termination signal during the intro ends the program, where a window
    // close only ends the intro; the intro has closed its libraries already.
    if (termination_requested()) return 0;
    ShellState s;
    shell_start_up(s);
    while (shell_cycle(s)) {
    }
    shell_shutdown(s);
    return 0;
}
