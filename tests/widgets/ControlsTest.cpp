// The small controls: map-list combo, check list, list box, drop-down button.
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <gtest/gtest.h>

#include "session/Errors.h"
#include "support/ErrorOf.h"
#include "widgets/CheckList.h"
#include "widgets/DropDownButton.h"
#include "widgets/ListBox.h"
#include "widgets/MapListCombo.h"

namespace prvc03 {
namespace {

TEST(MapListComboTest, ShowsTheDisplayTextAndYieldsTheValue) {
    MapListCombo combo;
    combo.SetMapList(true);
    combo.AddItem(QStringLiteral("用户编号\tADMMG.MG001"));
    combo.AddItem(QStringLiteral("用户名称\tADMMG.MG002"));
    combo.AddItem(QStringLiteral("plain"));
    EXPECT_EQ(combo.currentText(), QStringLiteral("用户编号"));
    EXPECT_EQ(combo.Value(), QStringLiteral("ADMMG.MG001"));
    combo.setCurrentIndex(1);
    EXPECT_EQ(combo.Value(), QStringLiteral("ADMMG.MG002"));
    combo.setCurrentIndex(2);
    EXPECT_EQ(combo.Value(), QStringLiteral("plain"));
    EXPECT_EQ(combo.Item(0), QStringLiteral("用户编号\tADMMG.MG001"));
    combo.setCurrentIndex(-1);
    EXPECT_EQ(combo.Value(), QString());
}

class CheckListTest : public ::testing::Test {
  protected:
    CheckListTest() {
        QPixmap up(16, 16), down(16, 16);
        up.fill(Qt::red);
        down.fill(Qt::black);
        list_.SetImages({QIcon(up), QIcon(down)});
        list_.AddItem(QStringLiteral("用户名称"));
        list_.AddItem(QStringLiteral("用户编号"));
        list_.resize(200, 120);
        list_.show();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(&list_));
    }
    CheckList list_;
};

TEST_F(CheckListTest, DoubleClickRunsTheHandlerBeforeTheListFlips) {
    list_.SetChecked(1, true);
    list_.SetImageIndex(1, 0);
    QStringList events;
    QObject::connect(&list_, &CheckList::DblClick, [&] {
        const int row = list_.ItemIndex();
        events << QStringLiteral("dblclick %1 %2").arg(row).arg(list_.Checked(row));
        list_.SetImageIndex(row, list_.Checked(row) ? 1 : 0);
    });
    QObject::connect(&list_, &CheckList::CheckStateFlipped,
                     [&](int row) { events << QStringLiteral("flipped %1").arg(row); });
    const QPoint item = list_.visualItemRect(list_.item(1)).center();
    QTest::mouseDClick(list_.viewport(), Qt::LeftButton, {}, item);
    EXPECT_EQ(events, (QStringList{QStringLiteral("dblclick 1 1"), QStringLiteral("flipped 1")}));
    EXPECT_FALSE(list_.Checked(1));
    EXPECT_EQ(list_.ImageIndex(1), 1);

    QTest::mouseDClick(list_.viewport(), Qt::LeftButton, {}, item);
    EXPECT_TRUE(list_.Checked(1));
    EXPECT_EQ(list_.ImageIndex(1), 0);
}

TEST_F(CheckListTest, SpaceFlipsAndBadRowsRaise) {
    QSignalSpy flips(&list_, &CheckList::CheckStateFlipped);
    list_.setFocus();
    list_.SetItemIndex(0);
    QTest::keyClick(&list_, Qt::Key_Space);
    EXPECT_TRUE(list_.Checked(0));
    ASSERT_EQ(flips.count(), 1);
    EXPECT_EQ(flips.at(0).at(0).toInt(), 0);
    EXPECT_FALSE(list_.item(0)->data(Qt::CheckStateRole).isValid());  // no visible box

    list_.SetItemIndex(-1);
    QTest::keyClick(&list_, Qt::Key_Space);
    EXPECT_EQ(flips.count(), 1);
    EXPECT_EQ(test::ErrorOf([&] { list_.Checked(-1); }),
              QStringLiteral("List index out of bounds (-1)"));
}

TEST(ListBoxTest, RowsAreTwentyPixelsHigh) {
    ListBox list;
    list.addItems({QStringLiteral("用户编号"), QStringLiteral("用户名称")});
    list.resize(200, 100);
    list.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&list));
    EXPECT_EQ(list.visualItemRect(list.item(1)).height(), ListBox::RowHeight);
    EXPECT_EQ(list.font().pixelSize(), 16);
    EXPECT_EQ(list.ItemText(1), QStringLiteral("用户名称"));
    EXPECT_THROW(list.ItemText(2), Error);
}

TEST(DropDownButtonTest, ButtonPartClicksAndMenuIsAttached) {
    DropDownButton button;
    QMenu menu;
    menu.addAction(QStringLiteral("模糊查找"));
    button.SetDropDownMenu(&menu);
    button.SetCaption(QStringLiteral("重新查找"));
    button.resize(113, 25);
    button.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&button));
    QSignalSpy clicks(&button, &QToolButton::clicked);
    QTest::mouseClick(&button, Qt::LeftButton, {}, QPoint(10, 12));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(button.Caption(), QStringLiteral("重新查找"));
    EXPECT_EQ(button.popupMode(), QToolButton::MenuButtonPopup);
    // F4 opens the attached menu; the menu's own loop reads and closes it.
    ASSERT_EQ(button.menu(), &menu);
    QStringList shown;
    QTimer::singleShot(0, &menu, [&] {
        if (menu.isVisible()) {
            for (const QAction* action : menu.actions()) {
                shown << action->text();
            }
        }
        menu.close();
    });
    QTest::keyClick(&button, Qt::Key_F4);
    EXPECT_EQ(shown, QStringList{QStringLiteral("模糊查找")});
}

}  // namespace
}  // namespace prvc03
