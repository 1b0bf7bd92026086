// The whole copy on each real database: users picked through the real lookup
// windows, one transaction per target, a target rejected by the key in the
// middle of the list, and what each leaves in the tables.
#include <gtest/gtest.h>

#include "IntegrationSupport.h"

namespace prvc03::test {
namespace {

class Copy : public ModuleTest {};

TEST_P(Copy, ATargetRejectedByTheKeyLeavesTheOthersCommitted) {
    const QStringList source = Rights(QStringLiteral("A01"));
    const QStringList rejected = Rights(QStringLiteral("B02"));
    const QStringList users = db().Rows(QStringLiteral("ADMMG"));
    ASSERT_EQ(source.size(), 4);

    TfrmPRVC03F& w = OpenCopyWindow();
    w.Edit1->setText(QStringLiteral(" A01 "));
    w.AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    w.AddTargetLine(QStringLiteral("B02"), QStringLiteral("赵六"));  // holds PURI01 already
    w.AddTargetLine(QStringLiteral("C01"), QStringLiteral("周八"));
    ClickOk();

    EXPECT_EQ(Rights(QStringLiteral("B01")), source);
    EXPECT_EQ(Rights(QStringLiteral("C01")), source);
    EXPECT_EQ(Rights(QStringLiteral("B02")), rejected) << "rolled back whole";
    EXPECT_EQ(Rights(QStringLiteral("A01")), source);
    EXPECT_EQ(db().Rows(QStringLiteral("ADMMG")), users);
    EXPECT_EQ(db().Count(QStringLiteral("SELECT COUNT(*) FROM ADMMH")), 8 + 2 * 4);

    EXPECT_EQ(Shown(), (Boxes{{kCopied, 0x20}, {kNotCopied, 0x10}, {kCopied, 0x20}}));
    // The server's complaint reaches the host before the failure message.
    std::vector<QString> order;
    for (const HostEvent& event : host.events) {
        if (event.kind == HostEvent::ErrorReport) {
            EXPECT_TRUE(event.text.startsWith(kReportPrefix)) << event.text.toStdString();
            order.push_back(QStringLiteral("report"));
        } else if (event.kind == HostEvent::MessageBox) {
            order.push_back(event.text);
        }
    }
    EXPECT_EQ(order,
              (std::vector<QString>{kCopied, QStringLiteral("report"), kNotCopied, kCopied}));
    EXPECT_TRUE(window.isNull()) << "the window frees itself after the copy";
}

TEST_P(Copy, UsersPickedThroughTheLookupWindowsAreCopied) {
    TfrmPRVC03F& w = OpenCopyWindow();

    // Source: the single-select window, narrowed by a quick search.
    WhenShown<TfrmRootFH>([&](TfrmRootFH& lookup) {
        QuickSearch(lookup, lookup.fB, 1, QStringLiteral("李"));
        EXPECT_EQ(Codes(lookup), QStringList{QStringLiteral("A02")});
        QTest::mouseClick(lookup.BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(w.SpeedButton1, Qt::LeftButton);
    EXPECT_EQ(w.Edit1->text(), QStringLiteral("A02"));

    // Targets: three ticks in the multi-select window, after a re-search.
    WhenShown<TfrmRootFS>([&](TfrmRootFS& lookup) {
        QuickSearch(lookup, lookup.fC, 0, QStringLiteral("D"));
        EXPECT_EQ(
            Codes(lookup).mid(0, 3),
            (QStringList{QStringLiteral("D01"), QStringLiteral("D02"), QStringLiteral("D03")}));
        for (const QString& code : {QStringLiteral("D03"), QStringLiteral("D01")}) {
            ClickCell(lookup.wwDBGridH, RowOf(lookup, code), 0);
        }
        QTest::mouseClick(lookup.BitBtn1, Qt::LeftButton);
    });
    QTest::mouseClick(w.SpeedButton2, Qt::LeftButton);
    ASSERT_EQ(w.ListBox1->count(), 2);
    EXPECT_EQ(w.TargetCode(0), QStringLiteral("D01")) << "picked rows in result-set order";
    EXPECT_EQ(w.TargetCode(1), QStringLiteral("D03"));
    EXPECT_EQ(w.ListBox1->item(0)->text(), QStringLiteral("D01       郑十                "));

    ClickOk();
    EXPECT_EQ(Shown(), (Boxes{{kCopied, 0x20}, {kCopied, 0x20}}));
    EXPECT_EQ(Rights(QStringLiteral("D01")), Rights(QStringLiteral("A02")));
    EXPECT_EQ(Rights(QStringLiteral("D03")), Rights(QStringLiteral("A02")));
    EXPECT_TRUE(Rights(QStringLiteral("D02")).isEmpty());
    EXPECT_TRUE(host.errorReports.empty());
}

TEST_P(Copy, RefusalsWriteNothingAndKeepTheWindow) {
    const QByteArray before = db().Fingerprint();
    TfrmPRVC03F& w = OpenCopyWindow();
    w.AddTargetLine(QStringLiteral("C02"), QStringLiteral("吴九"));
    w.AddTargetLine(QStringLiteral("A01"), QStringLiteral("张三"));
    for (const QString& source :
         {QStringLiteral(" \t "), QStringLiteral("ZZZ"), QStringLiteral("A01")}) {
        w.Edit1->setText(source);
        ClickOk();
        ASSERT_FALSE(window.isNull());
    }
    EXPECT_EQ(Shown(), (Boxes{{QStringLiteral("原用户信息不能为空，复制无效．"), 0x10},
                              {QStringLiteral("用户信息资料库中不存在该原用户，复制无效．"), 0x10},
                              {QStringLiteral("新用户中存在原用户信息，复制无效．"), 0x10}}));
    EXPECT_EQ(db().Fingerprint(), before);
}

TEST_P(Copy, AUserAlreadyHoldingOtherRightsKeepsThem) {
    db().Exec(
        QStringLiteral("INSERT INTO ADMMH (MH001, MH002, MH003) VALUES ('C02', 'OWN01', '自有')"));
    // The second line meets the key.
    OpenCopyWindow(QStringLiteral("A02"), {{QStringLiteral("C02"), QStringLiteral("吴九")},
                                           {QStringLiteral("C02"), QStringLiteral("吴九")}});
    ClickOk();
    EXPECT_EQ(Shown(), (Boxes{{kCopied, 0x20}, {kNotCopied, 0x10}}));
    const QStringList rights = Rights(QStringLiteral("C02"));
    EXPECT_EQ(rights.size(), 1 + Rights(QStringLiteral("A02")).size());
    EXPECT_TRUE(
        rights.contains(QStringLiteral("OWN01\t自有\t<null>\t<null>\t<null>\t<null>\t<null>"
                                       "\t<null>\t<null>\t<null>\t<null>\t<null>\t<null>"
                                       "\t<null>\t<null>")));
}

PRVC03_ON_EVERY_DATABASE(Copy);

}  // namespace
}  // namespace prvc03::test
