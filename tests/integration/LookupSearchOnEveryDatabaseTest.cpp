// Every search of the real lookup windows on each real database: the quick
// search in both modes and the condition rows with the sort panel in both
// windows, each condition operator, and a search the server rejects. The
// records expected come from the database itself through bound parameters,
// never from the statements under test; those are checked as texts, and the
// grid against what the database gives for them.
#include <QSqlQuery>

#include <gtest/gtest.h>

#include "IntegrationSupport.h"
#include "lookup/LookupStatements.h"
#include "support/Screenshot.h"
#include "widgets/CheckList.h"
#include "widgets/ListBox.h"

namespace prvc03::test {
namespace {

template <class Param>
class LookupSearchOf : public ModuleTestOf<Param> {
  protected:
    // MG001 of the rows `where` selects, `value` bound to its one "?".
    QStringList Expected(const QString& where, const QVariant& value = QVariant(),
                         const QString& order = QStringLiteral("MG001")) {
        return QueryRows(this->db().Native(),
                         QStringLiteral("SELECT MG001 FROM ADMMG WHERE ") + where +
                             QStringLiteral(" ORDER BY ") + order,
                         value.isValid() ? QVariantList{value} : QVariantList{});
    }
};
// Searches of the multi-select window.
class LookupSearch : public LookupSearchOf<Backend> {};
// Searches both windows run alike: once in each.
class LookupSearchInWindow : public LookupSearchOf<DatabaseAndWindow> {};

TEST_P(LookupSearchInWindow, QuickSearchInBothModes) {
    auto window = Show(KindOf(GetParam()));
    LookupWindow& lookup = *window.get();
    // The statement sent, and the grid showing what the database gives for it.
    auto expectStatement = [&](const QString& tail) {
        EXPECT_EQ(lookup.QryFhelp->SQL(), kUsersBase + tail);
        EXPECT_EQ(GridRows(lookup), QueryRows(db().Native(), kUsersBase + tail));
    };
    QuickSearch(lookup, lookup.fC, 0, QStringLiteral(" C "));
    expectStatement(QStringLiteral("  AND ADMMG.MG001 >= 'C' ORDER BY ADMMG.MG001"));
    EXPECT_EQ(Codes(lookup), Expected(QStringLiteral("MG001 >= ?"), QStringLiteral("C")));
    // Both users called 王五, in either order (the names tie).
    QuickSearch(lookup, lookup.fB, 1, QStringLiteral("五"));
    EXPECT_EQ(lookup.QryFhelp->SQL(),
              kUsersBase + QStringLiteral("  AND ADMMG.MG002 LIKE '%五%' ORDER BY ADMMG.MG002"));
    QStringList found = Codes(lookup);
    found.sort();
    EXPECT_EQ(found, Expected(QStringLiteral("MG002 LIKE ?"), QStringLiteral("%五%")));
    EXPECT_EQ(found.size(), 2);
    // "_" and "%" stay wildcards in the fuzzy mode; blanks round the value go.
    QuickSearch(lookup, lookup.fB, 0, QStringLiteral(" _0_ "));
    expectStatement(QStringLiteral("  AND ADMMG.MG001 LIKE '%_0_%' ORDER BY ADMMG.MG001"));
    EXPECT_EQ(Codes(lookup), Expected(QStringLiteral("MG001 LIKE ?"), QStringLiteral("%_0_%")));
    // A blank value lists everything again, sorted by the column.
    QuickSearch(lookup, lookup.fC, 1, QStringLiteral("   "));
    EXPECT_EQ(lookup.QryFhelp->SQL(), kUsersBase + QStringLiteral("  ORDER BY ADMMG.MG002"));
    EXPECT_EQ(Codes(lookup).size(), 18);
    QuickSearch(lookup, lookup.fB, 0, QString());
    expectStatement(QStringLiteral("  ORDER BY ADMMG.MG001"));
    // The advanced mode's button does nothing.
    const QString before = lookup.QryFhelp->SQL();
    lookup.fA->trigger();
    QTest::mouseClick(lookup.cxButton1, Qt::LeftButton, {}, QPoint(20, 12));
    EXPECT_EQ(lookup.QryFhelp->SQL(), before);
    EXPECT_TRUE(TakeBoxes().isEmpty());
}

TEST_P(LookupSearch, EveryConditionOperatorSelectsWhatTheDatabaseSays) {
    auto lookup = Show<TfrmRootFS>();
    const struct {
        const char16_t* word;
        const char* where;
        const char16_t* value;
        const char16_t* bound;
    } operators[] = {
        {u"等于", "MG001 = ?", u"B02", u"B02"},
        {u"大于或等于", "MG001 >= ?", u"E02", u"E02"},
        {u"小于或等于", "MG001 <= ?", u"B01", u"B01"},
        {u"大于", "MG001 > ?", u"F01", u"F01"},
        {u"小于", "MG001 < ?", u"A02", u"A02"},
        {u"不等于", "MG001 <> ?", u"A01", u"A01"},
        {u"起始于", "MG001 LIKE ?", u"D", u"D%"},
        {u"终止于", "MG001 LIKE ?", u"2", u"%2"},
        {u"包含", "MG001 LIKE ?", u"0", u"%0%"},
    };
    ASSERT_EQ(std::size(operators), static_cast<std::size_t>(ConditionOperators().size()));
    for (const auto& op : operators) {
        const QString word = QString::fromUtf16(op.word);
        SCOPED_TRACE(word.toStdString());
        ConditionSearch(*lookup.get(), {{QStringLiteral("用户编号"), word,
                                         QString::fromUtf16(op.value), QStringLiteral("AND")}});
        QStringList shown = Codes(*lookup.get());
        shown.sort();
        EXPECT_EQ(shown, Expected(QLatin1String(op.where), QString::fromUtf16(op.bound)));
        EXPECT_FALSE(shown.isEmpty());
    }
    EXPECT_TRUE(TakeBoxes().isEmpty());
}

TEST_P(LookupSearchInWindow,
       ConditionRowsBecomeTheWhereInsideTheRestrictionAndTheSortPanelTheOrderBy) {
    const QString from = QStringLiteral("FROM ADMMG WHERE MG001 <> 'A01'");
    auto window = Show(KindOf(GetParam()), from);
    LookupWindow& w = *window.get();
    const QString base = UsersBase(from);
    w.fA->trigger();
    EXPECT_TRUE(w.ConditionPanelVisible());
    EXPECT_FALSE(w.SearchField->isEnabled());
    EXPECT_FALSE(w.SearchValue->isEnabled());
    EXPECT_EQ(w.cxButton1->Caption(), QStringLiteral("高级查找"));

    // An empty grid searches the base statement unchanged.
    ConditionSearch(w, {});
    EXPECT_EQ(w.QryFhelp->SQL(), base);
    EXPECT_EQ(GridRows(w), QueryRows(db().Native(), base));

    // Rows joined by OR stay inside the caller's restriction.
    ConditionSearch(w, {{QStringLiteral("用户编号"), QStringLiteral("等于"), QStringLiteral("A01"),
                         QStringLiteral("OR")},
                        {QStringLiteral("用户名称"), QStringLiteral("包含"), QStringLiteral("五"),
                         QStringLiteral("OR")}});
    // The last row's logic word goes, and the blank before it.
    const QString where =
        base + QStringLiteral(" AND (ADMMG.MG001 = 'A01' OR ADMMG.MG002 LIKE '%五%')");
    const QString restricted = QStringLiteral("MG001 <> 'A01' AND (MG001 = 'A01' OR MG002 LIKE ?)");
    EXPECT_EQ(w.QryFhelp->SQL(), where);
    EXPECT_EQ(GridRows(w), QueryRows(db().Native(), where));
    QStringList found = Codes(w);
    found.sort();
    EXPECT_EQ(found, Expected(restricted, QStringLiteral("%五%")));
    EXPECT_FALSE(found.isEmpty());
    EXPECT_EQ(w.QryFhelp->RecordCount(), found.size());

    // The sort panel: 用户名称 descending, then 用户编号 ascending.
    QTest::mouseClick(w.BitBtn4, Qt::LeftButton);
    ASSERT_TRUE(w.SortPanelVisible());
    w.lbOrder1->setCurrentRow(1);
    QTest::mouseClick(w.BitBtn6, Qt::LeftButton);
    w.lbOrder1->setCurrentRow(0);
    QTest::mouseClick(w.BitBtn6, Qt::LeftButton);
    ASSERT_EQ(w.cbOrder1->count(), 2);
    w.cbOrder1->SetItemIndex(0);
    DoubleClickItem(w.cbOrder1, 0);
    EXPECT_FALSE(w.cbOrder1->Checked(0));
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    const QString ordered = where + QStringLiteral(" ORDER BY ADMMG.MG002 DESC,ADMMG.MG001 ASC");
    EXPECT_EQ(w.QryFhelp->SQL(), ordered);
    EXPECT_EQ(GridRows(w), QueryRows(db().Native(), ordered));
    EXPECT_EQ(Codes(w), Expected(restricted, QStringLiteral("%五%"),
                                 QStringLiteral("MG002 DESC, MG001 ASC")));

    // Hidden again: the entries stay but take no part.
    QTest::mouseClick(w.BitBtn4, Qt::LeftButton);
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    EXPECT_EQ(w.QryFhelp->SQL(), where);
    EXPECT_EQ(w.cbOrder1->count(), 2);
    // The rows are left as they were; leaving the advanced mode hides the panel.
    EXPECT_EQ(w.CDSTmp->RecordCount(), 2);
    w.fB->trigger();
    EXPECT_FALSE(w.ConditionPanelVisible());
    EXPECT_TRUE(w.SearchValue->isEnabled());
    EXPECT_EQ(w.cxButton1->Caption(), QStringLiteral("模糊查找"));
    EXPECT_TRUE(TakeBoxes().isEmpty());
}

TEST_P(LookupSearch, ASearchTheServerRejectsIsShownDropsThePicksAndTheNextOneWorks) {
    auto lookup = Show<TfrmRootFS>();
    LookupWindow& w = *lookup.get();
    ASSERT_EQ(w.QryFhelp->RecordCount(), 18);
    // A new search drops the ticks of the earlier result.
    const int picked = RowOf(w, QStringLiteral("B01"));
    ClickCell(w.wwDBGridH, picked, 0);
    QuickSearch(w, w.fC, 0, QString());
    EXPECT_TRUE(w.Picks().IsEmpty());
    EXPECT_EQ(w.wwDBGridH->model()->index(picked, 0).data(Qt::CheckStateRole).toInt(),
              Qt::Unchecked);
    ClickCell(w.wwDBGridH, picked, 0);

    // The table goes away under the open window.
    db().Exec(QStringLiteral("ALTER TABLE ADMMG RENAME TO ADMMG_AWAY"));
    QuickSearch(w, w.fC, 0, QStringLiteral("B"));
    const QStringList errors = TakeBoxes();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("admmg"), Qt::CaseInsensitive))
        << errors[0].toStdString();
    EXPECT_FALSE(w.QryFhelp->Active()) << "the result grid stays empty";
    EXPECT_EQ(w.wwDBGridH->model()->rowCount(), 0);
    EXPECT_TRUE(w.Picks().IsEmpty());
    const QString counter = w.StatusText(3);
    // Title clicks and navigation on the closed result: reported, no change.
    ClickTitle(w.wwDBGridH, QStringLiteral("用户编号"));
    QTest::mouseClick(w.TNext, Qt::LeftButton);
    EXPECT_EQ(TakeBoxes().size(), 2);
    EXPECT_TRUE(w.TNext->isEnabled());
    EXPECT_EQ(w.StatusText(3), counter);
    ConditionSearch(w, {{QStringLiteral("用户编号"), QStringLiteral("等于"), QStringLiteral("B01"),
                         QString()}});
    EXPECT_EQ(TakeBoxes().size(), 1u);
    EXPECT_TRUE(w.isVisible());

