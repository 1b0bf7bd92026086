#pragma once
// TfrmCopyReport, "复制结果": how 确定 went for each target line, one row per
// line in list order (user code, user name, result, rows added), with the
// ways on: 撤销复制 takes this run back, 重试失败 opens a copy window with
// the failed lines, 导出 writes the rows to a CSV file. A modeless window
// of the library's own application object that frees itself when closed,
// so that it outlives the copy window that opened it.

#include <QString>

#include "forms/RootF.h"
#include "modules/CopyLedger.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace prvc03 {

class TfrmCopyReport final : public TfrmRootF {
    Q_OBJECT

  public:
    // `copyCaption` is the caption of the copy window that ran `ledger`: a
    // copy window opened again for the failed lines gets it too.
    TfrmCopyReport(QObject* owner, CopyLedger ledger, QString copyCaption);

    // Handlers.
    void BitBtn2Click();  // 关闭
    void BitBtn3Click();  // 撤销复制: once, after 是 to "撤销本次复制？"
    void BitBtn4Click();  // 重试失败
    void BitBtn5Click();  // 导出

    const CopyLedger& Ledger() const { return ledger_; }

    QLabel* Label1 = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QPushButton* BitBtn2 = nullptr;
    QPushButton* BitBtn3 = nullptr;
    QPushButton* BitBtn4 = nullptr;
    QPushButton* BitBtn5 = nullptr;

  private:
    CopyLedger ledger_;
    QString copyCaption_;
    bool undoRun_ = false;
};

// Opens the report of `ledger` when at least one line ran: modeless, owned
// by the library's own application object. Returns it, or null.
TfrmCopyReport* ShowCopyReport(const CopyLedger& ledger, const QString& copyCaption);

}  // namespace prvc03
