#include "forms/QueryProgress.h"

#include <QApplication>
#include <QEventLoop>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

#include <atomic>

#include "forms/Controls.h"

namespace prvc03 {

namespace {

constexpr std::chrono::milliseconds kDelay{1000};
constexpr std::chrono::milliseconds kRefresh{200};
std::atomic<long long> testDelayMs{0};

// The arrow over the notice, whatever busy cursor the application shows,
// for as long as the notice is up.
class ArrowCursor {
  public:
    ArrowCursor() { QApplication::setOverrideCursor(Qt::ArrowCursor); }
    ~ArrowCursor() { QApplication::restoreOverrideCursor(); }
    ArrowCursor(const ArrowCursor&) = delete;
    ArrowCursor& operator=(const ArrowCursor&) = delete;
};

}  // namespace

QueryProgress::QueryProgress(QWidget* window)
    : QDialog(window, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                          Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmQueryProgress"));
    setWindowTitle(QStringLiteral("正在查询…"));
    setModal(true);
    // A window takes no font from its parent by itself: it looks like the
    // window that waits.
    setFont(window->font());
    setPalette(window->palette());
    setAutoFillBackground(true);
    constexpr int kWidth = 360;
    setFixedSize(kWidth, 104);

    Label1 = Named(new QLabel(this), "Label1");
    Label1->setGeometry(16, 16, kWidth - 32, 24);
    BitBtn2 = BitBtn(this, "BitBtn2", QStringLiteral("取消"), Glyph::Cancel, QSize(97, 30));
    BitBtn2->move((kWidth - 97) / 2, 58);
    BitBtn2->setToolTip(QStringLiteral("停止查询（Esc）"));
    Label1->setBuddy(BitBtn2);
    connect(BitBtn2, &QPushButton::clicked, this, &QueryProgress::Cancel);
}

std::chrono::milliseconds QueryProgress::Delay() {
    const long long test = testDelayMs.load();
    return test > 0 ? std::chrono::milliseconds(test) : kDelay;
}

void QueryProgress::SetDelayForTests(std::chrono::milliseconds delay) {
    testDelayMs.store(delay.count() > 0 ? delay.count() : 0);
}

void QueryProgress::Wait(BackgroundWork& work, const std::function<qint64()>& rowsRead,
                         const std::function<void()>& cancel) {
    if (work.IsDone()) {
        return;
    }
    {
        // The first second: the host paints, no key or click reaches the
        // windows meanwhile.
        // A timer of this scope, not a single-shot one: that would outlive
        // the wait, and the library, under the event dispatcher.
        QEventLoop loop;
        QTimer delay;
        delay.setSingleShot(true);
        connect(&delay, &QTimer::timeout, &loop, &QEventLoop::quit);
        connect(&work, &BackgroundWork::Done, &loop, &QEventLoop::quit);
        delay.start(Delay());
        loop.exec(QEventLoop::ExcludeUserInputEvents);
    }
    if (work.IsDone()) {
        return;
    }
    rowsRead_ = rowsRead;
    cancel_ = cancel;
    cancelling_ = false;
    BitBtn2->setEnabled(true);
    ShowRows();
    QTimer refresh;
    connect(&refresh, &QTimer::timeout, this, &QueryProgress::ShowRows);
    refresh.start(kRefresh);
    const QMetaObject::Connection finished =
        connect(&work, &BackgroundWork::Done, this, [this] { QDialog::done(QDialog::Accepted); });
    {
        const ArrowCursor arrow;
        // Done comes through the event loop after IsDone turned true, so it
        // cannot have been missed here.
        if (!work.IsDone()) {
            exec();
        }
    }
    disconnect(finished);
    rowsRead_ = nullptr;
    cancel_ = nullptr;
    // A close of the notice some other way still waits for the statement.
    work.Join();
}

void QueryProgress::reject() {
    Cancel();
}

void QueryProgress::Cancel() {
    if (cancelling_ || !cancel_) {
        return;
    }
    cancelling_ = true;
    BitBtn2->setEnabled(false);
    Label1->setText(QStringLiteral("正在取消…"));
    cancel_();
}

void QueryProgress::ShowRows() {
    if (cancelling_ || !rowsRead_) {
        return;
    }
    const qint64 rows = rowsRead_();
    Label1->setText(rows > 0 ? QStringLiteral("正在查询…，已读取 %1 笔").arg(rows)
                             : QStringLiteral("正在查询…"));
}

}  // namespace prvc03
