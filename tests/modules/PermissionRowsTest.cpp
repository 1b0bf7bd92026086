// What 撤销复制 accepts as "still exactly what the copy left": the target's
// earlier rows plus the source's rows under one MH001, as a multiset of
// every value, of every kind.
#include <gtest/gtest.h>

#include "modules/PermissionRows.h"

namespace prvc03 {
namespace {

// Rows of (MH001, MH002, RUN).
PermissionRows Rows(std::vector<QVariantList> rows) {
    return PermissionRows(std::move(rows));
}

TEST(PermissionRowsTest, IsPlusOnlyForTheEarlierRowsAndTheSourcesUnderOneCode) {
    const QString b01 = QStringLiteral("B01");
    // B01's rows: the earlier ones are two of p1; the copy adds a p1 and a p2.
    const QVariantList p1 = {b01, QStringLiteral("P1"), QVariant()};
    const QVariantList p2 = {b01, QStringLiteral("P2"), 7};
    const PermissionRows before = Rows({p1, p1});
    const PermissionRows source = Rows({{QStringLiteral("A01"), QStringLiteral("P1"), QVariant()},
                                        {QStringLiteral("A01"), QStringLiteral("P2"), 7}});
    const struct {
        const char* what;
        std::vector<QVariantList> now;
        bool taken;
    } cases[] = {
        {"as the copy left them, in another order", {p2, p1, p1, p1}, true},
        {"one duplicate fewer", {p2, p1, p1}, false},
        {"an earlier row changed, as many rows",
         {p2, p1, p1, {b01, QStringLiteral("P3"), QVariant()}},
         false},
        {"a copied value of another kind",
         {{b01, QStringLiteral("P2"), QStringLiteral("7")}, p1, p1, p1},
         false},
        {"NULL become an empty text", {p2, {b01, QStringLiteral("P1"), QString()}, p1, p1}, false},
        {"the copied rows under two codes",
         {{QStringLiteral("b01"), QStringLiteral("P2"), 7}, p1, p1, p1},
         false},
        {"the copied rows under one code written otherwise (CHAR padding)",
         {{QStringLiteral("B01       "), QStringLiteral("P2"), 7},
          p1,
          p1,
          {QStringLiteral("B01       "), QStringLiteral("P1"), QVariant()}},
         true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(Rows(c.now).IsPlus(before, source), c.taken);
    }
    EXPECT_TRUE(before.IsPlus(before, PermissionRows())) << "a source without rows";
    EXPECT_FALSE(PermissionRows().IsPlus(before, PermissionRows()));
}

}  // namespace
}  // namespace prvc03
