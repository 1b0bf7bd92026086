// User codes pasted into the target list, on each real database: found
// users become lines as if picked, unknown codes are named once, and what
// names nobody writes nothing and leaves the list as it was.
#include <gtest/gtest.h>

#include "IntegrationSupport.h"
#include "modules/CopyStatements.h"

namespace prvc03::test {
namespace {

const QString kMissing = QStringLiteral("以下用户编号不存在：");

class Paste : public ModuleTest {
  protected:
    // The paste as a handler of the window runs it: a refusal ends it.
    void PasteText(const QString& text) {
        RunHandler([&] { window->PasteTargetCodes(text); });
    }
    QStringList Lines() const {
        QStringList lines;
        for (int i = 0; i < window->ListBox1->count(); ++i) {
            lines << window->ListBox1->item(i)->text();
        }
        return lines;
    }
};

TEST_P(Paste, FoundCodesBecomeLinesInPastedOrderAndUnknownOnesAreNamed) {
    const QByteArray before = db().Fingerprint();
    TfrmPRVC03F& w = OpenCopyWindow();
    w.AddTargetLine(QStringLiteral("D01"), QStringLiteral("郑十"));
    PasteText(QStringLiteral("C01\r\nZZZ9,\tB01  E03，ZZZ9\n\n0002"));
    EXPECT_EQ(Lines(), (QStringList{TargetLine(QStringLiteral("D01"), QStringLiteral("郑十")),
                                    TargetLine(QStringLiteral("C01"), QStringLiteral("周八")),
                                    TargetLine(QStringLiteral("B01"), QStringLiteral("王五")),
                                    TargetLine(QStringLiteral("E03"), QStringLiteral("欧阳娜娜")),
                                    TargetLine(QStringLiteral("0002"), QStringLiteral("王五"))}));
    EXPECT_EQ(w.TargetCode(4), QStringLiteral("0002"));
    ASSERT_EQ(host.messageBoxes.size(), 1u);
    EXPECT_EQ(host.messageBoxes[0].text, kMissing + QStringLiteral("ZZZ9．"));
    EXPECT_EQ(host.messageBoxes[0].type, 0x10u);
    EXPECT_EQ(host.messageBoxes[0].caption, QStringLiteral("提示信息"));
    EXPECT_EQ(db().Fingerprint(), before);
}

TEST_P(Paste, PastesThatNameNobodyWriteNothingAndSaySo) {
    const QByteArray before = db().Fingerprint();
    TfrmPRVC03F& w = OpenCopyWindow();
    w.AddTargetLine(QStringLiteral("D01"), QStringLiteral("郑十"));
    const QStringList lines = Lines();

    // Nothing but separators.
    for (const QString& empty : {QString(), QStringLiteral(" \r\n\t,，　")}) {
        PasteText(empty);
        EXPECT_EQ(TakeBoxes(), QStringList{QStringLiteral("粘贴的内容中没有用户编号．")});
    }
    // Longer than MG001 holds; past 20 characters a code is shown cut.
    PasteText(QStringLiteral("A01A01A01A01 B01B01B01B01B01B01B01B01"));
    EXPECT_EQ(TakeBoxes(),
              QStringList{kMissing + QStringLiteral("A01A01A01A01、B01B01B01B01B01B01B0…．")});
    // 20,000 lines, in statements of 500 codes: one box, the first codes
    // named and the count of all.
    QStringList many;
    for (int i = 0; i < 20000; ++i) {
        many << QStringLiteral("N%1").arg(i, 5, 10, QLatin1Char('0'));
    }
    PasteText(many.join(QLatin1Char('\n')));
    const QStringList boxes = TakeBoxes();
    ASSERT_EQ(boxes.size(), 1);
    EXPECT_TRUE(boxes[0].startsWith(kMissing + QStringLiteral("N00000、N00001、")));
    EXPECT_TRUE(boxes[0].endsWith(QStringLiteral("N00049等，共 20000 个．")))
        << boxes[0].toStdString();

    EXPECT_EQ(Lines(), lines);
    EXPECT_EQ(db().Fingerprint(), before);
}

PRVC03_ON_EVERY_DATABASE(Paste);

}  // namespace
}  // namespace prvc03::test
