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
// Distinct texts a bucket of the key sort holds on average: few enough that
// their keys stay in the processor's caches while the bucket is sorted.
constexpr std::size_t kBucketTexts = 2048;
// How many records ahead a pass asks for the memory it will read at random.
constexpr int kAhead = 16;

void Prefetch(const void* address) {
#if defined(__GNUC__)
    __builtin_prefetch(address);
#else
    (void)address;
#endif
}

// Runs part(0) here and part(1) on a second thread when `parallel`,
// otherwise both here, one after the other; raises what either raised.
template <class Part>
void InTwoParts(bool parallel, const Part& part) {
    if (!parallel) {
        part(0);
        part(1);
        return;
    }
    std::exception_ptr failure;
    std::thread helper([&] {
        try {
            part(1);
        } catch (...) {
            failure = std::current_exception();
        }
    });
    try {
        part(0);
    } catch (...) {
        helper.join();
        throw;
    }
    helper.join();
    if (failure) {
        std::rethrow_exception(failure);
    }
}

// The distinct texts of a column: an id per record (-1 for NULL), ids in
// order of first appearance, and the first record of each id.
struct DistinctTexts {
    std::vector<std::int32_t> idOf;
    std::vector<std::int32_t> firstRecord;
};

// Open addressing, at most half full, grown with the distinct texts. A slot
// holds a text's id and 32 bits of its hash, so that probing passes over
// the slots of other texts without reading them.
class TextTable {
  public:
    TextTable() : slots_(1024, kEmpty) {}

    static std::uint32_t Hash(QStringView text) { return static_cast<std::uint32_t>(qHash(text)); }
    // Asks for the slot of a text of `hash` ahead of its look-up.
    void Prefetch(std::uint32_t hash) const { prvc03::Prefetch(&slots_[hash & Mask()]); }

    // The id of `text` (of `hash`), which `record` holds: a new one when the
    // text is new.
    std::int32_t IdOf(const ResultColumn& column, QStringView text, std::uint32_t hash,
                      std::int32_t record, std::vector<std::int32_t>& firstRecord) {
        for (std::size_t slot = hash & Mask();; slot = (slot + 1) & Mask()) {
            const std::uint64_t entry = slots_[slot];
            if (entry == kEmpty) {
                const auto id = static_cast<std::int32_t>(firstRecord.size());
                slots_[slot] = (std::uint64_t{hash} << 32) | static_cast<std::uint32_t>(id);
                firstRecord.push_back(record);
                if (2 * firstRecord.size() > slots_.size()) {
                    Grow();
                }
                return id;
            }
            if (static_cast<std::uint32_t>(entry >> 32) == hash) {
                const auto id = static_cast<std::int32_t>(static_cast<std::uint32_t>(entry));
                if (column.TextAt(firstRecord[id]) == text) {
                    return id;
                }
            }
        }
    }

  private:
    static constexpr std::uint64_t kEmpty = ~std::uint64_t{0};

    std::size_t Mask() const { return slots_.size() - 1; }
    void Grow() {
        std::vector<std::uint64_t> old(slots_.size() * 2, kEmpty);
        old.swap(slots_);
        for (const std::uint64_t entry : old) {
            if (entry == kEmpty) {
                continue;
            }
            std::size_t slot = static_cast<std::uint32_t>(entry >> 32) & Mask();
            while (slots_[slot] != kEmpty) {
                slot = (slot + 1) & Mask();
            }
            slots_[slot] = entry;
        }
    }

    std::vector<std::uint64_t> slots_;
};

