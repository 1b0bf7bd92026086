#pragma once
// TfrmCopyPreview, "复制预览": what 确定 would do for each target line, one
// row per line (user code, user name, rows the copy would add, outcome), as
// the dry run found it; below them, for the selected line, every row of the
// source with those the target holds already marked "目标已有". Shown
// modally over the copy window and freed by it.

#include <QVariantList>

#include <vector>

#include "forms/RootF.h"
#include "modules/CopyDryRun.h"

class QLabel;
class QPushButton;
class QTableWidget;

namespace prvc03 {

class TfrmCopyPreview final : public TfrmRootF {
    Q_OBJECT

  public:
    explicit TfrmCopyPreview(QObject* owner);

    // Fills the rows and the summary for a copy from `sourceCode`; `programs`
    // are the source's rows (MH002, MH003, MH004) the forecasts point into.
    void SetForecasts(const QString& sourceCode, const std::vector<CopyForecast>& forecasts,
                      const std::vector<QVariantList>& programs);

    void BitBtn1Click();
    // 导出: the forecast rows to a CSV file.
    void BitBtn3Click();
    // A line selected in StringGrid1: its detail in StringGrid2.
    void StringGrid1SelectCell(int row);

    QLabel* Label1 = nullptr;
    QLabel* Label3 = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QLabel* Label2 = nullptr;
    QTableWidget* StringGrid2 = nullptr;
    QPushButton* BitBtn1 = nullptr;
    QPushButton* BitBtn3 = nullptr;

  private:
    QString sourceCode_;
    std::vector<CopyForecast> forecasts_;
    std::vector<QVariantList> programs_;
};

}  // namespace prvc03
