#include "modules/CopyPreview.h"

#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QTableWidget>

#include "forms/Controls.h"
#include "modules/ResultGrids.h"
#include "modules/TableExport.h"
#include "resources/Glyphs.h"

namespace prvc03 {

namespace {

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 560;

enum Column { Code, Name, Rows, Outcome, ColumnCount };
enum DetailColumn { Program, Title, Note, Held, DetailColumnCount };

}  // namespace

TfrmCopyPreview::TfrmCopyPreview(QObject* owner) : TfrmRootF(owner) {
    setObjectName(QStringLiteral("frmCopyPreview"));
    setWindowTitle(QStringLiteral("复制预览"));
    SetClientSize(kClientWidth, kClientHeight);
    const int width = kClientWidth - 24;

    Label1 = Named(new QLabel(this), "Label1");
    Label1->setGeometry(12, 8, width, 20);
    // What a dry run is, plainly: the statement ran and was rolled back.
    Label3 =
        Named(new QLabel(QStringLiteral("预览未提交任何资料（在回滚的事务中试行：触发器会执行，"
                                        "序号可能被占用）．"),
                         this),
              "Label3");
    Label3->setGeometry(12, 30, width, 20);

    StringGrid1 = ResultGrid(this, "StringGrid1",
                             {QStringLiteral("用户编号"), QStringLiteral("用户名称"),
                              QStringLiteral("复制笔数"), QStringLiteral("结果")},
                             QStringLiteral("复制预览结果"), QRect(12, 56, width, 200));
    StringGrid1->setColumnWidth(Code, 80);
    StringGrid1->setColumnWidth(Name, 110);
    StringGrid1->setColumnWidth(Rows, 72);
    Label1->setBuddy(StringGrid1);

    Label2 = Named(new QLabel(QStringLiteral("原用户的权限"), this), "Label2");
    Label2->setGeometry(12, 264, width, 20);
    StringGrid2 = ResultGrid(this, "StringGrid2",
                             {QStringLiteral("MH002"), QStringLiteral("MH003"),
                              QStringLiteral("MH004"), QStringLiteral("新用户")},
                             QStringLiteral("原用户的权限明细"), QRect(12, 288, width, 214));
    StringGrid2->setColumnWidth(Program, 110);
    StringGrid2->setColumnWidth(Title, 220);
    StringGrid2->setColumnWidth(Note, 110);
    Label2->setBuddy(StringGrid2);

    BitBtn3 = StyleIconButton(this, "BitBtn3", QStringLiteral("导出"), QStyle::SP_DialogSaveButton,
                              QStringLiteral("把预览结果写入 CSV 文件"));
    BitBtn3->setGeometry(12, kClientHeight - 44, 97, 30);

    BitBtn1 = BitBtn(this, "BitBtn1", QStringLiteral("确定"), Glyph::Ok);
    BitBtn1->setGeometry(kClientWidth - 12 - 97, kClientHeight - 44, 97, 30);

    setTabOrder(StringGrid1, StringGrid2);
    setTabOrder(StringGrid2, BitBtn3);
    setTabOrder(BitBtn3, BitBtn1);

    Bind(BitBtn1, &QPushButton::clicked, &TfrmCopyPreview::BitBtn1Click);
    Bind(BitBtn3, &QPushButton::clicked, &TfrmCopyPreview::BitBtn3Click);
    Bind(StringGrid1, &QTableWidget::currentCellChanged, &TfrmCopyPreview::StringGrid1SelectCell);
}

void TfrmCopyPreview::SetForecasts(const QString& sourceCode,
                                   const std::vector<CopyForecast>& forecasts,
                                   const std::vector<QVariantList>& programs) {
    sourceCode_ = sourceCode;
    forecasts_ = forecasts;
    programs_ = programs;
    StringGrid1->setRowCount(static_cast<int>(forecasts.size()));
    int copyable = 0;
    int row = 0;
    for (const CopyForecast& forecast : forecasts) {
        StringGrid1->setItem(row, Code, ResultCell(forecast.code));
        StringGrid1->setItem(row, Name, ResultCell(forecast.name));
        StringGrid1->setItem(row, Rows, ResultCell(QString::number(forecast.rows), Qt::AlignRight));
        QTableWidgetItem* outcome = ResultCell(forecast.Outcome());
        if (!forecast.copyable) {
            outcome->setForeground(kFailedText);
        }
        StringGrid1->setItem(row, Outcome, outcome);
        copyable += forecast.copyable ? 1 : 0;
        ++row;
    }
    Label1->setText(QStringLiteral("原用户 %1：新用户 %2 位，%3 位可复制，%4 位失败．")
                        .arg(sourceCode)
                        .arg(forecasts.size())
                        .arg(copyable)
                        .arg(static_cast<int>(forecasts.size()) - copyable));
    // The source's rows once; a selected line changes only their marks.
    StringGrid2->setRowCount(static_cast<int>(programs.size()));
    for (int r = 0; r < static_cast<int>(programs.size()); ++r) {
        const QVariantList& program = programs[static_cast<std::size_t>(r)];
        for (int c = Program; c <= Note; ++c) {
            StringGrid2->setItem(r, c, ResultCell(program.value(c).toString()));
        }
        QTableWidgetItem* mark = ResultCell(QString());
        mark->setForeground(kFailedText);
        StringGrid2->setItem(r, Held, mark);
    }
    if (!forecasts.empty()) {
        StringGrid1->setCurrentCell(0, Code);
    }
    StringGrid1SelectCell(StringGrid1->currentRow());
}

void TfrmCopyPreview::StringGrid1SelectCell(int row) {
    const CopyForecast* forecast = row >= 0 && row < static_cast<int>(forecasts_.size())
                                       ? &forecasts_[static_cast<std::size_t>(row)]
                                       : nullptr;
    std::vector<bool> held(programs_.size(), false);
    if (forecast != nullptr) {
        for (int index : forecast->held) {
            held[static_cast<std::size_t>(index)] = true;
        }
    }
    for (int r = 0; r < StringGrid2->rowCount(); ++r) {
        const QString mark =
            held[static_cast<std::size_t>(r)] ? QStringLiteral("目标已有") : QString();
        StringGrid2->item(r, Held)->setText(mark);
        StringGrid2->item(r, Held)->setToolTip(mark);
    }
    if (forecast == nullptr) {
        StringGrid2->horizontalHeaderItem(Held)->setText(QStringLiteral("新用户"));
        Label2->setText(
            QStringLiteral("原用户 %1 的权限：%2 笔").arg(sourceCode_).arg(programs_.size()));
        return;
    }
    StringGrid2->horizontalHeaderItem(Held)->setText(QStringLiteral("新用户 ") + forecast->code);
    Label2->setText(QStringLiteral("原用户 %1 的权限：%2 笔，新用户 %3 已有其中 %4 笔")
                        .arg(sourceCode_)
                        .arg(programs_.size())
                        .arg(forecast->code)
                        .arg(forecast->held.size()));
}

void TfrmCopyPreview::BitBtn1Click() {
    close();
}

void TfrmCopyPreview::BitBtn3Click() {
    ExportTable(*StringGrid1, this, QStringLiteral("复制预览.csv"));
}

}  // namespace prvc03
