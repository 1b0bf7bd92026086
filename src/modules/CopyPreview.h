#pragma once
// TfrmCopyPreview, "复制预览": what 确定 would do for each target line, one
// row per line (user code, user name, rows the copy would add, outcome), as
// the dry run found it. Shown modally over the copy window and freed by it.

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

    // Fills the rows and the summary for a copy from `sourceCode`.
    void SetForecasts(const QString& sourceCode, const std::vector<CopyForecast>& forecasts);

    void BitBtn1Click();

    QLabel* Label1 = nullptr;
    QTableWidget* StringGrid1 = nullptr;
    QPushButton* BitBtn1 = nullptr;
};

}  // namespace prvc03