// Each record's slot is asked for a few records ahead of its look-up, so
// that the waits for memory overlap.
DistinctTexts FindDistinct(const ResultColumn& column) {
    const int count = column.Count();
    DistinctTexts distinct;
    distinct.idOf.resize(static_cast<std::size_t>(count));
    TextTable table;
    const auto hashOf = [&](int record) {
        return column.IsNull(record) ? 0u : TextTable::Hash(column.TextAt(record));
    };
    std::uint32_t ahead[kAhead];
    for (int record = 0; record < std::min(kAhead, count); ++record) {
        ahead[record] = hashOf(record);
        table.Prefetch(ahead[record]);
    }
    for (int record = 0; record < count; ++record) {
        const std::uint32_t hash = ahead[record % kAhead];
        if (record + kAhead < count) {
            ahead[record % kAhead] = hashOf(record + kAhead);
            table.Prefetch(ahead[record % kAhead]);
        }
        distinct.idOf[record] =
            column.IsNull(record)
                ? -1
                : table.IdOf(column, column.TextAt(record), hash, record, distinct.firstRecord);
    }
    return distinct;
}

QCollatorSortKey KeyOf(const QCollator& collator, QStringView text) {
    return collator.sortKey(
        QString::fromRawData(reinterpret_cast<const QChar*>(text.data()), text.size()));
}

bool KeyLess(const QCollatorSortKey& a, const QCollatorSortKey& b) {
    return a.compare(b) < 0;
}

