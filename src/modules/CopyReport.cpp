#include "modules/CopyReport.h"

#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSqlDatabase>
#include <QStyle>
#include <QTableWidget>

#include "forms/Controls.h"
#include "modules/CopyUndo.h"
#include "modules/InputBlock.h"
#include "modules/MessageBoxes.h"
#include "modules/PRVC03F.h"
#include "modules/ResultGrids.h"
#include "modules/TableExport.h"
#include "resources/Glyphs.h"
#include "session/Errors.h"
#include "session/Global.h"

namespace prvc03 {

namespace {

constexpr int kClientWidth = 640;
constexpr int kClientHeight = 380;

enum Column { Code, Name, Result, Rows, ColumnCount };

}  // namespace

TfrmCopyReport::TfrmCopyReport(QObject* owner, CopyLedger ledger, QString copyCaption)
    : TfrmRootF(owner), ledger_(std::move(ledger)), copyCaption_(std::move(copyCaption)) {
    setObjectName(QStringLiteral("frmCopyReport"));
    setWindowTitle(QStringLiteral("复制结果"));
    SetClientSize(kClientWidth, kClientHeight);

    // The summary, and after 撤销复制 what it came to, on a second line.
    Label1 = Named(new QLabel(this), "Label1");
    Label1->setGeometry(12, 6, kClientWidth - 24, 42);
    Label1->setWordWrap(true);
    Label1->setAlignment(Qt::AlignLeft | Qt::AlignTop);

    StringGrid1 =
        ResultGrid(this, "StringGrid1",
                   {QStringLiteral("用户编号"), QStringLiteral("用户名称"), QStringLiteral("结果"),
                    QStringLiteral("笔数")},
                   QStringLiteral("复制结果"),
                   QRect(12, 52, kClientWidth - 24, kClientHeight - 52 - 56), {80, 110, 120, 64});
    // The result takes what the other columns leave; the count keeps its width.
    StringGrid1->horizontalHeader()->setStretchLastSection(false);
    StringGrid1->horizontalHeader()->setSectionResizeMode(Result, QHeaderView::Stretch);
    Label1->setBuddy(StringGrid1);

    BitBtn3 = StyleIconButton(this, "BitBtn3", QStringLiteral("撤销复制"), QStyle::SP_ArrowBack,
                              QStringLiteral("把复制成功的新用户恢复为复制前的权限"));
    BitBtn4 = StyleIconButton(this, "BitBtn4", QStringLiteral("重试失败"), QStyle::SP_BrowserReload,
                              QStringLiteral("以复制失败的新用户打开复制用户权限窗口"));
    BitBtn5 = StyleIconButton(this, "BitBtn5", QStringLiteral("导出"), QStyle::SP_DialogSaveButton,
                              QStringLiteral("把复制结果写入 CSV 文件"));
    int left = 12;
    for (QPushButton* button : {BitBtn3, BitBtn4, BitBtn5}) {
        button->setGeometry(left, kClientHeight - 44, 110, 30);
        left += 116;
    }
    BitBtn2 = BitBtn(this, "BitBtn2", QStringLiteral("关闭"), Glyph::Cancel);
    BitBtn2->setGeometry(kClientWidth - 12 - 97, kClientHeight - 44, 97, 30);

    setTabOrder(StringGrid1, BitBtn3);
    setTabOrder(BitBtn3, BitBtn4);
    setTabOrder(BitBtn4, BitBtn5);
    setTabOrder(BitBtn5, BitBtn2);

    const std::vector<CopiedLine>& lines = ledger_.Lines();
    StringGrid1->setRowCount(static_cast<int>(lines.size()));
    int copied = 0;
    int undoable = 0;
    for (int row = 0; row < static_cast<int>(lines.size()); ++row) {
        const CopiedLine& line = lines[static_cast<std::size_t>(row)];
        StringGrid1->setItem(row, Code, ResultCell(line.target.code));
        StringGrid1->setItem(row, Name, ResultCell(line.target.name));
        QTableWidgetItem* result = ResultCell(line.Outcome());
        if (!line.outcome.committed) {
            result->setForeground(kFailedText);
        }
        StringGrid1->setItem(row, Result, result);
        QString rows =
            line.RowsAdded() >= 0 ? QString::number(line.RowsAdded()) : QStringLiteral("?");
        if (ledger_.OnlyMissing() && line.outcome.committed) {
            rows +=
                QStringLiteral("（目标已有 %1）")
                    .arg(line.leftOut >= 0 ? QString::number(line.leftOut) : QStringLiteral("?"));
        }
        StringGrid1->setItem(row, Rows, ResultCell(rows, Qt::AlignRight));
        copied += line.outcome.committed ? 1 : 0;
        undoable += line.outcome.committed && line.RowsAdded() != 0 ? 1 : 0;
    }
    if (ledger_.OnlyMissing()) {
        // "3（目标已有 1）" needs more room than a bare count; 结果 gives it.
        StringGrid1->resizeColumnToContents(Rows);
    }
    const int failed = static_cast<int>(lines.size()) - copied;
    Label1->setText(QStringLiteral("原用户 %1：新用户 %2 位，%3 位成功，%4 位失败．")
                        .arg(TrimControl(ledger_.SourceText()))
                        .arg(lines.size())
                        .arg(copied)
                        .arg(failed) +
                    (ledger_.OnlyMissing() ? QStringLiteral("（只补缺少的权限）") : QString()));
    BitBtn3->setEnabled(undoable > 0);
    BitBtn4->setEnabled(failed > 0);
    if (!lines.empty()) {
        StringGrid1->setCurrentCell(0, Code);
    }

    Bind(BitBtn2, &QPushButton::clicked, &TfrmCopyReport::BitBtn2Click);
    Bind(BitBtn3, &QPushButton::clicked, &TfrmCopyReport::BitBtn3Click);
    Bind(BitBtn4, &QPushButton::clicked, &TfrmCopyReport::BitBtn4Click);
    Bind(BitBtn5, &QPushButton::clicked, &TfrmCopyReport::BitBtn5Click);
}

void TfrmCopyReport::BitBtn2Click() {
    close();
}

void TfrmCopyReport::BitBtn3Click() {
    if (undoRun_ || !Ask(QStringLiteral("撤销本次复制？"))) {
        return;
    }
    undoRun_ = true;
    BitBtn3->setEnabled(false);
    QSqlDatabase* db = Session().SessionConnection;
    std::vector<std::optional<UndoOutcome>> outcomes;
    {
        const InputBlock block(this);
        outcomes = TakeBackAll(db != nullptr && db->isOpen() ? db : nullptr, ledger_.Lines());
    }
    int undone = 0;
    int changed = 0;
    int failed = 0;
    for (int row = 0; row < static_cast<int>(outcomes.size()); ++row) {
        const std::optional<UndoOutcome>& outcome = outcomes[static_cast<std::size_t>(row)];
        if (!outcome) {
            continue;
        }
        QTableWidgetItem* result = ResultCell(outcome->Text());
        if (outcome->result != UndoOutcome::Undone) {
            result->setForeground(kFailedText);
        }
        StringGrid1->setItem(row, Result, result);
        undone += outcome->result == UndoOutcome::Undone ? 1 : 0;
        changed += outcome->result == UndoOutcome::Changed ? 1 : 0;
        failed += outcome->result == UndoOutcome::Failed ? 1 : 0;
    }
    Label1->setText(Label1->text() + QLatin1Char('\n') +
                    QStringLiteral("撤销：%1 位已撤销，%2 位已变更未撤销，%3 位撤销失败．")
                        .arg(undone)
                        .arg(changed)
                        .arg(failed));
}

void TfrmCopyReport::BitBtn4Click() {
    auto* window = new TfrmPRVC03F(Session().OwnApplication);
    window->setWindowTitle(copyCaption_);
    window->Edit1->setText(TrimControl(ledger_.SourceText()));
    window->CheckBox1->setChecked(ledger_.OnlyMissing());
    for (const CopiedLine& line : ledger_.Lines()) {
        if (!line.outcome.committed) {
            window->AddTargetLine(line.target.code, line.target.name);
        }
    }
    window->show();
    window->raise();
    window->activateWindow();
    close();
}

void TfrmCopyReport::BitBtn5Click() {
    ExportTable(*StringGrid1, this, QStringLiteral("复制结果.csv"));
}

TfrmCopyReport* ShowCopyReport(const CopyLedger& ledger, const QString& copyCaption) {
    if (ledger.Lines().empty()) {
        return nullptr;
    }
    auto* report = new TfrmCopyReport(Session().OwnApplication, ledger, copyCaption);
    report->show();
    report->raise();
    report->activateWindow();
    return report;
}

}  // namespace prvc03
