#include "support/solid_pictures.h"

#include "archive/archive_pack.h"

#include <vector>

Uint32 solid_colour(int index) {
    // Distinct, never black, white or the colour-key grey.
    Uint32 r = Uint32(20 + 11 * index), g = Uint32(60 + 7 * index), b = Uint32(200 - 9 * index);
    return r << 16 | g << 8 | b;
}

bool write_solid_archive() {
    const int sizes[19][2] = {{640, 240}, {640, 240}, {640, 240}, {1040, 180}, {45, 30},
                              {45, 30},   {45, 30},   {30, 30},   {30, 30},    {30, 30},
                              {30, 30},   {150, 27},  {80, 28},   {325, 30},   {150, 30},
                              {216, 30},  {640, 60},  {120, 30},  {40, 30}};
    std::vector<ArchivePicture> pics;
    for (int i = 0; i < 19; ++i) {
        ArchivePicture p{sizes[i][0], sizes[i][1], {}};
        p.pixels.assign(size_t(p.width) * p.height, solid_colour(i));
        pics.push_back(p);
    }
    return write_archive("pics/pics.dat", pics);
}
