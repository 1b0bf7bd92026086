// The lookup windows' show step, picking and hand-back, their models under
// Qt's own model checks, and the caller's sequence, on real windows over the
// demo database.
#include <QAbstractItemModelTester>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QToolButton>

#include <gtest/gtest-spi.h>

#include "data/MemTable.h"
#include "lookup/LookupLogic.h"
#include "lookup/LookupTestSupport.h"
#include "lookup/RootFH.h"
#include "lookup/RootFS.h"
#include "session/Errors.h"
#include "widgets/CheckList.h"
#include "widgets/ConditionGrid.h"
#include "widgets/DatasetModel.h"
#include "widgets/DropDownButton.h"
#include "widgets/GridCombo.h"
#include "widgets/ListBox.h"
#include "widgets/MapListCombo.h"
#include "widgets/MemTableModel.h"

namespace prvc03 {
namespace {

using test::LookupFixture;
using test::RequestField;

// What each window shows once its show step is done.
struct ShownWindow {
    const char* objectName;
    const char* browseLabel;
    int checkColumn;  // -1: none
    // Result fields made from the request's: strings of its sizes (the
    // other window takes the statement's own fields).
    bool requestFields;
    bool rowIndicator;
    bool pickAllButtons;       // 全选 and 全不选
    bool defaultConditionRow;  // 用户编号 / 等于 / empty / AND, not saved
};
constexpr ShownWindow kMultiSelectShown{"frmRootFS", "资料浏览", 0, true, false, true, false};
constexpr ShownWindow kSingleSelectShown{"frmRootFH", "数据浏览", -1, false, true, false, true};

class ShowStepOfEachWindow : public LookupFixture {};
PRVC03_ON_EACH_WINDOW(ShowStepOfEachWindow);

TEST_P(ShowStepOfEachWindow, BuildsStatementListsResultAndConditionRows) {
    const ShownWindow& expected =
        GetParam() == test::WindowKind::MultiSelect ? kMultiSelectShown : kSingleSelectShown;
    auto window = Show(GetParam());
    LookupWindow& w = *window.get();
    EXPECT_EQ(w.objectName(), QLatin1String(expected.objectName));
    EXPECT_EQ(w.windowTitle(), QStringLiteral("查询窗口"));
    EXPECT_EQ(w.BaseSQL, test::kUsersBase);
    EXPECT_EQ(w.QryFhelp->SQL(), test::kUsersBase);

    ASSERT_EQ(w.SearchField->count(), 2);
    EXPECT_EQ(w.SearchField->itemText(0), QStringLiteral("用户编号"));
    EXPECT_EQ(w.SearchField->Item(1), QStringLiteral("用户名称\tADMMG.MG002"));
    EXPECT_EQ(w.SearchField->currentIndex(), 0);
    EXPECT_EQ(w.SearchField->Value(), QStringLiteral("ADMMG.MG001"));
    EXPECT_EQ(w.cbField->itemText(1), QStringLiteral("用户名称"));
    EXPECT_EQ(w.cbField->currentIndex(), 0);
    EXPECT_EQ(w.lbOrder1->ItemText(0), QStringLiteral("用户编号"));

    // The check column first where there is one, then one string field per
    // column.
    const int first = expected.checkColumn + 1;
    ASSERT_EQ(w.QryFhelp->FieldCount(), first + 2);
    if (expected.checkColumn == 0) {
        EXPECT_EQ(w.QryFhelp->FieldAt(0).FieldName, QStringLiteral("selected"));
        EXPECT_EQ(w.wwDBGridH->model()->headerData(0, Qt::Horizontal).toString(),
                  QStringLiteral("选取"));
    }
    EXPECT_EQ(w.QryFhelp->FieldAt(first).FieldName, QStringLiteral("用户编号"));
    if (expected.requestFields) {
        EXPECT_EQ(w.QryFhelp->FieldAt(first).DataType, FieldType::String);
        EXPECT_EQ(w.QryFhelp->FieldAt(first).Size, 10);
        EXPECT_EQ(w.QryFhelp->FieldAt(first + 1).Size, 20);
    }
    EXPECT_EQ(w.wwDBGridH->CheckColumn(), expected.checkColumn);
    EXPECT_EQ(w.wwDBGridH->RowIndicator(), expected.rowIndicator);
    EXPECT_EQ(GridRows(w), Rows(test::kUsersBase));

    if (expected.defaultConditionRow) {
        EXPECT_EQ(w.CDSTmp->RowCount(), 1);
        EXPECT_EQ(w.CDSTmp->RecordCount(), 0);
        EXPECT_EQ(w.CDSTmp->GetState(), MemTable::State::Insert);
        EXPECT_EQ(w.CDSTmp->Value(0, MemTable::FField), QStringLiteral("用户编号"));
        EXPECT_EQ(w.CDSTmp->Value(0, MemTable::FOperator), QStringLiteral("等于"));
        EXPECT_EQ(w.CDSTmp->Value(0, MemTable::FValue), QString());
        EXPECT_EQ(w.CDSTmp->Value(0, MemTable::FLogic), QStringLiteral("AND"));
    } else {
        EXPECT_EQ(w.CDSTmp->RowCount(), 0);
    }
    EXPECT_FALSE(w.ConditionPanelVisible());
    EXPECT_FALSE(w.SortPanelVisible());
    EXPECT_EQ(w.cxButton1->Caption(), QStringLiteral("重新查找"));
    EXPECT_TRUE(w.SearchField->isEnabled());
    EXPECT_TRUE(w.SearchValue->isEnabled());
    if (expected.pickAllButtons) {
        ASSERT_NE(w.BitBtn5, nullptr);
        EXPECT_EQ(w.BitBtn5->text(), QStringLiteral("全选"));
        EXPECT_EQ(w.BitBtn8->text(), QStringLiteral("全不选"));
    } else {
        EXPECT_EQ(w.BitBtn5, nullptr);
        EXPECT_EQ(w.template findChild<QPushButton*>(QStringLiteral("BitBtn8")), nullptr);
    }

    const int count = db.Count(QStringLiteral("SELECT COUNT(*) FROM ADMMG"));
    EXPECT_EQ(w.StatusText(0), QString::fromUtf8(expected.browseLabel));
    EXPECT_EQ(w.StatusText(2), QStringLiteral("资料笔数"));
    EXPECT_EQ(w.StatusText(3), QStringLiteral("1／%1").arg(count));
    const QStringList firstRow = Rows(test::kUsersBase).first().split(QLatin1Char('\t'));
    EXPECT_EQ(w.StatusText(1), firstRow.join(QLatin1Char(' ')));
    // The opened notice went to the host.
    ASSERT_FALSE(host.notices.empty());
    EXPECT_TRUE(host.notices.back().text.startsWith(QStringLiteral("查询窗口#")));
}

class ShowStep : public LookupFixture {};

TEST_F(ShowStep, TrimsLabelsInTheStatementAndKeepsThemInTheLists) {
    QueryDataset padded;
    padded.AddField(RequestField(QStringLiteral(" MG001 "), QStringLiteral(" 编号 "),
                                 QStringLiteral(" U "), FieldType::WideString, 10));
    padded.AddField(RequestField(QStringLiteral("MG002"), QString(), QStringLiteral("U"),
                                 FieldType::WideString, 20));
    auto window = Show<TfrmRootFS>(QStringLiteral("FROM ADMMG U WHERE 1=1"), &padded);
    TfrmRootFS& w = *window.get();
    EXPECT_EQ(w.BaseSQL, QStringLiteral("SELECT U.MG001 AS 编号, U.MG002 AS MG002 FROM ADMMG U "
                                        "WHERE 1=1"));
    EXPECT_EQ(w.SearchField->Item(0), QStringLiteral("编号\tU.MG001"));
    EXPECT_EQ(w.SearchField->Item(1), QStringLiteral("MG002\tU.MG002"));
    EXPECT_EQ(w.cbField->itemText(0), QStringLiteral(" 编号 "));
    EXPECT_EQ(w.lbOrder1->ItemText(0), QStringLiteral(" 编号 "));
    EXPECT_EQ(w.lbOrder1->ItemText(1), QStringLiteral("MG002"));
    EXPECT_EQ(GridRows(w), Rows(w.BaseSQL));

    // One column: no comma anywhere; the record text is that column alone.
    QueryDataset one;
    one.AddField(RequestField(QStringLiteral("MG001"), QStringLiteral("用户编号"),
                              QStringLiteral("ADMMG"), FieldType::WideString, 10));
    auto single = Show<TfrmRootFH>(test::kUsersFrom, &one);
    EXPECT_EQ(single.get()->BaseSQL, test::kCodesBase);
    EXPECT_EQ(single.get()->StatusText(1), Rows(single.get()->BaseSQL).first());
}

TEST_F(ShowStep, MultiSelectAddsResultFieldsOnlyForTextFloatAndInteger) {
    db.Exec(
        QStringLiteral("CREATE TABLE GOODS (CODE VARCHAR(8), PRICE DOUBLE PRECISION, "
                       "QTY INTEGER, MADE DATE)"));
    db.Exec(QStringLiteral("INSERT INTO GOODS VALUES ('P1', 2.5, 3, '2024-01-02')"));
    QueryDataset goods;
    goods.AddField(RequestField(QStringLiteral("CODE"), QStringLiteral("品号"),
                                QStringLiteral("GOODS"), FieldType::WideString, 8));
    goods.AddField(RequestField(QStringLiteral("PRICE"), QStringLiteral("单价"),
                                QStringLiteral("GOODS"), FieldType::Float, 0, 12));
    goods.AddField(RequestField(QStringLiteral("QTY"), QStringLiteral("数量"),
                                QStringLiteral("GOODS"), FieldType::Integer, 0, 6));
    goods.AddField(RequestField(QStringLiteral("MADE"), QStringLiteral("日期"),
                                QStringLiteral("GOODS"), FieldType::Date));
    auto window = Show<TfrmRootFS>(QStringLiteral("FROM GOODS WHERE 1=1"), &goods);
    TfrmRootFS& w = *window.get();
    EXPECT_TRUE(w.BaseSQL.contains(QStringLiteral("GOODS.MADE AS 日期")));
    ASSERT_EQ(w.QryFhelp->FieldCount(), 4);
    EXPECT_EQ(w.QryFhelp->FieldAt(1).DataType, FieldType::String);
    EXPECT_EQ(w.QryFhelp->FieldAt(1).Size, 8);
    EXPECT_EQ(w.QryFhelp->FieldAt(2).DataType, FieldType::Float);
    EXPECT_EQ(w.QryFhelp->FieldAt(2).DisplayWidth, 12);
    EXPECT_EQ(w.QryFhelp->FieldAt(3).DataType, FieldType::Integer);
    EXPECT_EQ(w.QryFhelp->FieldAt(3).DisplayWidth, 6);
    EXPECT_EQ(w.wwDBGridH->model()->columnCount(), 4);

    // Such a request cannot be handed back: refused, nothing assigned, open.
    ClickCell(w.wwDBGridH, 0, 0);
    EXPECT_EQ(w.Picks().Count(), 1);
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    const QStringList errors = TakeBoxes();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("日期")));
    EXPECT_FALSE(w.ResultValue);
    EXPECT_TRUE(w.isVisible());

