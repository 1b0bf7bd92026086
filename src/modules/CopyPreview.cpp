#include "modules/CopyPreview.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>

#include "forms/Controls.h"
#include "resources/Glyphs.h"

namespace prvc03 {

namespace {

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 330;
const QColor kRefusedText(0xC0, 0x00, 0x00);

enum Column { Code, Name, Rows, Outcome, ColumnCount };

QTableWidgetItem* Cell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft) {
    auto* item = new QTableWidgetItem(text);
    item->setTextAlignment(alignment | Qt::AlignVCenter);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

TfrmCopyPreview::TfrmCopyPreview(QObject* owner) : TfrmRootF(owner) {
    setObjectName(QStringLiteral("frmCopyPreview"));
    setWindowTitle(QStringLiteral("复制预览"));
    SetClientSize(kClientWidth, kClientHeight);

    Label1 = Named(new QLabel(this), "Label1");
    Label1->setGeometry(12, 10, kClientWidth - 24, 20);

    StringGrid1 = Named(new QTableWidget(0, ColumnCount, this), "StringGrid1");
    StringGrid1->setAccessibleName(QStringLiteral("复制预览结果"));
    StringGrid1->setGeometry(12, 36, kClientWidth - 24, kClientHeight - 36 - 50);
    StringGrid1->setHorizontalHeaderLabels({QStringLiteral("用户编号"), QStringLiteral("用户名称"),
                                            QStringLiteral("复制笔数"), QStringLiteral("结果")});
    StringGrid1->verticalHeader()->hide();
    StringGrid1->verticalHeader()->setDefaultSectionSize(22);
    StringGrid1->setEditTriggers(QAbstractItemView::NoEditTriggers);
    StringGrid1->setSelectionBehavior(QAbstractItemView::SelectRows);
    StringGrid1->setSelectionMode(QAbstractItemView::SingleSelection);
    StringGrid1->setTabKeyNavigation(false);
    StringGrid1->setWordWrap(false);
    StringGrid1->setColumnWidth(Code, 80);
    StringGrid1->setColumnWidth(Name, 110);
    StringGrid1->setColumnWidth(Rows, 72);
    StringGrid1->horizontalHeader()->setStretchLastSection(true);
    Label1->setBuddy(StringGrid1);

    BitBtn1 = BitBtn(this, "BitBtn1", QStringLiteral("确定"), Glyph::Ok);
    BitBtn1->setGeometry(kClientWidth - 12 - 97, kClientHeight - 40, 97, 30);
    Bind(BitBtn1, &QPushButton::clicked, &TfrmCopyPreview::BitBtn1Click);
}

void TfrmCopyPreview::SetForecasts(const QString& sourceCode,
                                   const std::vector<CopyForecast>& forecasts) {
    StringGrid1->setRowCount(static_cast<int>(forecasts.size()));
    int copyable = 0;
    int row = 0;
    for (const CopyForecast& forecast : forecasts) {
        StringGrid1->setItem(row, Code, Cell(forecast.code));
        StringGrid1->setItem(row, Name, Cell(forecast.name));
        StringGrid1->setItem(row, Rows, Cell(QString::number(forecast.rows), Qt::AlignRight));
        QTableWidgetItem* outcome = Cell(forecast.Outcome());
        outcome->setToolTip(forecast.Outcome());
        if (!forecast.copyable) {
            outcome->setForeground(kRefusedText);
        }
        StringGrid1->setItem(row, Outcome, outcome);
        copyable += forecast.copyable ? 1 : 0;
        ++row;
    }
    Label1->setText(
        QStringLiteral("原用户 %1：新用户 %2 位，%3 位可复制，%4 位失败；预览未写入任何资料．")
            .arg(sourceCode)
            .arg(forecasts.size())
            .arg(copyable)
            .arg(static_cast<int>(forecasts.size()) - copyable));
    if (!forecasts.empty()) {
        StringGrid1->setCurrentCell(0, Code);
    }
}

void TfrmCopyPreview::BitBtn1Click() {
    close();
}

}  // namespace prvc03
