// The title sort's order of a text column against a plain stable sort that
// compares with the locale's collator call by call: the same permutation,
// ascending and descending, with NULLs, repeated texts and texts that differ
// but collate equal, on the one-thread and the two-thread path.
#include <QCollator>
#include <QLocale>

#include <gtest/gtest.h>

#include <algorithm>
#include <numeric>
#include <random>

#include "data/LocaleOrder.h"
#include "data/ResultColumn.h"

namespace prvc03 {
namespace {

const QLocale kChinese(QLocale::Chinese, QLocale::China);

// A text column of `count` values drawn from `pool` (an empty entry is NULL).
ResultColumn Column(const QStringList& pool, int count, unsigned seed) {
    ResultColumn column(ResultColumn::Kind::Text);
    std::mt19937 random(seed);
    for (int i = 0; i < count; ++i) {
        const QString& text = pool[static_cast<int>(random() % pool.size())];
        column.Append(text.isEmpty() ? QVariant() : QVariant(text));
    }
    column.Finish();
    return column;
}

std::vector<std::int32_t> Reference(const ResultColumn& column, bool descending) {
    QCollator collator(kChinese);
    auto less = [&](std::int32_t a, std::int32_t b) {
        const bool nullA = column.IsNull(a);
        const bool nullB = column.IsNull(b);
        if (nullA || nullB) {
            return nullA && !nullB;
        }
        return collator.compare(column.TextAt(a), column.TextAt(b)) < 0;
    };
    std::vector<std::int32_t> order(static_cast<std::size_t>(column.Count()));
    std::iota(order.begin(), order.end(), 0);
    std::stable_sort(order.begin(), order.end(), [&](std::int32_t a, std::int32_t b) {
        return descending ? less(b, a) : less(a, b);
    });
    return order;
}

TEST(LocaleOrderTest, SmallColumnSortsStablyByTheLocaleBothWays) {
    // "é" precomposed and as e + combining accent collate equal.
    const QStringList pool = {
        QStringLiteral("张三"),   QStringLiteral("李四"),    QStringLiteral("王五"),
        QStringLiteral("b"),      QStringLiteral("B"),       QStringLiteral("a"),
        QStringLiteral("\u00e9"), QStringLiteral("e\u0301"), QString()};
    const ResultColumn column = Column(pool, 400, 7);
    for (const bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        const std::vector<std::int32_t> order = LocaleOrder(column, kChinese, descending);
        EXPECT_EQ(order, Reference(column, descending));
        // NULL first ascending, last descending.
        EXPECT_EQ(column.IsNull(order.front()), !descending);
        EXPECT_EQ(column.IsNull(order.back()), descending);
    }
}

TEST(LocaleOrderTest, LargeColumnOnTwoThreadsMatchesTheReference) {
    // Enough distinct texts for the two-thread path, each repeated a little.
    QStringList pool;
    const QString han = QStringLiteral("王李张刘陈杨黄赵吴周徐孙马朱胡郭何高林罗");
    for (int i = 0; i < 30000; ++i) {
        pool << (i % 3 == 0 ? QString(han[i % han.size()]) + QString::number(i)
                            : QStringLiteral("n%1").arg(i * 7919 % 30011));
    }
    pool << QString();
    const ResultColumn column = Column(pool, 45000, 11);
    for (const bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        EXPECT_EQ(LocaleOrder(column, kChinese, descending), Reference(column, descending));
    }
}

TEST(LocaleOrderTest, EqualKeysOfDifferentTextsKeepRecordOrderAndPositionsInvertTheOrder) {
    // Pairs of texts that differ but collate equal, many thousand of them:
    // spread over the key sort's buckets, each pair must share one rank, or
    // its records would come grouped by text instead of in record order.
    QStringList pool;
    for (int i = 0; i < 12000; ++i) {
        pool << QStringLiteral("\u00e9%1").arg(i) << QStringLiteral("e\u0301%1").arg(i);
    }
    pool << QString();
    const ResultColumn column = Column(pool, 40000, 5);
    for (const bool descending : {false, true}) {
        SCOPED_TRACE(descending ? "descending" : "ascending");
        std::vector<std::int32_t> rowOf;
        const std::vector<std::int32_t> order = LocaleOrder(column, kChinese, descending, &rowOf);
        EXPECT_EQ(order, Reference(column, descending));
        ASSERT_EQ(rowOf.size(), order.size());
        for (std::size_t row = 0; row < order.size(); ++row) {
            ASSERT_EQ(rowOf[order[row]], static_cast<std::int32_t>(row)) << "row " << row;
        }
    }
}

TEST(LocaleOrderTest, EmptyAndAllNullColumns) {
    const ResultColumn empty(ResultColumn::Kind::Text);
    EXPECT_TRUE(LocaleOrder(empty, kChinese, false).empty());
    const ResultColumn nulls = Column({QString()}, 5, 1);
    EXPECT_EQ(LocaleOrder(nulls, kChinese, true), (std::vector<std::int32_t>{0, 1, 2, 3, 4}));
}

}  // namespace
}  // namespace prvc03
