// outsider-host PREFIX: a host written from the installed package alone. It
// owns a "TfrmMain" window through PRVC03::windowing, loads the installed
// plug-in with QLibrary, opens the module window with LoadDll, takes the
// opened notice, closes the window with "Close", takes the closed notice and
// unloads. Every step that goes wrong is printed; the exit code is 0 only
// when all of them went right.
#include <PRVC03.h>
#include <prvc03/Windows.h>

#include <QApplication>
#include <QDir>
#include <QFileInfo>
#include <QLibrary>
#include <QSqlDatabase>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QWidget>

#include <cstdio>
#include <cstring>
#include <exception>
#include <vector>

namespace win = prvc03::platform;

namespace {

int failures = 0;

void Check(bool ok, const QString& what) {
    std::printf("%s %s\n", ok ? "ok  " : "FAIL", what.toUtf8().constData());
    if (!ok) {
        ++failures;
    }
}

// A text in the counted-string layout PRVC03.h describes.
class CountedText {
  public:
    explicit CountedText(const QByteArray& bytes) : block_(8 + bytes.size() + 1) {
        const int32_t count = -1;
        const auto length = static_cast<int32_t>(bytes.size());
        std::memcpy(block_.data(), &count, 4);
        std::memcpy(block_.data() + 4, &length, 4);
        std::memcpy(block_.data() + 8, bytes.constData(), bytes.size() + 1);
    }
    const char* data() const { return block_.data() + 8; }

  private:
    std::vector<char> block_;
};

struct Message {
    unsigned message = 0;
    std::uintptr_t kind = 0;
    QString text;
};

// A registered window that keeps every message it is sent.
class RecordingWindow : public win::WindowEndpoint {
  public:
    explicit RecordingWindow(const char* className)
        : handle(win::RegisterWindow(className, this)) {}
    ~RecordingWindow() override { win::UnregisterWindow(handle); }
    win::LRESULT HandleMessage(unsigned message, win::WPARAM, win::LPARAM lParam) override {
        Message kept{message, 0, {}};
        if (const auto* record = reinterpret_cast<const win::COPYDATASTRUCT*>(lParam)) {
            kept.kind = record->dwData;
            const auto* bytes = static_cast<const char*>(record->lpData);
            if (bytes != nullptr && record->cbData > 0) {
                QStringDecoder fromCp936("windows-936");
                kept.text = fromCp936(QByteArray(bytes, int(qstrnlen(bytes, record->cbData))));
            }
        }
        messages.push_back(kept);
        return 0;
    }
    void ApplyShowCommand(int) override {}

    const win::HWND handle;
    std::vector<Message> messages;
};

QWidget* ModuleWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        if (widget->objectName() == QLatin1String("frmPRVC03F") && widget->isVisible()) {
            return widget;
        }
    }
    return nullptr;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: outsider-host INSTALL-PREFIX\n");
        return 2;
    }
    const QString prefix = QFileInfo(QString::fromLocal8Bit(argv[1])).canonicalFilePath();
    const QString plugin = QFileInfo(QStringLiteral(PLUGIN_PATH)).canonicalFilePath();
    Check(!prefix.isEmpty() && plugin.startsWith(prefix + QLatin1Char('/')),
          QStringLiteral("the package names the plug-in inside the prefix: ") + plugin);
    Check(QFileInfo(QStringLiteral(PLUGIN_PATH_VARIABLE)).canonicalFilePath() == plugin &&
              QFileInfo(QStringLiteral(PLUGIN_PATH_PROPERTY)).canonicalFilePath() == plugin,
          QStringLiteral("PRVC03_PLUGIN and the PRVC03_PLUGIN property name the same file"));

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("own"));
    db.setDatabaseName(QStringLiteral(":memory:"));
    Check(db.open(), QStringLiteral("own database opened"));

    {
        RecordingWindow mainWindow("TfrmMain");
        RecordingWindow reports("TOutsiderLog");
        QLibrary library(plugin);
        const bool loaded = library.load();
        Check(loaded, QStringLiteral("plug-in loaded") +
                          (loaded ? QString() : QStringLiteral(": ") + library.errorString()));
        const auto loadDll = reinterpret_cast<LoadDllFunction>(library.resolve("LoadDll"));
        Check(loadDll != nullptr, QStringLiteral("LoadDll resolved"));
        if (loadDll == nullptr) {
            return 1;
        }

        QStringEncoder toCp936("windows-936");
        const QString caption = QStringLiteral("复制用户权限（外部宿主）");
        const CountedText title(toCp936(caption));
        const CountedText unknown("frmNone");
        QString refusal;
        try {
            loadDll(&app, 0, unknown.data(), title.data(), nullptr, nullptr, &db, 0, nullptr,
                    nullptr, nullptr, nullptr, nullptr, nullptr,
                    static_cast<int32_t>(reports.handle), nullptr);
        } catch (const std::exception& error) {
            refusal = QString::fromUtf8(error.what());
        }
        Check(refusal == QLatin1String("Class TfrmNone not found"),
              QStringLiteral("an unknown window name comes back as an exception: ") + refusal);

        const CountedText name("frmPRVC03F");
        try {
            loadDll(&app, 0, name.data(), title.data(), nullptr, nullptr, &db, 0, nullptr, nullptr,
                    nullptr, nullptr, nullptr, nullptr, static_cast<int32_t>(reports.handle),
                    nullptr);
        } catch (const std::exception& error) {
            Check(false, QStringLiteral("LoadDll: ") + QString::fromUtf8(error.what()));
        }
        QApplication::processEvents();

        QWidget* module = ModuleWindow();
        Check(module != nullptr && module->windowTitle() == caption,
              QStringLiteral("module window shown with the title passed"));
        const bool opened = mainWindow.messages.size() == 1 &&
                            mainWindow.messages[0].message == win::WM_HOST_NOTICE &&
                            mainWindow.messages[0].kind == 0 &&
                            mainWindow.messages[0].text.startsWith(caption + QLatin1Char('#'));
        Check(opened, QStringLiteral("opened notice received: ") +
                          (mainWindow.messages.empty() ? QString() : mainWindow.messages[0].text));
        if (opened) {
            const QString& text = mainWindow.messages[0].text;
            const win::HWND moduleHandle =
                text.mid(text.lastIndexOf(QLatin1Char('#')) + 1).toLongLong();
            Check(win::IsWindow(moduleHandle), QStringLiteral("the notice names a live window"));

            static const char close[] = "Close";
            win::COPYDATASTRUCT record;
            record.cbData = sizeof close;
            record.lpData = close;
            win::SendMessageA(moduleHandle, win::WM_COPYDATA, win::WPARAM(mainWindow.handle),
                              reinterpret_cast<win::LPARAM>(&record));
            QApplication::processEvents();
            Check(mainWindow.messages.size() == 2 && mainWindow.messages[1].kind == 1 &&
                      mainWindow.messages[1].text == caption,
                  QStringLiteral("closed notice received after \"Close\""));
            Check(ModuleWindow() == nullptr, QStringLiteral("module window gone"));
        }
        Check(reports.messages.empty(), QStringLiteral("no error report"));
        const bool unloaded = library.unload();
        Check(unloaded, QStringLiteral("plug-in unloaded") +
                            (unloaded ? QString() : QStringLiteral(": ") + library.errorString()));
    }

    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("own"));
    std::printf("%s\n", failures == 0 ? "outsider host: all steps passed"
                                      : "outsider host: some steps failed");
    return failures == 0 ? 0 : 1;
}
