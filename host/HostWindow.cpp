#include "HostWindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QFileInfo>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QStatusBar>
#include <QToolBar>

#include <cstdio>
#include <exception>
#include <utility>

#include "platform/Cp936.h"
#include "platform/HostString.h"
#include "platform/MessageBoxButtons.h"

namespace prvc03::host {

class HostWindow::Endpoint : public platform::WindowEndpoint {
  public:
    Endpoint(HostWindow& owner, bool main) : owner_(owner), main_(main) {}
    platform::LRESULT HandleMessage(unsigned message, platform::WPARAM wParam,
                                    platform::LPARAM lParam) override {
        owner_.OnMessage(main_, message, wParam, lParam);
        return 0;
    }
    void ApplyShowCommand(int) override {}

  private:
    HostWindow& owner_;
    bool main_;
};

HostWindow::HostWindow(QSqlDatabase& db, const QString& libraryPath, const QString& databaseLabel)
    : db_(db), libraryPath_(libraryPath) {
    setObjectName(QStringLiteral("frmMain"));
    setWindowTitle(QStringLiteral("PRVC03 测试宿主"));
    resize(760, 420);

    log_ = new QPlainTextEdit(this);
    log_->setObjectName(QStringLiteral("HostLog"));
    log_->setReadOnly(true);
    log_->setAccessibleName(QStringLiteral("宿主日志"));
    setCentralWidget(log_);

    QToolBar* tools = addToolBar(QStringLiteral("模块"));
    QAction* open = tools->addAction(QStringLiteral("打开复制用户权限"));
    open->setShortcut(QKeySequence(QStringLiteral("Ctrl+O")));
    open->setToolTip(QStringLiteral("调用 LoadDll 打开（或重新激活）复制用户权限窗口 (Ctrl+O)"));
    connect(open, &QAction::triggered, this, [this] { OpenModule(); });
    QAction* close = tools->addAction(QStringLiteral("发送 Close"));
    close->setToolTip(QStringLiteral("向模块窗口发送复制数据文本 Close"));
    connect(close, &QAction::triggered, this, [this] { CloseModule(); });
    QAction* clear = tools->addAction(QStringLiteral("清空日志"));
    connect(clear, &QAction::triggered, this, [this] {
        log_->clear();
        lines_.clear();
    });
    statusBar()->showMessage(QStringLiteral("数据库：%1").arg(databaseLabel));

    mainEndpoint_ = std::make_unique<Endpoint>(*this, true);
    logEndpoint_ = std::make_unique<Endpoint>(*this, false);
    mainHandle_ = platform::RegisterWindow("TfrmMain", mainEndpoint_.get());
    logHandle_ = platform::RegisterWindow("THostLog", logEndpoint_.get());

    platform::SetMessageBoxPresenter(
        [this](platform::HWND, const QByteArray& text, const QByteArray& caption, unsigned type) {
            const QString message = platform::FromCp936(text);
            Append(QStringLiteral("[消息框] 类型 0x%1 %2: %3")
                       .arg(type, 2, 16, QLatin1Char('0'))
                       .arg(platform::FromCp936(caption), message));
            const bool yesNo = (type & platform::MB_TYPEMASK) == platform::MB_YESNO;
            if (!interactive) {
                // Nobody to answer a question: the answer that changes nothing.
                return yesNo ? platform::IDNO : platform::IDOK;
            }
            QMessageBox box(type & platform::MB_ICONSTOP       ? QMessageBox::Critical
                            : type & platform::MB_ICONQUESTION ? QMessageBox::Question
                                                               : QMessageBox::NoIcon,
                            platform::FromCp936(caption), message,
                            yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
            // The system's button texts for the user's locale, with or
            // without the toolkit's translations.
            const std::pair<QMessageBox::StandardButton, int> buttons[] = {
                {QMessageBox::Ok, platform::IDOK},
                {QMessageBox::Yes, platform::IDYES},
                {QMessageBox::No, platform::IDNO}};
            for (const auto& [button, id] : buttons) {
                const QString text = platform::MessageBoxButtonText(id);
                if (box.button(button) != nullptr && !text.isEmpty()) {
                    box.button(button)->setText(text);
                }
            }
            if (yesNo) {
                box.setEscapeButton(QMessageBox::No);
                return box.exec() == QMessageBox::Yes ? platform::IDYES : platform::IDNO;
            }
            box.exec();
            return platform::IDOK;
        });
    Append(QStringLiteral("宿主已启动，数据库：%1").arg(databaseLabel));
}

HostWindow::~HostWindow() {
    UnloadLibrary();
    platform::SetMessageBoxPresenter(nullptr);
    platform::UnregisterWindow(mainHandle_);
    platform::UnregisterWindow(logHandle_);
}

void HostWindow::Append(const QString& line) {
    lines_.append(line);
    if (log_ != nullptr) {
        log_->appendPlainText(line);
    }
}

void HostWindow::OnMessage(bool main, unsigned message, platform::WPARAM wParam,
                           platform::LPARAM lParam) {
    const auto* record = reinterpret_cast<const platform::COPYDATASTRUCT*>(lParam);
    QByteArray bytes;
    std::uintptr_t kind = 0;
    std::uint32_t size = 0;
    if (record != nullptr) {
        kind = record->dwData;
        size = record->cbData;
        if (record->lpData != nullptr && size > 0) {
            bytes = QByteArray(static_cast<const char*>(record->lpData), int(size));
            bytes.truncate(int(qstrnlen(bytes.constData(), size)));
        }
    }
    const QString text = platform::FromCp936(bytes);
    if (main && message == platform::WM_HOST_NOTICE) {
        Append(QStringLiteral("[通知] 消息 %1 类型 %2 cbData %3: %4")
                   .arg(message)
                   .arg(kind)
                   .arg(size)
                   .arg(text));
    } else if (!main && message == platform::WM_ERROR_REPORT) {
        Append(QStringLiteral("[错误报告] 消息 %1 wParam %2 cbData %3: %4")
                   .arg(message)
                   .arg(wParam)
                   .arg(size)
                   .arg(text));
    } else {
        Append(QStringLiteral("[消息] %1 wParam %2: %3").arg(message).arg(wParam).arg(text));
    }
}

bool HostWindow::OpenModule() {
    if (loadDll_ == nullptr) {
        library_.setFileName(libraryPath_);
        if (!library_.load()) {
            Append(
                QStringLiteral("[错误] 无法加载 %1: %2").arg(libraryPath_, library_.errorString()));
            if (interactive) {
                QMessageBox::critical(this, windowTitle(), library_.errorString());
            }
            return false;
        }
        loadDll_ = reinterpret_cast<LoadDllFunction>(library_.resolve("LoadDll"));
        if (loadDll_ == nullptr) {
            Append(QStringLiteral("[错误] %1 没有导出 LoadDll").arg(libraryPath_));
            library_.unload();
            return false;
        }
        Append(QStringLiteral("已加载 %1").arg(QFileInfo(libraryPath_).fileName()));
    }
    const platform::HostString formName(QByteArrayLiteral("frmPRVC03F"));
    const platform::HostString caption(platform::ToCp936(QStringLiteral("复制用户权限")));
    const platform::HostString empty(QByteArray{});
    try {
        loadDll_(qApp, 0, formName.data(), caption.data(), empty.data(), empty.data(), &db_, 0,
                 empty.data(), empty.data(), empty.data(), empty.data(), empty.data(), empty.data(),
                 static_cast<int32_t>(logHandle_), nullptr);
    } catch (const std::exception& error) {
        const QString text = QString::fromUtf8(error.what());
        Append(QStringLiteral("[错误] LoadDll: %1").arg(text));
        if (interactive) {
            QMessageBox::critical(this, windowTitle(), text);
        }
        return false;
    }
    return true;
}

void HostWindow::CloseModule() {
    // By the copy window's class: the last window that announced itself
    // may be a lookup that is gone by now.
    // A copy window that closed may stay in the window table until it is
    // freed, hence the look at what is shown.
    const platform::HWND module = platform::FindWindowA("TfrmPRVC03F", nullptr);
    if (module == 0 || ModuleWindow() == nullptr) {
        Append(QStringLiteral("没有打开的模块窗口"));
        return;
    }
    static const char text[] = "Close";
    platform::COPYDATASTRUCT record;
    record.cbData = sizeof(text);
    record.lpData = text;
    platform::SendMessageA(module, platform::WM_COPYDATA, platform::WPARAM(mainHandle_),
                           reinterpret_cast<platform::LPARAM>(&record));
}

void HostWindow::UnloadLibrary() {
    if (!library_.isLoaded()) {
        return;
    }
    loadDll_ = nullptr;
    if (!library_.unload()) {
        Append(QStringLiteral("[错误] 无法卸载: %1").arg(library_.errorString()));
    } else {
        Append(QStringLiteral("已卸载模块"));
    }
}

QWidget* HostWindow::ModuleWindow() const {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName().compare(QStringLiteral("frmPRVC03F"), Qt::CaseInsensitive) == 0 &&
            widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

}  // namespace prvc03::host
