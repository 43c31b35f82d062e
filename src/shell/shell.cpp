#include "shell/shell.h"

int game_main() { return 0; }
