#pragma once
// The case of a larger scale than the 1M-row lookups, which main registers
// only when PRVC03_BENCH_SCALE (make bench BENCH_SCALE=10M) asks for it.

namespace prvc03::bench {

// A lookup of `rows` rows beside the 1M-row one.
void RegisterScaleBenchmarks(int rows);

}  // namespace prvc03::bench