    db().Exec(QStringLiteral("ALTER TABLE ADMMG_AWAY RENAME TO ADMMG"));
    QuickSearch(w, w.fC, 0, QStringLiteral("B"));
    EXPECT_TRUE(TakeBoxes().isEmpty());
    EXPECT_TRUE(w.QryFhelp->Active());
    EXPECT_EQ(Codes(w), Expected(QStringLiteral("MG001 >= ?"), QStringLiteral("B")));
    EXPECT_EQ(GridRows(w), QueryRows(db().Native(), w.QryFhelp->SQL()));
    // Nothing of the earlier ticks is left: the window hands back exactly
    // the one record picked now, and closes.
    EXPECT_TRUE(w.Picks().IsEmpty());
    ClickCell(w.wwDBGridH, RowOf(w, QStringLiteral("B03")), 0);
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(w.ResultValue.has_value());
    EXPECT_EQ(w.ResultValue->High(1) - w.ResultValue->Low(1) + 1, 1);
    EXPECT_EQ(w.ResultValue->at(0, 1).toString(), QStringLiteral("B03"));
    EXPECT_FALSE(w.isVisible());
}

// The pinyin mode narrows the rows an earlier fuzzy search holds, sends no
// statement, and takes whatever the operator types.
TEST_P(LookupSearch, PinyinSearchNarrowsTheHeldRowsWhateverIsTyped) {
    auto lookup = Show<TfrmRootFS>();
    LookupWindow& w = *lookup.get();
    // The seven users whose code holds a 1.
    QuickSearch(w, w.fB, 0, QStringLiteral("1"));
    const QString held = w.QryFhelp->SQL();
    QStringList all = Codes(w);
    all.sort();
    ASSERT_EQ(all.size(), 7);
    const QString longValue = QStringLiteral("zhangsan").repeated(25);
    const struct {
        int column;
        QString typed;
        QString codes;  // sorted, blank-separated; "*" for every held row
    } cases[] = {
        {1, QStringLiteral(" \u3000 "), QStringLiteral("*")},
        {1, QStringLiteral("zs"), QStringLiteral("A01 D01")},  // 张三, 郑十
        {1, QStringLiteral("ZHANG san"), QStringLiteral("A01")},
        {1, QStringLiteral("ｗｗ"), QStringLiteral("B01")},  // the other 王五 is not held
        {1, QStringLiteral("xiao"), QStringLiteral("E01")},
        {1, QStringLiteral("smg"), QStringLiteral("F01")},
        {1, QStringLiteral("ADM"), QStringLiteral("G01")},
        {0, QStringLiteral("b0"), QStringLiteral("B01")},
        {1, QStringLiteral("zhang3"), QString()},
        {1, QStringLiteral("o'n"), QString()},
        {1, QStringLiteral("li-si; --"), QString()},
        {1, QStringLiteral("z\U00020000"), QString()},
        {1, longValue, QString()},
        {1, QString(), QStringLiteral("*")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.typed.toStdString());
        QuickSearch(w, w.fD, c.column, c.typed);
        EXPECT_EQ(w.QryFhelp->SQL(), held);
        QStringList found = Codes(w);
        found.sort();
        EXPECT_EQ(found, c.codes == QLatin1String("*")
                             ? all
                             : c.codes.split(QLatin1Char(' '), Qt::SkipEmptyParts));
        EXPECT_EQ(w.StatusText(3), found.isEmpty() ? QStringLiteral("0")
                                                   : QStringLiteral("1／%1").arg(found.size()));
        EXPECT_EQ(GridRows(w).size(), found.size());
    }
    EXPECT_EQ(w.cxButton1->accessibleName(), QStringLiteral("查找：拼音查找"));
    EXPECT_TRUE(TakeBoxes().isEmpty());
}

