#include "support/save_texts.h"

#include "records/records.h"

const char* const SAVE_PATHS[3] = {"data/scores.dat", "data/hall.dat", "data/control.dat"};

std::string old_text(Save s) {
    switch (s) {
    case SCORES:
        return "99999.000000 13250.500000 99999.000000 99999.000000";
    case HALL: {
        std::string t;
        for (int r = 0; r < HALL_LINES; ++r)
            t += std::string(3, char('a' + r)) + " " + std::to_string(90000 + 1000 * r) +
                 ".000000 " + std::to_string(r % 4) + "\n";
        return t;
    }
    case CONTROLS:
        break;
    }
    return "0 1 2 3\n0 0 0 0\n0 0 0 0\n1 1 1 1\n0 0 0 0\n97 122 112 109\n";
}

std::string new_text(Save s) {
    switch (s) {
    case SCORES: {
        // One time per character, the second one new.
        float slots[SCORE_SLOTS];
        for (float& t : slots)
            t = NO_TIME_MS;
        slots[1] = 5000.25f;
        return format_score_slots(slots, SCORE_SLOTS);
    }
    case HALL:
        return "new 05000.000000 2\n" + old_text(HALL).substr(0, 9 * HALL_LINE_WIDTH);
    case CONTROLS:
        break;
    }
    return "0 1 2 3\n0 0 0 0\n0 0 0 0\n1 1 1 1\n0 0 0 0\n97 122 112 300\n";
}
