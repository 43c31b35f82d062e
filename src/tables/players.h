// The players sharing the computer, and the inputs they run with.
#pragma once

// Player rows: the control file's columns, the menu's choices, the controls
// screen's rows.
constexpr int PLAYERS = 4;

// A player's input, as the control file stores it.
enum InputKind {
    INPUT_KEYBOARD = 0, // one key
    INPUT_MOUSE = 1,    // the left button
    INPUT_JOYSTICK = 2, // two buttons of one joystick, in turn
    INPUT_KINDS
};