    // The single-select window shows every column of the statement.
    auto single = Show<TfrmRootFH>(QStringLiteral("FROM GOODS WHERE 1=1"), &goods);
    EXPECT_EQ(single.get()->QryFhelp->FieldCount(), 4);
}

class Picking : public LookupFixture {};

TEST_F(Picking, TicksInAnyOrderComeBackInResultSetOrder) {
    const QStringList expected = Rows(test::kUsersBase);
    std::optional<VariantArray> picked;
    WhenShown<TfrmRootFS>([&](TfrmRootFS& w) {
        for (int record : {5, 2, 9}) {
            ClickCell(w.wwDBGridH, w.QryFhelp->RowOfRecord(record), 0);
        }
        EXPECT_EQ(w.wwDBGridH->model()->index(5, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
        EXPECT_EQ(w.wwDBGridH->model()->index(4, 0).data(Qt::CheckStateRole).toInt(),
                  Qt::Unchecked);
        QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    });
    picked = RunLookup<TfrmRootFS>(hqryADMMG, test::kUsersFrom);
    EXPECT_EQ(frmRootFS, nullptr);
    ASSERT_TRUE(picked);
    EXPECT_EQ(test::HandedBackRows(*picked), (QStringList{expected[2], expected[5], expected[9]}));
}

TEST_F(Picking, PickAllTickTwicePickNoneAndSpace) {
    const QString from = QStringLiteral("FROM ADMMG WHERE MG001 IN ('A01', 'B02', 'C01')");
    auto window = Show<TfrmRootFS>(from);
    TfrmRootFS& w = *window.get();
    ASSERT_EQ(w.QryFhelp->RecordCount(), 3);

    // A second tick takes the record out again; Space on the check cell ticks.
    ClickCell(w.wwDBGridH, 1, 0);
    ClickCell(w.wwDBGridH, 1, 0);
    EXPECT_TRUE(w.Picks().IsEmpty());
    w.wwDBGridH->setFocus();
    QTest::keyClick(w.wwDBGridH, Qt::Key_Space);
    EXPECT_EQ(w.Picks().Records(), (std::vector<int>{1}));
    QTest::mouseClick(w.BitBtn8, Qt::LeftButton);
    EXPECT_TRUE(w.Picks().IsEmpty());
    EXPECT_EQ(w.wwDBGridH->model()->index(1, 0).data(Qt::CheckStateRole).toInt(), Qt::Unchecked);

    QTest::mouseClick(w.BitBtn5, Qt::LeftButton);
    EXPECT_EQ(w.wwDBGridH->model()->index(2, 0).data(Qt::CheckStateRole).toInt(), Qt::Checked);
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(w.ResultValue);
    const QStringList expected = Rows(w.BaseSQL);
    EXPECT_EQ(w.ResultValue->High(1), 2);
    for (int r = 0; r < 3; ++r) {
        const QStringList row = expected[r].split(QLatin1Char('\t'));
        EXPECT_EQ(w.ResultValue->at(r, 1).toString(), row[0]);
        EXPECT_EQ(w.ResultValue->at(r, 2).toString(), row[1]);
    }
    EXPECT_FALSE(w.isVisible());
}

TEST_F(Picking, TickThenPickNoneThenConfirmHandsBackNothing) {
    WhenShown<TfrmRootFS>([&](TfrmRootFS& w) {
        ClickCell(w.wwDBGridH, 3, 0);
        QTest::mouseClick(w.BitBtn8, Qt::LeftButton);
        QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    });
    EXPECT_FALSE(RunLookup<TfrmRootFS>(hqryADMMG, test::kUsersFrom));
    EXPECT_TRUE(TakeBoxes().isEmpty());
}

TEST_F(Picking, NullComesBackAsNullOrAsEmptyText) {
    db.Exec(QStringLiteral("INSERT INTO ADMMG (MG001, MG002) VALUES ('Z99', NULL)"));
    const QString from = QStringLiteral("FROM ADMMG WHERE MG001 = 'Z99'");
    WhenShown<TfrmRootFS>([&](TfrmRootFS& w) {
        ClickCell(w.wwDBGridH, 0, 0);
        QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    });
    const auto multi = RunLookup<TfrmRootFS>(hqryADMMG, from);
    ASSERT_TRUE(multi);
    EXPECT_EQ(multi->at(0, 1).toString(), QStringLiteral("Z99"));
    EXPECT_TRUE(multi->at(0, 2).isNull());

    WhenShown<TfrmRootFH>([&](TfrmRootFH& w) { QTest::mouseClick(w.BitBtn1, Qt::LeftButton); });
    const auto single = RunLookup<TfrmRootFH>(hqryADMMG, from);
    ASSERT_TRUE(single);
    ASSERT_EQ(single->DimCount(), 1);
    EXPECT_EQ(single->High(), 1);
    EXPECT_EQ(single->at(0).toString(), QStringLiteral("Z99"));
    EXPECT_FALSE(single->at(1).isNull());
    EXPECT_EQ(single->at(1).toString(), QString());
}

TEST_F(Picking, SingleSelectHandsBackTheCurrentRecordOnDoubleClick) {
    const QStringList expected = Rows(test::kUsersBase);
    WhenShown<TfrmRootFH>([&](TfrmRootFH& w) {
        // Ctrl-marking other rows does not change what comes back.
        ClickCell(w.wwDBGridH, 1, 0);
        const QRect other = w.wwDBGridH->visualRect(w.wwDBGridH->model()->index(6, 1));
        QTest::mouseClick(w.wwDBGridH->viewport(), Qt::LeftButton, Qt::ControlModifier,
                          other.center());
        const QRect cell = w.wwDBGridH->visualRect(w.wwDBGridH->model()->index(4, 1));
        DoubleClick(w.wwDBGridH->viewport(), cell.center());
    });
    const auto picked = RunLookup<TfrmRootFH>(hqryADMMG, test::kUsersFrom);
    ASSERT_TRUE(picked);
    const QStringList row = expected[4].split(QLatin1Char('\t'));
    EXPECT_EQ(picked->at(0).toString(), row[0]);
    EXPECT_EQ(picked->at(1).toString(), row[1]);
}

TEST_F(Picking, SingleSelectOnEmptyOrClosedResult) {
    WhenShown<TfrmRootFH>([&](TfrmRootFH& w) {
        EXPECT_EQ(w.StatusText(3), QStringLiteral("0"));
        QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    });
    const auto empty = RunLookup<TfrmRootFH>(hqryADMMG, QStringLiteral("FROM ADMMG WHERE 1=0"));
    ASSERT_TRUE(empty);
    ASSERT_EQ(empty->Count(), 2);
    EXPECT_EQ(empty->at(0), QVariant(QString()));
    EXPECT_EQ(empty->at(1), QVariant(QString()));

    // A rejected search closes the result: the hand-back has no elements.
    auto window = Show<TfrmRootFH>();
    TfrmRootFH& w = *window.get();
    db.Exec(QStringLiteral("ALTER TABLE ADMMG RENAME TO ADMMG_AWAY"));
    QTest::mouseClick(w.cxButton1, Qt::LeftButton, {}, QPoint(20, 12));
    EXPECT_EQ(TakeBoxes().size(), 1);
    EXPECT_FALSE(w.QryFhelp->Active());
    QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    ASSERT_TRUE(w.ResultValue);
    EXPECT_EQ(w.ResultValue->Low(), 0);
    EXPECT_EQ(w.ResultValue->High(), -1);
}

// Qt's rules for item models, checked on the result grid's and the condition
// grid's models after every change the window makes to them: open, both
// searches, rows added and deleted by keys, title sorts, ticks, the result
// closed and the window closed. A broken rule ends the test program.
class ModelsOfEachWindow : public LookupFixture {};
PRVC03_ON_EACH_WINDOW(ModelsOfEachWindow);

TEST_P(ModelsOfEachWindow, KeepQtsModelRulesFromOpenToClose) {
    constexpr auto kFatal = QAbstractItemModelTester::FailureReportingMode::Fatal;
    QPointer<LookupWindow> window = test::NewLookupWindow(GetParam());
    LookupWindow& w = *window;
    auto results = std::make_unique<QAbstractItemModelTester>(w.wwDBGridH->ResultModel(), kFatal);
    auto conditions = std::make_unique<QAbstractItemModelTester>(w.wwDBGridQ->TableModel(), kFatal);
    const auto shown = test::ShowLookupWindow(window.data(), hqryADMMG, test::kUsersFrom);
    const int all = w.QryFhelp->RecordCount();
    ASSERT_GE(all, 3);

    test::QuickSearch(w, w.fB, 1, QStringLiteral("王"));
    EXPECT_LT(w.QryFhelp->RecordCount(), all);
    test::ConditionSearch(w, {{QStringLiteral("用户编号"), QStringLiteral("大于"),
                               QStringLiteral("A"), QStringLiteral("AND")},
                              {QStringLiteral("用户名称"), QStringLiteral("不等于"),
                               QStringLiteral("x"), QStringLiteral("AND")}});
    EXPECT_GE(w.QryFhelp->RecordCount(), 3);
    w.wwDBGridQ->SetConfirmDelete([] { return true; });
    w.wwDBGridQ->setFocus();
    QTest::keyClick(w.wwDBGridQ, Qt::Key_Insert);
    EXPECT_EQ(w.CDSTmp->RowCount(), 3);
    QTest::keyClick(w.wwDBGridQ, Qt::Key_Down);  // leaving the untouched row drops it
    QTest::keyClick(w.wwDBGridQ, Qt::Key_Delete, Qt::ControlModifier);
    EXPECT_EQ(w.CDSTmp->RowCount(), 1);
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);

    ClickTitle(w.wwDBGridH, QStringLiteral("用户名称"));
    ClickTitle(w.wwDBGridH, QStringLiteral("用户名称"));
    EXPECT_FALSE(w.QryFhelp->Sort().isEmpty());
    ClickCell(w.wwDBGridH, 1, 0);
    ClickCell(w.wwDBGridH, 2, 0);
    if (MultiSelect()) {
        ASSERT_NE(w.BitBtn5, nullptr);
        EXPECT_EQ(w.Picks().Count(), 2);
        QTest::mouseClick(w.BitBtn5, Qt::LeftButton);
        QTest::mouseClick(w.BitBtn8, Qt::LeftButton);
    } else {
        EXPECT_EQ(w.wwDBGridH->currentIndex().row(), 2);
    }

    w.QryFhelp->Close();
    EXPECT_EQ(w.wwDBGridH->ResultModel()->rowCount(), 0);
    QTest::mouseClick(w.BitBtn3, Qt::LeftButton);
    EXPECT_EQ(w.wwDBGridH->ResultModel()->rowCount(), w.QryFhelp->RecordCount());
    QTest::mouseClick(w.BitBtn2, Qt::LeftButton);
    EXPECT_FALSE(w.isVisible());
    results.reset();
    conditions.reset();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(TakeBoxes().isEmpty());
}

class CallerOfEachWindow : public LookupFixture {};
PRVC03_ON_EACH_WINDOW(CallerOfEachWindow);

TEST_P(CallerOfEachWindow, CancelAndEscLeaveNothingEvenWithAPick) {
    // A click on the first record ticks it (multi-select) or makes it the
    // current one (single-select); 取消, or Esc, hands back nothing all the same.
    WhenShown(GetParam(), [&](LookupWindow& w) {
        ClickCell(w.wwDBGridH, 0, 0);
        QTest::mouseClick(w.BitBtn2, Qt::LeftButton);
    });
    EXPECT_FALSE(test::RunLookup(GetParam(), hqryADMMG, test::kUsersFrom));
    WhenShown(GetParam(), [&](LookupWindow& w) {
        ClickCell(w.wwDBGridH, 0, 0);
        QTest::keyClick(w.wwDBGridH, Qt::Key_Escape);
    });
    EXPECT_FALSE(test::RunLookup(GetParam(), hqryADMMG, test::kUsersFrom));
    EXPECT_EQ(test::CurrentLookup(GetParam()), nullptr);
    EXPECT_TRUE(TakeBoxes().isEmpty());
}

class Caller : public LookupFixture {};

TEST_F(Caller, EachLookupBuildsAFreshWindowAndRunsTheShowStepAgain) {
    int shown = 0;
    auto pickFirst = [&](TfrmRootFH& w) {
        ++shown;
        EXPECT_EQ(frmRootFH, &w);
        EXPECT_EQ(w.CDSTmp->RowCount(), 1);  // only the new default row
        EXPECT_FALSE(w.ResultValue);
        QTest::mouseClick(w.BitBtn1, Qt::LeftButton);
    };
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(frmRootFH, nullptr);
        WhenShown<TfrmRootFH>(pickFirst);
        const auto picked = RunLookup<TfrmRootFH>(hqryADMMG, test::kUsersFrom);
        ASSERT_TRUE(picked);
        EXPECT_EQ(picked->at(0).toString(),
                  Rows(test::kUsersBase).first().section(QLatin1Char('\t'), 0, 0));
        EXPECT_EQ(frmRootFH, nullptr);
    }
    EXPECT_EQ(shown, 2);
    int opened = 0;
    for (const auto& notice : host.notices) {
        opened += notice.dwData == 0 && notice.text.startsWith(QStringLiteral("查询窗口#"));
    }
    EXPECT_EQ(opened, 2);
}

