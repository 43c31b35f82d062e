// gen_assets GAME_DIR TEMPLATE_DIR: writes pictures and sounds into GAME_DIR
// and the default record files into TEMPLATE_DIR/data.
#include "gen_assets.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 3) {
        fprintf(stderr, "usage: gen_assets GAME_DIR TEMPLATE_DIR\n");
        return 2;
    }
    bool ok = make_pictures(argv[1]);
    ok = make_sounds(argv[1]) && ok;
    ok = make_data(argv[2]) && ok;
    return ok ? 0 : 1;
}
