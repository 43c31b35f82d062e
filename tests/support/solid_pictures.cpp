#include "support/solid_pictures.h"

#include "archive/archive.h"
#include "archive_pack/archive_pack.h"
#include "tables/characters.h"

#include <vector>

Uint32 solid_colour(int index) {
    // Distinct, never black, white or the colour-key grey.
    Uint32 r = Uint32(20 + 11 * index), g = Uint32(60 + 7 * index), b = Uint32(200 - 9 * index);
    return r << 16 | g << 8 | b;
}

bool write_solid_archive() {
    struct Size {
        int w, h;
    };
    Size sizes[INDEX_ENTRIES] = {};
    sizes[PIC_MENU] = sizes[PIC_OPTION] = sizes[PIC_HALL] = {640, 240};
    sizes[PIC_TERRAIN] = {1040, 180};
    sizes[PIC_CLAVIER] = sizes[PIC_JOYSTICK] = sizes[PIC_SOURIS] = {45, 30};
    sizes[PIC_EXPLODE] = {216, 30};
    sizes[PIC_BOARD] = {640, 60};
    sizes[PIC_CHRONO] = {120, 30};
    sizes[PIC_ARROW] = {40, 30};
    for (const CharacterRow& row : CHARACTER_TABLE) {
        sizes[row.portrait] = {30, 30};
        sizes[row.sprites] = {row.runner.frameWidth * row.runner.frames, row.runner.frameHeight};
    }
    std::vector<ArchivePicture> pics;
    for (int i = 0; i < INDEX_ENTRIES; ++i) {
        ArchivePicture p{sizes[i].w, sizes[i].h, {}};
        p.pixels.assign(size_t(p.width) * p.height, solid_colour(i));
        pics.push_back(p);
    }
    return write_archive("pics/pics.dat", pics);
}