// Ticks stay with their records while the filter changes; 全选 and 全不选
// touch the shown records only, and the hand-back gives the shown picks.
TEST_P(LookupSearch, PinyinFilterPicksAndHandsBackWhatIsShown) {
    auto lookup = Show<TfrmRootFS>();
    LookupWindow& w = *lookup.get();
    QuickSearch(w, w.fB, 1, QString());
    QuickSearch(w, w.fD, 1, QStringLiteral("zl"));
    EXPECT_EQ(Codes(w), QStringList(QStringLiteral("B02")));  // 赵六
    SaveScreenshot(w, QStringLiteral("lookup-pinyin.png"));
    QuickSearch(w, w.fD, 1, QStringLiteral("w"));  // 王五 twice, 吴九
    ASSERT_EQ(w.QryFhelp->RecordCount(), 3);
    QTest::mouseClick(w.BitBtn5, Qt::LeftButton);
    QuickSearch(w, w.fD, 1, QStringLiteral("wj"));
    QTest::mouseClick(w.BitBtn8, Qt::LeftButton);
    EXPECT_EQ(w.Picks().Count(), 2);
    QuickSearch(w, w.fD, 1, QString());
    EXPECT_EQ(
        w.wwDBGridH->model()->index(RowOf(w, QStringLiteral("B01")), 0).data(Qt::CheckStateRole),
        Qt::Checked);
    // Titles sort the shown rows only.
    QuickSearch(w, w.fD, 0, QStringLiteral("b0"));
    ClickTitle(w.wwDBGridH, QStringLiteral("用户编号"));
    const QString codes = Codes(w).join(QLatin1Char(' '));
    EXPECT_TRUE(codes == QLatin1String("B01 B02 B03") || codes == QLatin1String("B03 B02 B01"))
        << codes.toStdString();
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(w.ResultValue.has_value());
    EXPECT_EQ(HandedBackRows(*w.ResultValue), QStringList({QStringLiteral("B01\t王五")}));
}

