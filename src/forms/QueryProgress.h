#pragma once
// "正在查询…": while a lookup's statement runs on a thread of its own, the
// window that waits keeps the host painting; once the statement has run for
// a second, this small window shows the rows read so far (where the reader
// knows them) and a 取消 button, which Esc presses as well. 取消 asks the
// driver to stop the statement on the server; the window stays until the
// statement has really returned, so nothing is left half-read.

#include <QDialog>

#include <chrono>
#include <functional>

#include "data/BackgroundWork.h"

class QLabel;
class QPushButton;

namespace prvc03 {

class QueryProgress final : public QDialog, public ReadWait {
    Q_OBJECT
  public:
    // `window` waits; the notice is its child and looks like it.
    explicit QueryProgress(QWidget* window);

    void Wait(BackgroundWork& work, const std::function<qint64()>& rowsRead,
              const std::function<void()>& cancel) override;

    // How long a statement runs before the notice shows: one second.
    static std::chrono::milliseconds Delay();
    // For tests: another delay; zero or less restores one second.
    static void SetDelayForTests(std::chrono::milliseconds delay);

    QLabel* Label1 = nullptr;
    QPushButton* BitBtn2 = nullptr;  // 取消

  protected:
    // Esc and the title bar's close: 取消.
    void reject() override;

  private:
    void Cancel();
    void ShowRows();

    std::function<qint64()> rowsRead_;
    std::function<void()> cancel_;
    bool cancelling_ = false;
};

}  // namespace prvc03
