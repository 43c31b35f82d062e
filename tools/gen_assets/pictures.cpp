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
    std::vector<ArchivePicture> pics;
    pics.push_back(make_menu_background());     // 0
    pics.push_back(make_controls_background()); // 1
    pics.push_back(make_hall_background());     // 2
    pics.push_back(make_terrain());             // 3
    pics.push_back(make_keyboard_icon());       // 4
    pics.push_back(make_joystick_icon());       // 5
    pics.push_back(make_mouse_icon());          // 6
    for (int who = 0; who < CHARACTER_COUNT; ++who)
        pics.push_back(make_portrait(who)); // 7-10
    for (int who = 0; who < CHARACTER_COUNT; ++who)
        pics.push_back(make_run_strip(who)); // 11-14
    pics.push_back(make_explosion());        // 15
    pics.push_back(make_board());            // 16
    pics.push_back(make_chrono());           // 17
    pics.push_back(make_arrow());            // 18
    fonts_close();

    bool ok = true;
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
