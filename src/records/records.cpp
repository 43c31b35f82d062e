#include "records/records.h"

const char* const SCORES_PATH = "data/scores.dat";
const char* const HALL_PATH = "data/hall.dat";

float rw_score(int, const float*, int) { return 0.0f; }
long line_offset(FILE*, int) { return 0; }
void rw_hall(HallEntry*, int, int) {}
