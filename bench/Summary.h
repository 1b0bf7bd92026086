#pragma once
// Measuring helpers of the benchmarks: timing one call, running a measure and
// its baselines interleaved and taking medians, and the summary table that
// main prints after every case has run, one row per goal.

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace prvc03::bench {

// Seconds taken by one call of `action`.
template <class Action>
double TimeOf(Action&& action) {
    const auto start = std::chrono::steady_clock::now();
    action();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Repetitions per figure: PRVC03_BENCH_REPS, at least 5.
int Repetitions();

double Median(std::vector<double> values);

// Runs every action Repetitions() times, interleaved (forward on even rounds,
// backward on odd ones, so that no action always follows the same one), after
// one untimed warm-up round when `warmUp` is set. Each action returns the
// seconds of its timed part, so that it can prepare outside the clock. Gives
// the median of each action, in the order given. `minimumReps` raises the
// repetitions of short cases, whose figures a busy machine spreads most.
std::vector<double> Interleaved(const std::vector<std::function<double()>>& actions,
                                bool warmUp = true, int minimumReps = 0);

// Texts for the table.
std::string Ms(double seconds);
std::string Bytes(double bytes);
std::string Count(double count);
std::string Ratio(double ratio);
std::string RowsLabel(int rows);

// One line of the summary: the figure, its baseline (measured in the same
// run) and their ratio, the goal and whether it is met.
struct SummaryRow {
    std::string measure;
    std::string size;
    std::string figure;
    std::string baseline;  // what the baseline is, and its figure
    std::string ratio;
    std::string goal;
    bool met = true;
    // A figure reported without a goal of its own: "-" in the met column.
    bool reported = false;
};

void AddSummaryRow(SummaryRow row);
// A note printed under the table: what a figure is made of, where a goal's
// remaining time goes.
void AddSummaryNote(std::string note);
// Prints the table to standard output; returns the number of goals not met.
int PrintSummary();

}  // namespace prvc03::bench
