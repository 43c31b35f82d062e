#include "input/controls.h"

const char* const CONTROL_PATH = "data/control.dat";

void default_controls(PlayerControl*) {}
void load_save_controls(PlayerControl*, bool) {}
void sanitize_controls(PlayerControl*) {}
bool controls_conflict(const PlayerControl*) { return false; }
bool take_press(PlayerControl&, InputSnapshot&) { return false; }
bool is_pressing(const PlayerControl&, const InputSnapshot&) { return false; }
void assign_default_kinds(PlayerControl*, int) {}
void reset_controls_for_menu(PlayerControl*, int) {}
