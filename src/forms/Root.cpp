#include "forms/Root.h"

#include <QApplication>
#include <QCloseEvent>
#include <QFont>
#include <QKeyEvent>
#include <QPalette>
#include <QScreen>
#include <QShowEvent>
#include <QWindow>

#include <cstring>

#include "forms/KeyPreview.h"
#include "platform/SysColors.h"
#include "resources/Glyphs.h"
#include "session/Errors.h"
#include "session/Global.h"
#include "widgets/DataGrid.h"

namespace prvc03 {

namespace {

// Whether `widget` or one of its parents below `window` is a data grid (the
// grid itself, its viewport or a cell editor on it).
bool InsideDataGrid(const QWidget* widget, const QWidget* window) {
    for (const QWidget* w = widget; w != nullptr && w != window; w = w->parentWidget()) {
        if (qobject_cast<const DataGrid*>(w) != nullptr) {
            return true;
        }
    }
    return false;
}

QFont WindowFont() {
    QFont font;
    // 宋体 first; the CJK font stands in where it is not installed. The names
    // are copied to the heap: Qt's font cache keeps them after the library is
    // unloaded, and a literal's text would go with the library.
    font.setFamilies({QString::fromUtf8("宋体"), QString::fromUtf8("SimSun"),
                      QString::fromUtf8("WenQuanYi Zen Hei")});
    font.setPixelSize(16);
    font.setWeight(QFont::Normal);
    return font;
}

}  // namespace

// Takes the messages and ShowWindow calls sent to the window's handle.
class TfrmRoot::Endpoint final : public platform::WindowEndpoint {
  public:
    explicit Endpoint(TfrmRoot& window) : window_(window) {}

    platform::LRESULT HandleMessage(unsigned message, platform::WPARAM wParam,
                                    platform::LPARAM lParam) override {
        platform::LRESULT result = 0;
        RunHandler([&] { result = window_.WndProc(message, wParam, lParam); });
        return result;
    }

    void ApplyShowCommand(int command) override {
        RunHandler([&] { window_.ApplyShowCommand(command); });
    }

