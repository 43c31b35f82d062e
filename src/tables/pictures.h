// The pictures of the archive, by number. The numbers are the archive's
// format: a picture keeps its number for ever, and a new one goes at the end.
#pragma once

enum PictureNumber {
    PIC_MENU = 0,
    PIC_OPTION = 1,
    PIC_HALL = 2,
    PIC_TERRAIN = 3,
    PIC_CLAVIER = 4,
    PIC_JOYSTICK = 5,
    PIC_SOURIS = 6,
    PIC_SONIC = 7,
    PIC_MARIO = 8,
    PIC_ROAD = 9,
    PIC_SHREK = 10,
    PIC_SPRITES_SONIC = 11,
    PIC_SPRITES_MARIO = 12,
    PIC_SPRITES_ROAD = 13,
    PIC_SPRITES_SHREK = 14,
    PIC_EXPLODE = 15,
    PIC_BOARD = 16,
    PIC_CHRONO = 17,
    PIC_ARROW = 18,
    PICTURE_COUNT // the archive's index holds one entry per picture
};
