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
    const PermissionRows before =
        Rows({{b01, QStringLiteral("P1"), QVariant()}, {b01, QStringLiteral("P1"), QVariant()}});
    const PermissionRows source = Rows({{QStringLiteral("A01"), QStringLiteral("P1"), QVariant()},
                                        {QStringLiteral("A01"), QStringLiteral("P2"), 7}});
    const struct {
        const char* what;
        std::vector<QVariantList> now;
        bool taken;
    } cases[] = {
        {"as the copy left them, in another order",
         {{b01, QStringLiteral("P2"), 7},
          {b01, QStringLiteral("P1"), QVariant()},
          {b01, QStringLiteral("P1"), QVariant()},
          {b01, QStringLiteral("P1"), QVariant()}},
         true},
        {"one duplicate fewer",
         {{b01, QStringLiteral("P2"), 7},
          {b01, QStringLiteral("P1"), QVariant()},
          {b01, QStringLiteral("P1"), QVariant()}},
         false},
        {"an earlier row changed, as many rows",
         {{b01, QStringLiteral("P2"), 7},
          {b01, QStringLiteral("P1"), QVariant()},
          {b01, QStringLiteral("P1"), QVariant()},
          {b01, QStringLiteral("P3"), QVariant()}},
         false},
        {"a copied value of another kind",
         {{b01, QStringLiteral("P2"), QStringLiteral("7")},
          {b01, QStringLiteral("P1"), QVariant()},
          {b01, QStringLiteral("P1"), QVariant()},
          {b01, QStringLiteral("P1"), QVariant()}},
         false},
        {"NULL become an empty text",
         {{b01, QStringLiteral("P2"), 7},
          {b01, QStringLiteral("P1"), QString()},
          {b01, QStringLiteral("P1"), QVariant()},
          {b01, QStringLiteral("P1"), QVariant()}},
         false},
        {"the copied rows under two codes",
         {{QStringLiteral("b01"), QStringLiteral("P2"), 7},
          {b01, QStringLiteral("P1"), QVariant()},
          {b01, QStringLiteral("P1"), QVariant()},
          {b01, QStringLiteral("P1"), QVariant()}},
         false},
        {"the copied rows under one code written otherwise (CHAR padding)",
         {{QStringLiteral("B01       "), QStringLiteral("P2"), 7},
          {b01, QStringLiteral("P1"), QVariant()},
          {b01, QStringLiteral("P1"), QVariant()},
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