  private:
    TfrmRoot& window_;
};

TfrmRoot::TfrmRoot(QObject* owner)
    : QDialog(nullptr, Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                           Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                           Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    setObjectName(QStringLiteral("frmRoot"));
    // A module window closing must never end the host's event loop.
    setAttribute(Qt::WA_QuitOnClose, false);
    AdoptComponent(owner, this);

    setFont(WindowFont());
    QPalette colours = palette();
    colours.setColor(QPalette::Window, platform::SysColor<QColor>(platform::COLOR_BTNFACE));
    colours.setColor(QPalette::Button, platform::SysColor<QColor>(platform::COLOR_BTNFACE));
    colours.setColor(QPalette::WindowText, platform::SysColor<QColor>(platform::COLOR_WINDOWTEXT));
    setPalette(colours);
    setAutoFillBackground(true);

    QIcon icon;
    icon.addPixmap(GlyphPixmap(Glyph::WindowIcon, 16));
    icon.addPixmap(GlyphPixmap(Glyph::WindowIcon, 32));
    setWindowIcon(icon);
    SetClientSize(686, 457);

    // Listed now so the list keeps creation order; class name and handle
    // follow when the handle is made.
    AddOpenWindow(this, QByteArray(), 0);
    // The window sees each key before the focused control.
    keyPreview_ = std::make_unique<KeyPreview>(
        this,
        [this](int& key, Qt::KeyboardModifiers shift) {
            closedByKeyDown_ = false;
            FormKeyDown(key, shift);
        },
        [this](char& key) { FormKeyPress(key); });
}

void* TfrmRoot::operator new(std::size_t size) {
    return ::operator new(size);
}

void TfrmRoot::operator delete(void* memory) {
    ::operator delete(memory);
}

void TfrmRoot::operator delete(TfrmRoot* window, std::destroying_delete_t) {
    window->RunDestroyStep();
    // The memory starts at the most-derived object, not necessarily here.
    void* memory = dynamic_cast<void*>(window);
    window->~TfrmRoot();  // virtual: the most-derived destructor first
    ::operator delete(memory);
}

TfrmRoot::~TfrmRoot() {
    // Done already when delete freed the window; a window on the stack gets
    // TfrmRoot's part of the step here.
    RunDestroyStep();
    keyPreview_.reset();
    if (handle_ != 0) {
        platform::UnregisterWindow(handle_);
        handle_ = 0;
    }
    RemoveOpenWindow(this);
    if (modalLoop_ != nullptr) {
        modalLoop_->exit();
    }
}

QByteArray TfrmRoot::ClassName() const {
    QByteArray name = metaObject()->className();
    const int colon = name.lastIndexOf(':');
    return colon >= 0 ? name.mid(colon + 1) : name;
}

platform::HWND TfrmRoot::Handle() {
    if (handle_ == 0 && !destroyStepDone_) {
        CreateParamsData params;
        CreateParams(params);
        parentWindow_ = params.WndParent;
        endpoint_ = std::make_unique<Endpoint>(*this);
        const QByteArray className = ClassName();
        handle_ = platform::RegisterWindow(className, endpoint_.get());
        AddOpenWindow(this, className, handle_);
    }
    return handle_;
}

void TfrmRoot::CreateParams(CreateParamsData& /*params*/) {}

void TfrmRoot::SetClientSize(int width, int height) {
    setFixedSize(width, height);
}

void TfrmRoot::RunDestroyStep() {
    if (destroyStepDone_) {
        return;
    }
    destroyStepDone_ = true;
    for (const QMetaObject::Connection& connection : handlerConnections_) {
        disconnect(connection);
    }
    handlerConnections_.clear();
    Q_EMIT Destroying();
    RunHandler([this] { FormDestroy(); });
}

// ---- handlers ---------------------------------------------------------------

void TfrmRoot::FormShow() {
    const platform::HWND handle = Handle();
    const QString text = windowTitle() + QLatin1Char('#') +
                         QString::number(static_cast<quint64>(static_cast<std::uintptr_t>(handle)));
    NotifyHost(text, 0);
    QCoreApplication::processEvents();
}

void TfrmRoot::FormClose(CloseAction& /*action*/) {
    NotifyHost(windowTitle(), 1);
}

void TfrmRoot::FormDestroy() {}

void TfrmRoot::FormKeyPress(char& key) {
    if (key == kCharEscape) {
        // The key-down step has already closed the window for this Esc.
        if (!closedByKeyDown_ && isVisible()) {
            close();
        }
        return;
    }
    if (key == kCharEnter) {
        QWidget* active = focusWidget();
        if (active == nullptr || active == this || InsideDataGrid(active, this)) {
            return;
        }
        key = 0;
        platform::SendMessageA(Handle(), platform::WM_NEXTDLGCTL, 0, 0);
    }
}

void TfrmRoot::FormKeyDown(int& key, Qt::KeyboardModifiers /*shift*/) {
    if (key == platform::VK_ESCAPE) {
        closedByKeyDown_ = true;
        close();
    }
}

void TfrmRoot::WMCopyData(const platform::COPYDATASTRUCT* data) {
    // The block comes from another party: read it only within its length.
    if (data == nullptr || data->lpData == nullptr || data->cbData == 0) {
        return;
    }
    const auto* bytes = static_cast<const char*>(data->lpData);
    const void* end = std::memchr(bytes, 0, data->cbData);
    if (end == nullptr) {
        return;
    }
    const QByteArray text(bytes, static_cast<const char*>(end) - bytes);
    if (text == "Close") {
        close();
    }
}

// ---- messages -----------------------------------------------------------------

platform::LRESULT TfrmRoot::WndProc(unsigned message, platform::WPARAM wParam,
                                    platform::LPARAM lParam) {
    switch (message) {
        case platform::WM_COPYDATA:
            WMCopyData(reinterpret_cast<const platform::COPYDATASTRUCT*>(lParam));
            break;
        case platform::WM_NEXTDLGCTL:
            // wParam 0: next control, otherwise the previous one. A handle in
            // wParam (lParam's low word set) names no control here.
            if ((lParam & 0xFFFF) == 0) {
                if (wParam == 0) {
                    focusNextChild();
                } else {
                    focusPreviousChild();
                }
            }
            break;
        default:
            break;
    }
    return 0;
}

void TfrmRoot::ApplyShowCommand(int command) {
    switch (command) {
        case platform::SW_HIDE:
            hide();
            break;
        case platform::SW_SHOWNORMAL:
        case platform::SW_RESTORE:
            showNormal();
            break;
        case platform::SW_SHOWMINIMIZED:
        case platform::SW_MINIMIZE:
        case platform::SW_SHOWMINNOACTIVE:
            showMinimized();
            break;
        case platform::SW_SHOWMAXIMIZED:
            showMaximized();
            break;
        case platform::SW_SHOWNOACTIVATE:
        case platform::SW_SHOWNA:
            if (!isVisible()) {
                const bool was = testAttribute(Qt::WA_ShowWithoutActivating);
                setAttribute(Qt::WA_ShowWithoutActivating, true);
                show();
                setAttribute(Qt::WA_ShowWithoutActivating, was);
            }
            break;
        case platform::SW_SHOW:
        default:
            show();
            break;
    }
}

// ---- Qt entry points ------------------------------------------------------------

void TfrmRoot::PlaceWindow() {
    QScreen* screen = this->screen();
    if (screen == nullptr) {
        screen = QGuiApplication::primaryScreen();
    }
    if (screen == nullptr) {
        return;
    }
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
}

void TfrmRoot::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (!event->spontaneous() && !placed_) {
        placed_ = true;
        RunHandler([this] { PlaceWindow(); });
    }
}

