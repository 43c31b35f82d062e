#include "gen_assets.h"

bool make_sounds(const std::string&) {
    return true;
}
