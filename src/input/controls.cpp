#include "input/controls.h"

#include "tables/characters.h"
#include "platform/record_file.h"
#include "platform/system.h"

#include <cctype>
#include <climits>
#include <cstdio>
#include <string>

const char* const CONTROL_PATH = "data/control.dat";

static const int DEFAULT_KEYS[PLAYERS] = {SDLK_a, SDLK_z, SDLK_p, SDLK_m};

void default_controls(PlayerControl controls[PLAYERS]) {
    for (int i = 0; i < PLAYERS; ++i) {
        PlayerControl& c = controls[i];
        c.active = false;
        c.character = i;
        c.button1 = 0;
        c.button2 = 1;
        c.joystick = 0;
        c.nextButton = 0;
        c.kind = INPUT_KEYBOARD;
        c.key = DEFAULT_KEYS[i];
    }
}

// The six stored fields, in file line order.
static int32_t* stored_field(PlayerControl& c, int line) {
    switch (line) {
    case 0:
        return &c.character;
    case 1:
        return &c.joystick;
    case 2:
        return &c.button1;
    case 3:
        return &c.button2;
    case 4:
        return &c.kind;
    default:
        return &c.key;
    }
}

static const int STORED_LINES = 6;

// One number the way "%d" reads it: white space, a sign, digits. A number
// beyond int is kept out of range (at INT_MIN or INT_MAX) instead of being
// wrapped into it. False where no number can be read: the scan stops there,
// as fscanf does on its first unreadable number.
static bool scan_int(const char** at, int32_t* value) {
    const char* p = *at;
    while (std::isspace(static_cast<unsigned char>(*p)))
        ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;
    if (!std::isdigit(static_cast<unsigned char>(*p))) return false;
    long long v = 0;
    for (; std::isdigit(static_cast<unsigned char>(*p)); ++p)
        if (v <= INT_MAX) v = v * 10 + (*p - '0');
    if (negative) v = -v;
    *value = int32_t(v < INT_MIN ? INT_MIN : v > INT_MAX ? INT_MAX : v);
    *at = p;
    return true;
}

void load_save_controls(PlayerControl controls[PLAYERS], bool save) {
    // A save takes its turn with another game saving the same file.
    RecordFile file = save ? open_record_to_update(CONTROL_PATH) : open_record(CONTROL_PATH);
    if (file.state == RECORD_CANNOT_OPEN) fatal("Erreur de chargement du fichier de control");
    if (save) {
        std::string text;
        for (int line = 0; line < STORED_LINES; ++line) {
            // One number per player, parted by a space.
            for (int i = 0; i < PLAYERS; ++i) {
                char number[16];
                snprintf(number, sizeof number, i ? " %d" : "%d", *stored_field(controls[i], line));
                text += number;
            }
            text += '\n';
        }
        // A save that fails has said so and left the old file: the game goes on.
        save_record(file, text);
    } else {
        // The numbers in file order, whatever white space parts them; a
        // number that is missing or unreadable leaves its field as it was, and
        // so do all after it.
        const char* p = file.text.c_str();
        bool reading = true;
        for (int line = 0; line < STORED_LINES && reading; ++line)
            for (int i = 0; i < PLAYERS && reading; ++i)
                reading = scan_int(&p, stored_field(controls[i], line));
    }
    close_record(file);
    if (!save) sanitize_controls(controls);
}

static bool character_held_by_other(const PlayerControl controls[PLAYERS], int row, int ch) {
    for (int i = 0; i < PLAYERS; ++i)
        if (i != row && controls[i].character == ch) return true;
    return false;
}

static bool key_held_by_other(const PlayerControl controls[PLAYERS], int row, int key) {
    for (int i = 0; i < PLAYERS; ++i)
        if (i != row && controls[i].key == key) return true;
    return false;
}

// Only out-of-range values are mended: the rest of the game indexes pictures
// and snapshot flags with them. Conflicts between valid values stay loadable;
// the controls screen is where they get resolved.
void sanitize_controls(PlayerControl controls[PLAYERS]) {
    for (int row = 0; row < PLAYERS; ++row) {
        PlayerControl& c = controls[row];
        if (!character_in_range(c.character)) {
            int ch = 0;
            while (ch < CHARACTER_COUNT - 1 && character_held_by_other(controls, row, ch))
                ++ch;
            c.character = ch;
        }
        if (c.kind < 0 || c.kind >= INPUT_KINDS) c.kind = INPUT_KEYBOARD;
        if (c.key < 0 || c.key >= SNAP_KEYS) {
            // The row's own default first, else the first default nobody holds.
            int key = DEFAULT_KEYS[row];
            for (int i = 0; i < PLAYERS && key_held_by_other(controls, row, key); ++i)
                if (!key_held_by_other(controls, row, DEFAULT_KEYS[i])) key = DEFAULT_KEYS[i];
            c.key = key;
        }
        if (c.button1 < 0 || c.button1 >= SNAP_JOY_BUTTONS) c.button1 = 0;
        if (c.button2 < 0 || c.button2 >= SNAP_JOY_BUTTONS) c.button2 = 1;
        if (c.joystick < 0) c.joystick = 0;
    }
}