void TfrmRoot::closeEvent(QCloseEvent* event) {
    CloseAction action = CloseAction::Hide;
    bool stepRan = false;
    RunHandler([&] {
        FormClose(action);
        stepRan = true;
    });
    // A close step that failed keeps the window open.
    if (!stepRan || action == CloseAction::None) {
        event->ignore();
        return;
    }
    if (action == CloseAction::Minimize) {
        event->ignore();
        showMinimized();
        return;
    }
    event->accept();
    QPointer<TfrmRoot> self(this);
    inCloseEvent_ = true;
    QDialog::done(result());  // hides the window and ends a modal loop
    if (!self) {
        return;
    }
    inCloseEvent_ = false;
    // A modal window is freed by whoever ran it, after reading its result.
    if (action == CloseAction::Free && modalLoop_ == nullptr) {
        if (runningHandlers_ > 0) {
            freeAfterHandlers_ = true;
        } else {
            deleteLater();
        }
    }
}

void TfrmRoot::RunBoundHandler(const std::function<void()>& handler) {
    ++runningHandlers_;
    RunHandler(handler);
    --runningHandlers_;
    if (runningHandlers_ == 0 && freeAfterHandlers_) {
        freeAfterHandlers_ = false;
        deleteLater();
    }
}

int TfrmRoot::exec() {
    if (modalLoop_ != nullptr) {
        qWarning("TfrmRoot::exec: the window already runs modally");
        return QDialog::Rejected;
    }
    QPointer<TfrmRoot> self(this);
    const bool deleteOnClose = testAttribute(Qt::WA_DeleteOnClose);
    setAttribute(Qt::WA_DeleteOnClose, false);
    const bool wasShowModal = testAttribute(Qt::WA_ShowModal);
    setAttribute(Qt::WA_ShowModal, true);
    setResult(0);
    QEventLoop loop;
    modalLoop_ = &loop;
    show();
    // The show step may have closed the window already.
    if (self && isVisible()) {
        loop.exec(QEventLoop::DialogExec);
    }
    if (!self) {
        return QDialog::Rejected;
    }
    modalLoop_ = nullptr;
    setAttribute(Qt::WA_ShowModal, wasShowModal);
    const int result = this->result();
    if (deleteOnClose) {
        delete this;
    }
    return result;
}

void TfrmRoot::setVisible(bool visible) {
    const bool wasVisible = isVisible();
    QDialog::setVisible(visible);
    if (!visible && modalLoop_ != nullptr) {
        modalLoop_->exit();
    }
    if (visible) {
        freeAfterHandlers_ = false;  // shown again: no longer to be freed
    }
    // The show step runs once the window is fully shown: it processes waiting
    // messages, and one of them may close the window again.
    if (visible && !wasVisible && isVisible()) {
        RunHandler([this] { FormShow(); });
    }
}

void TfrmRoot::done(int result) {
    if (inCloseEvent_) {
        QDialog::done(result);
        return;
    }
    // accept(), reject() and done() close through the close step too.
    setResult(result);
    close();
}

void TfrmRoot::keyPressEvent(QKeyEvent* event) {
    // Esc was handled by the key preview; QDialog would close a second time.
    if (event->key() == Qt::Key_Escape) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

}  // namespace prvc03
