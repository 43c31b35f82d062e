#include "screens/screens.h"

void intro_screen() {}
