// Placeholder pictures of the right sizes until the art lands.
#include "gen_assets.h"

#include "archive/archive_pack.h"

#include <sys/stat.h>

bool make_pictures(const std::string& dir) {
    mkdir(dir.c_str(), 0755);
    mkdir((dir + "/pics").c_str(), 0755);
    const int sizes[19][2] = {{640, 240}, {640, 240}, {640, 240}, {1040, 180}, {45, 30},
                              {45, 30},   {45, 30},   {30, 30},   {30, 30},    {30, 30},
                              {30, 30},   {150, 27},  {80, 28},   {325, 30},   {150, 30},
                              {216, 30},  {640, 60},  {120, 30},  {40, 30}};
    std::vector<ArchivePicture> pics;
    for (int i = 0; i < 19; ++i) {
        ArchivePicture p{sizes[i][0], sizes[i][1], {}};
        p.pixels.assign(size_t(p.width) * p.height, 0x00336699u + 0x00101010u * i);
        pics.push_back(p);
    }
    SDL_Surface* icon = surface_from_picture(pics[7]);
    bool ok = icon && SDL_SaveBMP(icon, (dir + "/pics/sonic.bmp").c_str()) == 0;
    if (icon) SDL_FreeSurface(icon);
    return write_archive((dir + "/pics/pics.dat").c_str(), pics) && ok;
}
