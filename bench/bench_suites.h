// Each file of benchmarks registers its own, in the order they are reported.
#pragma once

// Race frame and countdown frame, each beside its floor (bench_race.cpp).
void register_race_benchmarks();
// Name-entry and zoom-in frames beside their floors; the idle screens' CPU use
// (bench_screens.cpp).
void register_screen_benchmarks();
// Archive load and start-up beside their floors; a whole session's peak
// memory (bench_loading.cpp).
void register_loading_benchmarks();
