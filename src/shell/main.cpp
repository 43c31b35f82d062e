#include "shell/shell.h"

#include <SDL/SDL.h>

// The game takes no options: the arguments are ignored.
int main(int, char**) {
    return game_main();
}
