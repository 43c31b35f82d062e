// The control file as a damaged file: whatever it holds, the records come out in
// range and a save followed by a load gives them back unchanged.
#include "fuzz_common.h"

#include "input/controls.h"

#include <cstdlib>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz_enter_scratch_dir();
    fuzz_write_file("data/control.dat", data, size);
    PlayerControl c[PLAYERS];
    default_controls(c);
    load_save_controls(c, false);
    for (int i = 0; i < PLAYERS; ++i) {
        if (c[i].character < 0 || c[i].character > 3) abort();
        if (c[i].kind < 0 || c[i].kind > 2) abort();
        if (c[i].key < 0 || c[i].key > 322) abort();
        if (c[i].button1 < 0 || c[i].button1 > 9 || c[i].button2 < 0 || c[i].button2 > 9) abort();
        if (c[i].joystick < 0) abort();
    }
    // The press test must stay inside the snapshot whatever the records hold.
    InputSnapshot in;
    memset(&in, 1, sizeof in);
    for (int i = 0; i < PLAYERS; ++i)
        take_press(c[i], in);
    PlayerControl saved[PLAYERS];
    memcpy(saved, c, sizeof saved);
    load_save_controls(c, true);
    PlayerControl again[PLAYERS];
    default_controls(again);
    load_save_controls(again, false);
    for (int i = 0; i < PLAYERS; ++i) {
        if (again[i].character != saved[i].character || again[i].kind != saved[i].kind ||
            again[i].key != saved[i].key || again[i].joystick != saved[i].joystick ||
            again[i].button1 != saved[i].button1 || again[i].button2 != saved[i].button2)
            abort();
    }
    return 0;
}
