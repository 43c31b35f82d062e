// Where the screens and the race put things, for the game and for the
// generator that draws the pictures they are put on: both read it from here,
// so a picture and what is written over it cannot drift apart. Places that
// depend on one picture alone stay with the code that draws on it.
#pragma once

#include "tables/characters.h"
#include "tables/players.h"

// The font every screen and the race write with (Debian's Comic Neue, under
// this name); the generator letters the pictures with the same face.
constexpr const char* SCREEN_FONT_FILE = "font/comic.ttf";
// The main menu's texts, the best times among them, are this size.
constexpr int MENU_FONT_SIZE = 20;

// The main menu. The players' rows, one per number of players: the arrow
// stands at MENU_ARROW_X beside row n (1 to PLAYERS), its top at
// MENU_ARROW_TOP + MENU_ROW_STEP * (n - 1); the row's device picture at
// MENU_DEVICE_X, MENU_DEVICE_TOP + MENU_DEVICE_STEP * (n - 1).
constexpr int MENU_ARROW_X = 60;
constexpr int MENU_ARROW_TOP = 50;
constexpr int MENU_ROW_STEP = 35;
constexpr int MENU_DEVICE_X = 210;
constexpr int MENU_DEVICE_TOP = 46;
constexpr int MENU_DEVICE_STEP = 36;
// The best times, one row per character, share the panel's height: rows 35
// apart for four characters, closer for more.
constexpr int MENU_TIME_X = 505;
constexpr int MENU_TIME_TOP = 45;
constexpr int MENU_TIMES_HEIGHT = 140;
constexpr int MENU_TIME_STEP = MENU_TIMES_HEIGHT / CHARACTER_COUNT;
// The fatality option's text ("ON " or "OFF").
constexpr int MENU_OPTION_X = 210;
constexpr int MENU_OPTION_Y = 203;

// The controls screen: one row per player, the first at CONTROLS_ROW_TOP; in
// each, the portrait, the device picture and three columns of text.
constexpr int CONTROLS_ROW_TOP = 45;
constexpr int CONTROLS_ROW_STEP = 35;
constexpr int CONTROLS_ROW_HEIGHT = 30;
constexpr int CONTROLS_PORTRAIT_X = 55;
constexpr int CONTROLS_DEVICE_X = 85;
constexpr int CONTROLS_COLUMNS = 3;
constexpr int CONTROLS_TEXT_X[CONTROLS_COLUMNS] = {135, 450, 530};

// The hall of fame: two columns of rows, the first ranks on the left; in each
// row the portrait, the name and the time from the row's left edge.
constexpr int HALL_ROWS_PER_COLUMN = 5;
constexpr int HALL_COLUMN_X = 275;
constexpr int HALL_ROW_STEP = 46;
constexpr int HALL_PORTRAIT_X = 30;
constexpr int HALL_NAME_X = 90;
constexpr int HALL_TIME_X = 150;

// The race's track: lane c runs from LANE_EDGES[c] to LANE_EDGES[c + 1] on
// the terrain, and character c's runner stands in it (the table's lane y).
constexpr float LANE_EDGES[CHARACTER_COUNT + 1] = {58.5f, 89.5f, 119.5f, 149.5f, 178.5f};
static_assert(LANE_EDGES[CHARACTER_COUNT] > LANE_EDGES[CHARACTER_COUNT - 1],
              "every character needs a lane: give LANE_EDGES one more edge");
// The board of best times under the track; each character's best time is
// written at its place in the character table (bestTimeX, bestTimeY).
constexpr int BOARD_Y = 180;
constexpr int BOARD_WIDTH = 640;
constexpr int BOARD_HEIGHT = 60;
