// Every picture of the archive, drawn from code, and the window icon.
#include "gen_assets.h"
#include "pic_parts.h"

#include <cstdio>
#include <sys/stat.h>

bool make_pictures(const std::string& dir) {
    mkdir(dir.c_str(), 0755);
    mkdir((dir + "/pics").c_str(), 0755);
    // Every screen's labels are lettered into its picture: no font, no pictures.
    if (!fonts_ready() || text_width(FONT_COMIC, 10, "A") <= 0 ||
        text_width(FONT_TITLE, 10, "A") <= 0) {
        fprintf(stderr, "gen_assets: the lettering fonts are missing, no pictures made\n");
        return false;
    }
    // Each picture in its numbered place.
    std::vector<ArchivePicture> pics(PICTURE_COUNT);
    pics[PIC_MENU] = make_menu_background();
    pics[PIC_OPTION] = make_controls_background();
    pics[PIC_HALL] = make_hall_background();
    pics[PIC_TERRAIN] = make_terrain();
    pics[PIC_CLAVIER] = make_keyboard_icon();
    pics[PIC_JOYSTICK] = make_joystick_icon();
    pics[PIC_SOURIS] = make_mouse_icon();
    for (int who = 0; who < CHARACTER_COUNT; ++who) {
        pics[CHARACTER_TABLE[who].portrait] = make_portrait(who);
        pics[CHARACTER_TABLE[who].sprites] = make_run_strip(who);
    }
    pics[PIC_EXPLODE] = make_explosion();
    pics[PIC_BOARD] = make_board();
    pics[PIC_CHRONO] = make_chrono();
    pics[PIC_ARROW] = make_arrow();
    fonts_close();

    bool ok = true;
    for (int i = 0; i < PICTURE_COUNT; ++i)
        if (pics[i].width <= 0 || pics[i].height <= 0) {
            fprintf(stderr, "gen_assets: no maker for picture %d (pictures.cpp)\n", i);
            ok = false;
        }
    if (!ok) return false;
    SDL_Surface* icon = surface_from_picture(make_portrait(0, 32));
    if (!icon || SDL_SaveBMP(icon, (dir + "/pics/sonic.bmp").c_str()) != 0) {
        fprintf(stderr, "gen_assets: cannot write pics/sonic.bmp: %s\n", SDL_GetError());
        ok = false;
    }
    if (icon) SDL_FreeSurface(icon);
    if (!write_archive((dir + "/pics/pics.dat").c_str(), pics)) {
        fprintf(stderr, "gen_assets: cannot write pics/pics.dat\n");
        ok = false;
    }
    return ok;
}