// Rank of every distinct id: 0 for the smallest key, equal keys equal ranks.
// The keys are sorted by distribution: the keys of a sorted regular sample
// split the ids into buckets of a few thousand, each id's bucket found by a
// binary search among them, and each bucket is then sorted on its own. Both
// steps read few keys besides the one at hand, and those stay in the caches;
// one sort of every key would fetch them from memory again at every level,
// which on millions of texts costs more than the comparisons themselves.
std::vector<std::int32_t> RankDistinct(const ResultColumn& column,
                                       const std::vector<std::int32_t>& firstRecord,
                                       const QLocale& locale, std::int32_t& rankCount) {
    const auto distinct = static_cast<std::int32_t>(firstRecord.size());
    const bool parallel =
        firstRecord.size() >= kParallelMinimum && std::thread::hardware_concurrency() > 1;
    // Ids [0, half) and [half, distinct): one part each thread.
    const std::int32_t half = parallel ? distinct / 2 : distinct;
    const auto first = [&](int part) { return part == 0 ? 0 : half; };
    const auto last = [&](int part) { return part == 0 ? half : distinct; };

    std::vector<QCollatorSortKey> keys[2];
    InTwoParts(parallel, [&](int part) {
        // A collator of its own: the two parts may run on different threads.
        const QCollator collator(locale);
        keys[part].reserve(static_cast<std::size_t>(last(part) - first(part)));
        for (std::int32_t id = first(part); id < last(part); ++id) {
            keys[part].push_back(KeyOf(collator, column.TextAt(firstRecord[id])));
        }
    });
    const auto keyOf = [&](std::int32_t id) -> const QCollatorSortKey& {
        return id < half ? keys[0][id] : keys[1][id - half];
    };
    const auto less = [&](std::int32_t a, std::int32_t b) { return KeyLess(keyOf(a), keyOf(b)); };

    // Splitters: every fourth of a sorted regular sample of the ids, one
    // fewer than the buckets. An id goes after every splitter whose key is
    // not greater than its own, so equal keys always share a bucket.
    const std::size_t buckets = std::max<std::size_t>(firstRecord.size() / kBucketTexts, 1);
    std::vector<std::int32_t> splitters;
    if (buckets > 1) {
        std::vector<std::int32_t> sample(4 * buckets);
        for (std::size_t i = 0; i < sample.size(); ++i) {
            sample[i] = static_cast<std::int32_t>(i * firstRecord.size() / sample.size());
        }
        std::sort(sample.begin(), sample.end(), less);
        for (std::size_t b = 1; b < buckets; ++b) {
            splitters.push_back(sample[4 * b]);
        }
    }
    std::vector<std::int32_t> bucketOf(firstRecord.size());
    InTwoParts(parallel, [&](int part) {
        if (first(part) == last(part)) {
            return;
        }
        // The splitters' keys made again, one after the other, so that the
        // searches find them on a few pages of memory instead of one each.
        const QCollator collator(locale);
        std::vector<QCollatorSortKey> near;
        near.reserve(splitters.size());
        for (const std::int32_t id : splitters) {
            near.push_back(KeyOf(collator, column.TextAt(firstRecord[id])));
        }
        for (std::int32_t id = first(part); id < last(part); ++id) {
            bucketOf[id] = static_cast<std::int32_t>(
                std::upper_bound(near.begin(), near.end(), keyOf(id), KeyLess) - near.begin());
        }
    });
    // The ids bucket by bucket, each bucket in id order, then sorted.
    std::vector<std::int32_t> start(buckets + 1, 0);
    for (const std::int32_t bucket : bucketOf) {
        ++start[bucket + 1];
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<std::int32_t> sorted(firstRecord.size());
    {
        std::vector<std::int32_t> next(start.begin(), start.end() - 1);
        for (std::int32_t id = 0; id < distinct; ++id) {
            sorted[next[bucketOf[id]]++] = id;
        }
    }
    decltype(bucketOf)().swap(bucketOf);  // frees the storage
    // The buckets before `middle` hold about half the ids.
    const auto middle =
        std::min(static_cast<std::size_t>(std::lower_bound(start.begin(), start.end(), half) -
                                          start.begin()),
                 buckets);
    InTwoParts(parallel, [&](int part) {
        const std::size_t from = part == 0 ? 0 : middle;
        const std::size_t to = part == 0 ? middle : buckets;
        for (std::size_t b = from; b < to; ++b) {
            std::sort(sorted.begin() + start[b], sorted.begin() + start[b + 1], less);
        }
    });

    std::vector<std::int32_t> rank(firstRecord.size());
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
                                      bool descending, std::vector<std::int32_t>* rowOf) {
    const DistinctTexts distinct = FindDistinct(column);
    std::int32_t rankCount = 0;
    const std::vector<std::int32_t> rank =
        RankDistinct(column, distinct.firstRecord, locale, rankCount);

    // Bucket 0 is NULL, bucket 1 + r the texts of rank r; descending walks
    // the buckets backwards. Records go into their bucket in record order.
    const std::int32_t buckets = rankCount + 1;
    const auto count = static_cast<std::int32_t>(distinct.idOf.size());
    std::vector<std::int32_t> bucketOf(static_cast<std::size_t>(count));
    for (std::int32_t record = 0; record < count; ++record) {
        if (record + kAhead < count && distinct.idOf[record + kAhead] >= 0) {
            Prefetch(&rank[distinct.idOf[record + kAhead]]);
        }
        const std::int32_t id = distinct.idOf[record];
        const std::int32_t bucket = id < 0 ? 0 : 1 + rank[id];
        bucketOf[record] = descending ? buckets - 1 - bucket : bucket;
    }
    std::vector<std::int32_t> start(static_cast<std::size_t>(buckets) + 1, 0);
    for (std::int32_t record = 0; record < count; ++record) {
        if (record + kAhead < count) {
            Prefetch(&start[bucketOf[record + kAhead] + 1]);
        }
        ++start[bucketOf[record] + 1];
    }
    std::partial_sum(start.begin(), start.end(), start.begin());
    std::vector<std::int32_t> order(static_cast<std::size_t>(count));
    if (rowOf != nullptr) {
        rowOf->assign(static_cast<std::size_t>(count), 0);
    }
    for (std::int32_t record = 0; record < count; ++record) {
        if (record + kAhead < count) {
            Prefetch(&start[bucketOf[record + kAhead]]);
        }
        const std::int32_t row = start[bucketOf[record]]++;
        order[row] = record;
        if (rowOf != nullptr) {
            (*rowOf)[record] = row;
        }
    }
    return order;
}

}  // namespace prvc03