TEST_F(Caller, AShowStepTheDatabaseRejectsEndsTheLookupWithNothingPicked) {
    const auto picked =
        RunLookup<TfrmRootFS>(hqryADMMG, QStringLiteral("FROM NO_SUCH_TABLE WHERE 1=1"));
    EXPECT_FALSE(picked);
    EXPECT_EQ(frmRootFS, nullptr);
    const QStringList errors = TakeBoxes();
    ASSERT_EQ(errors.size(), 1);
    EXPECT_TRUE(errors[0].contains(QStringLiteral("NO_SUCH_TABLE"), Qt::CaseInsensitive))
        << errors[0].toStdString();

    // Shown modeless, the window frees itself.
    QPointer<TfrmRootFH> window = new TfrmRootFH(nullptr);
    window->SourceQuery = &hqryADMMG;
    window->FromText = QStringLiteral("FROM ADMMG WHERE");
    window->show();
    EXPECT_EQ(TakeBoxes().size(), 1);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_TRUE(window.isNull());
}

// A lookup window that never shows fails the test when the deadline passes,
// instead of keeping the suite waiting.
TEST(WhenShownDeadline, AWindowThatNeverShowsFailsTheTest) {
    ASSERT_EQ(TfrmRootFS::Current(), nullptr);
    QObject context;
    bool driven = false;
    EXPECT_NONFATAL_FAILURE(
        {
            test::WhenShown<TfrmRootFS>(
                &context, [&driven](TfrmRootFS&) { driven = true; }, QDeadlineTimer(0));
            QCoreApplication::processEvents();
        },
        "did not show its records in time");
    EXPECT_FALSE(driven);
}

}  // namespace
}  // namespace prvc03
