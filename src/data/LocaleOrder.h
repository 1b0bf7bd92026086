#pragma once
// The title sort of a text column: a stable permutation of the records by
// their texts in a locale's collation, NULL first. Each distinct text gets
// one precomputed sort key (two threads share the work on large columns),
// the distinct keys are sorted once, bucket by bucket, and ranked, and the
// records are then placed by rank with a counting sort, which keeps records
// of equal keys in result-set order. Descending reverses the comparison, not
// the result, so equal keys keep result-set order there too (and NULL comes
// last).

#include <QLocale>

#include <cstdint>
#include <vector>

namespace prvc03 {

class ResultColumn;

// Record positions of a text column in sorted order; with `rowOf`, also
// each record's position in that order, filled as the records are placed.
std::vector<std::int32_t> LocaleOrder(const ResultColumn& column, const QLocale& locale,
                                      bool descending, std::vector<std::int32_t>* rowOf = nullptr);

}  // namespace prvc03
