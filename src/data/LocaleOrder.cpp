#include "data/LocaleOrder.h"

#include <QCollator>
#include <QHash>
#include <QString>

#include <algorithm>
#include <exception>
#include <numeric>
#include <thread>

#include "data/ResultColumn.h"

namespace prvc03 {

namespace {

// Below this many distinct texts a second thread costs more than it saves.
constexpr std::size_t kParallelMinimum = 20000;

// The distinct texts of a column: an id per record (-1 for NULL), ids in
// order of first appearance, and the first record of each id.
struct DistinctTexts {
    std::vector<std::int32_t> idOf;
    std::vector<std::int32_t> firstRecord;
};

DistinctTexts FindDistinct(const ResultColumn& column) {
    const int count = column.Count();
    DistinctTexts distinct;
    distinct.idOf.resize(static_cast<std::size_t>(count));
    // Open addressing, at most half full.
    std::size_t capacity = 16;
    while (capacity < 2 * static_cast<std::size_t>(count)) {
        capacity *= 2;
    }
    std::vector<std::int32_t> slots(capacity, -1);
    const std::size_t mask = capacity - 1;
    for (int record = 0; record < count; ++record) {
        if (column.IsNull(record)) {
            distinct.idOf[record] = -1;
            continue;
        }
        const QStringView text = column.TextAt(record);
        std::size_t slot = qHash(text) & mask;
        std::int32_t id;
        for (;;) {
            id = slots[slot];
            if (id < 0) {
                id = static_cast<std::int32_t>(distinct.firstRecord.size());
                slots[slot] = id;
                distinct.firstRecord.push_back(record);
                break;
            }
            if (column.TextAt(distinct.firstRecord[id]) == text) {
                break;
            }
            slot = (slot + 1) & mask;
        }
        distinct.idOf[record] = id;
    }
    return distinct;
}

// Sort keys of the distinct ids [begin, end) and those ids in key order.
struct KeyedPart {
    std::int32_t begin = 0;
    std::int32_t end = 0;
    std::vector<QCollatorSortKey> keys;  // keys[id - begin]
    std::vector<std::int32_t> order;

    void Build(const ResultColumn& column, const std::vector<std::int32_t>& firstRecord,
               const QLocale& locale) {
        // A collator of its own: the two parts may run on different threads.
        QCollator collator(locale);
        keys.reserve(static_cast<std::size_t>(end - begin));
        for (std::int32_t id = begin; id < end; ++id) {
            const QStringView text = column.TextAt(firstRecord[id]);
            keys.push_back(collator.sortKey(
                QString::fromRawData(reinterpret_cast<const QChar*>(text.data()), text.size())));
        }
        order.resize(static_cast<std::size_t>(end - begin));
        std::iota(order.begin(), order.end(), begin);
        std::sort(order.begin(), order.end(), [this](std::int32_t a, std::int32_t b) {
            return keys[a - begin].compare(keys[b - begin]) < 0;
        });
    }
};

// Rank of every distinct id: 0 for the smallest key, equal keys equal ranks.
std::vector<std::int32_t> RankDistinct(const ResultColumn& column,
                                       const std::vector<std::int32_t>& firstRecord,
                                       const QLocale& locale, std::int32_t& rankCount) {
    const auto distinct = static_cast<std::int32_t>(firstRecord.size());
    const bool parallel =
        firstRecord.size() >= kParallelMinimum && std::thread::hardware_concurrency() > 1;
    KeyedPart low, high;
    low.end = parallel ? distinct / 2 : distinct;
    high.begin = low.end;
    high.end = distinct;
    if (parallel) {
        std::exception_ptr failure;
        std::thread helper([&] {
            try {
                high.Build(column, firstRecord, locale);
            } catch (...) {
                failure = std::current_exception();
            }
        });
        try {
            low.Build(column, firstRecord, locale);
        } catch (...) {
            helper.join();
            throw;
        }
        helper.join();
        if (failure) {
            std::rethrow_exception(failure);
        }
    } else {
        low.Build(column, firstRecord, locale);
    }

    auto keyOf = [&](std::int32_t id) -> const QCollatorSortKey& {
        return id < high.begin ? low.keys[id - low.begin] : high.keys[id - high.begin];
    };
    std::vector<std::int32_t> sorted(static_cast<std::size_t>(distinct));
    std::merge(low.order.begin(), low.order.end(), high.order.begin(), high.order.end(),
               sorted.begin(),
               [&](std::int32_t a, std::int32_t b) { return keyOf(a).compare(keyOf(b)) < 0; });
    std::vector<std::int32_t> rank(static_cast<std::size_t>(distinct));
    std::int32_t current = -1;
    for (std::size_t i = 0; i < sorted.size(); ++i) {
        if (i == 0 || keyOf(sorted[i]).compare(keyOf(sorted[i - 1])) != 0) {
            ++current;
        }
        rank[sorted[i]] = current;
    }
    rankCount = current + 1;
    return rank;
}

}  // namespace

std::vector<std::int32_t> LocaleOrder(const ResultColumn& column, const QLocale& locale,
                                      bool descending) {
    const DistinctTexts distinct = FindDistinct(column);
    std::int32_t rankCount = 0;
    const std::vector<std::int32_t> rank =
        RankDistinct(column, distinct.firstRecord, locale, rankCount);

    // Bucket 0 is NULL, bucket 1 + r the texts of rank r; descending walks
    // the buckets backwards. Records go into their bucket in record order.
    const std::int32_t buckets = rankCount + 1;
    auto bucketOf = [&](std::int32_t record) {
        const std::int32_t id = distinct.idOf[record];
        const std::int32_t bucket = id < 0 ? 0 : 1 + rank[id];
        return descending ? buckets - 1 - bucket : bucket;
    };
    const auto count = static_cast<std::int32_t>(distinct.idOf.size());
    std::vector<std::int32_t> start(static_cast<std::size_t>(buckets) + 1, 0);
    for (std::int32_t record = 0; record < count; ++record) {
        ++start[bucketOf(record) + 1];
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<std::int32_t> order(static_cast<std::size_t>(count));
    for (std::int32_t record = 0; record < count; ++record) {
        order[start[bucketOf(record)]++] = record;
    }
    return order;
}

}  // namespace prvc03
