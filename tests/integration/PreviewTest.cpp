// 预览 on each real database: the forecast of every target line, a target
// rejected by the key among them, and nothing written, reported or closed.
#include <QTableWidget>

#include <gtest/gtest.h>

#include "IntegrationSupport.h"
#include "modules/CopyPreview.h"
#include "support/Screenshot.h"
#include "support/WhenModal.h"

namespace prvc03::test {
namespace {

class Preview : public ModuleTest {
  protected:
    // 预览, reading the rows of the preview window (code, name, rows and
    // outcome joined by tabs) before closing it with its 确定.
    QStringList ClickPreview() {
        QStringList rows;
        WhenModal<TfrmCopyPreview>(&context_, [&rows](TfrmCopyPreview& preview) {
            EXPECT_EQ(preview.windowTitle(), QStringLiteral("复制预览"));
            const QTableWidget* grid = preview.StringGrid1;
            for (int r = 0; r < grid->rowCount(); ++r) {
                QStringList cells;
                for (int c = 0; c < grid->columnCount(); ++c) {
                    cells << grid->item(r, c)->text();
                }
                rows << cells.join(QLatin1Char('\t'));
            }
            SaveScreenshot(preview, QStringLiteral("preview.png"));
            QTest::mouseClick(preview.BitBtn1, Qt::LeftButton);
        });
        QTest::mouseClick(window->BitBtn3, Qt::LeftButton);
        return rows;
    }

    QObject context_;
};

TEST_P(Preview, ForecastsEveryTargetAndWritesNothing) {
    const QByteArray before = db().Fingerprint();
    const int held = Rights(QStringLiteral("B02")).size();
    TfrmPRVC03F& w = OpenCopyWindow();
    w.Edit1->setText(QStringLiteral(" A01 "));
    w.AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    w.AddTargetLine(QStringLiteral("B02"), QStringLiteral("赵六"));  // holds PURI01 already
    w.AddTargetLine(QStringLiteral("C01"), QStringLiteral("周八"));
    w.AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));  // meets the first line's rows

    const QStringList rows = ClickPreview();
    ASSERT_EQ(rows.size(), 4);
    EXPECT_EQ(rows[0], QStringLiteral("B01\t王五\t4\t可复制"));
    EXPECT_EQ(rows[2], QStringLiteral("C01\t周八\t4\t可复制"));
    for (int refused : {1, 3}) {
        const QStringList cells = rows[refused].split(QLatin1Char('\t'));
        ASSERT_EQ(cells.size(), 4);
        EXPECT_EQ(cells[2], QStringLiteral("0"));
        EXPECT_TRUE(cells[3].startsWith(QStringLiteral("失败：")));
        EXPECT_GT(cells[3].size(), 3) << "the database's text follows";
    }
    EXPECT_TRUE(rows[1].startsWith(QStringLiteral("B02\t赵六\t")));

    EXPECT_EQ(db().Fingerprint(), before) << "the preview writes nothing";
    EXPECT_TRUE(host.messageBoxes.empty());
    EXPECT_TRUE(host.errorReports.empty()) << "a refused target is no failure to report";
    ASSERT_FALSE(window.isNull()) << "the copy window stays open";
    EXPECT_EQ(w.Edit1->text(), QStringLiteral(" A01 "));
    EXPECT_EQ(w.ListBox1->count(), 4);
    EXPECT_TRUE(w.isEnabled());

    // 确定 then writes what the preview forecast.
    ClickOk();
    EXPECT_EQ(Rights(QStringLiteral("B01")).size(), 4);
    EXPECT_EQ(Rights(QStringLiteral("C01")).size(), 4);
    EXPECT_EQ(Rights(QStringLiteral("B02")).size(), held);
    EXPECT_EQ(Shown(),
              (Boxes{{kCopied, 0x20}, {kNotCopied, 0x10}, {kCopied, 0x20}, {kNotCopied, 0x10}}));
}

PRVC03_ON_EVERY_DATABASE(Preview);

}  // namespace
}  // namespace prvc03::test