// A column of NULLs and numbers reads as the texts the grid shows.
TEST_P(LookupSearch, PinyinSearchOverNullsAndNumbers) {
    db().Exec(QStringLiteral("CREATE TABLE PYNUM (CODE VARCHAR(8), QTY INTEGER)"));
    db().Exec(
        QStringLiteral("INSERT INTO PYNUM VALUES ('N1', NULL), ('N2', 12), ('N3', 345), "
                       "('N4', NULL), ('X1', 3)"));
    QueryDataset request;
    request.AddField(DataField(QStringLiteral("CODE"), FieldType::WideString, 8,
                               QStringLiteral("编号"), QStringLiteral("PYNUM")));
    request.AddField(DataField(QStringLiteral("QTY"), FieldType::Integer, 0, QStringLiteral("数量"),
                               QStringLiteral("PYNUM"), 6));
    auto lookup = Show<TfrmRootFS>(QStringLiteral("FROM PYNUM WHERE 1=1"), &request);
    LookupWindow& w = *lookup.get();
    QuickSearch(w, w.fB, 0, QStringLiteral("N"));
    ASSERT_EQ(w.QryFhelp->RecordCount(), 4);
    const struct {
        const char* typed;
        const char* codes;
    } cases[] = {{"3", "N3"}, {"12", "N2"}, {"null", ""}, {" ", "N1 N2 N3 N4"}};
    for (const auto& c : cases) {
        QuickSearch(w, w.fD, 1, QString::fromLatin1(c.typed));
        QStringList found = Codes(w);
        found.sort();
        EXPECT_EQ(found.join(QLatin1Char(' ')), QString::fromLatin1(c.codes)) << c.typed;
    }
    EXPECT_TRUE(TakeBoxes().isEmpty());
}

PRVC03_ON_EVERY_DATABASE(LookupSearch);
PRVC03_ON_EVERY_DATABASE_AND_WINDOW(LookupSearchInWindow);

}  // namespace
}  // namespace prvc03::test