bool controls_conflict(const PlayerControl controls[PLAYERS]) {
    const int joysticks = joystick_count();
    int mice = 0;
    int sticks = 0;
    for (int k = 0; k < PLAYERS; ++k) {
        const PlayerControl& c = controls[k];
        switch (c.kind) {
        case INPUT_KEYBOARD:
            // Forward only: a later mouse or joystick row still holding this
            // key clashes, an earlier one does not.
            for (int j = k + 1; j < PLAYERS; ++j)
                if (controls[j].key == c.key) return true;
            break;
        case INPUT_MOUSE:
            if (++mice > 1) return true;
            break;
        case INPUT_JOYSTICK:
            if (++sticks > joysticks) return true;
            break;
        default:
            break;
        }
        for (int j = k + 1; j < PLAYERS; ++j)
            if (controls[j].character == c.character) return true;
        if (c.kind == INPUT_JOYSTICK) {
            for (int j = k + 1; j < PLAYERS; ++j)
                if (controls[j].kind == INPUT_JOYSTICK && controls[j].joystick == c.joystick)
                    return true;
            if (c.button1 == c.button2) return true;
        }
    }
    return false;
}

// Numbers outside the snapshot read as not set and are never cleared.
static bool joy_in_range(int joystick, int button) {
    return joystick >= 0 && joystick < SNAP_JOYSTICKS && button >= 0 && button < SNAP_JOY_BUTTONS;
}

static bool joy_set(const InputSnapshot& in, int joystick, int button) {
    return joy_in_range(joystick, button) && in.joyButtons[joystick][button];
}

static void joy_clear(InputSnapshot& in, int joystick, int button) {
    if (joy_in_range(joystick, button)) in.joyButtons[joystick][button] = 0;
}

static bool key_set(const InputSnapshot& in, int key) {
    return key >= 0 && key < SNAP_KEYS && in.keys[key];
}

bool is_pressing(const PlayerControl& row, const InputSnapshot& in) {
    switch (row.kind) {
    case INPUT_KEYBOARD:
        return key_set(in, row.key);
    case INPUT_MOUSE:
        // Every mouse player uses the left button.
        return in.mouseButtons[SDL_BUTTON_LEFT] != 0;
    case INPUT_JOYSTICK: {
        bool a = joy_set(in, row.joystick, row.button1);
        bool b = joy_set(in, row.joystick, row.button2);
        return (a && row.nextButton != 2) || (b && row.nextButton != 1);
    }
    default:
        return false;
    }
}

bool take_press(PlayerControl& row, InputSnapshot& in) {
    const bool pressing = is_pressing(row, in);
    // Tracked for every row whatever its kind, so a keyboard row's leftover
    // joystick buttons move its nextButton too.
    if (joy_set(in, row.joystick, row.button1))
        row.nextButton = 2;
    else if (joy_set(in, row.joystick, row.button2))
        row.nextButton = 1;
    switch (row.kind) {
    case INPUT_KEYBOARD:
        if (row.key >= 0 && row.key < SNAP_KEYS) in.keys[row.key] = 0;
        break;
    case INPUT_MOUSE:
        in.mouseButtons[SDL_BUTTON_LEFT] = 0;
        break;
    case INPUT_JOYSTICK:
        joy_clear(in, row.joystick, row.button1);
        joy_clear(in, row.joystick, row.button2);
        break;
    default:
        break;
    }
    return pressing;
}

void assign_default_kinds(PlayerControl controls[PLAYERS], int joysticks) {
    for (int i = 0; i < PLAYERS; ++i) {
        if (i < joysticks) {
            controls[i].kind = INPUT_JOYSTICK;
            controls[i].joystick = i;
        } else if (i == joysticks) {
            controls[i].kind = INPUT_MOUSE;
        } else {
            controls[i].kind = INPUT_KEYBOARD;
        }
    }
}

void reset_controls_for_menu(PlayerControl controls[PLAYERS], int joysticks) {
    for (int i = 0; i < PLAYERS; ++i) {
        controls[i].nextButton = 0;
        if (i >= joysticks) controls[i].joystick = 0;
    }
}
