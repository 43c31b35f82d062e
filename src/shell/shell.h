// The application shell: start-up, the menu-and-race cycle, shutdown.
#pragma once

// The whole program; returns the exit status of a normal shutdown (0).
int game_main();
