// prvc03-host: a small host for the PRVC03 plug-in. It opens the demo
// database (or another one), loads libPRVC03 (from beside its executable in
// the build tree, from the installed plug-in folder otherwise), calls LoadDll
// and shows in its log what the plug-in tells the host.
#include <QApplication>
#include <QCommandLineParser>
#include <QDir>
#include <QFileInfo>
#include <QPixmap>
#include <QSqlError>
#include <QStandardPaths>
#include <QTimer>

#include <cstdio>
#include <exception>
#include <memory>

#include "DemoDatabase.h"
#include "HostWindow.h"
#include "Translations.h"

namespace {

void Print(const QString& line) {
    std::fputs(line.toUtf8().constData(), stdout);
    std::fputc('\n', stdout);
}

// Opens the PostgreSQL server named by a libpq-style "key=value ..." text.
bool OpenPostgres(QSqlDatabase& db, const QString& conninfo) {
    db = QSqlDatabase::addDatabase(QStringLiteral("QPSQL"), QStringLiteral("host"));
    prvc03::demo::ApplyConninfo(db, conninfo);
    return db.open();
}

// The plug-in beside the executable (the build tree) or, installed, in the
// plug-in folder at its fixed place relative to the executable's folder. The
// path beside the executable when neither exists, for the error message.
QString DefaultLibraryPath() {
    const QDir here(QCoreApplication::applicationDirPath());
    const QString beside = here.filePath(QStringLiteral("libPRVC03.so"));
    if (QFileInfo::exists(beside)) {
        return beside;
    }
    const QString installed =
        QDir::cleanPath(here.filePath(QStringLiteral(PRVC03_PLUGIN_FROM_HOST "/libPRVC03.so")));
    return QFileInfo::exists(installed) ? installed : beside;
}

// --help and --version only print: answered without a window system, so
// that they work without a display too.
bool AsksOnlyForText(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const QByteArray argument(argv[i]);
        if (argument == "-h" || argument == "--help" || argument == "--help-all" ||
            argument == "-v" || argument == "--version") {
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv) {
    const std::unique_ptr<QCoreApplication> app =
        AsksOnlyForText(argc, argv) ? std::make_unique<QCoreApplication>(argc, argv)
                                    : std::make_unique<QApplication>(argc, argv);
    QApplication::setApplicationName(QStringLiteral("prvc03-host"));
    QApplication::setOrganizationName(QStringLiteral("PRVC03"));
    QApplication::setApplicationVersion(QStringLiteral(PRVC03_VERSION));
    // Qt's own texts (standard buttons, context menus) in the user's language.
    prvc03::host::LoadToolkitTranslations(*app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Test host for the PRVC03 plug-in (copy user permissions). Opens the demo database,\n"
        "loads libPRVC03 and calls LoadDll; the log shows the plug-in's notices,\n"
        "error reports and message boxes."));
    parser.addHelpOption();
    parser.addVersionOption();
    const QCommandLineOption database(
        {QStringLiteral("d"), QStringLiteral("database")},
        QStringLiteral("SQLite database FILE (created with the demo tables when new). Default: "
                       "prvc03-demo.db in the user's data folder."),
        QStringLiteral("FILE"));
    const QCommandLineOption postgres(
        QStringLiteral("postgres"),
        QStringLiteral("Use a PostgreSQL server instead, e.g. \"host=127.0.0.1 port=5432 "
                       "dbname=prvc03 user=me\" (demo tables created when missing)."),
        QStringLiteral("CONNINFO"));
    const QCommandLineOption odbc(
        QStringLiteral("odbc"),
        QStringLiteral("Connect through ODBC instead (SQL Server in production): a DSN or a "
                       "driver string, e.g. \"Driver=FreeTDS;Server=H;Port=1433;Database=D;"
                       "Uid=U;Pwd=P;TDS_Version=7.4;ClientCharset=UTF-8\" or "
                       "\"Driver=SQLite3;Database=FILE\" (demo tables created when missing)."),
        QStringLiteral("CONNECTION-STRING"));
    const QCommandLineOption library(
        QStringLiteral("library"),
        QStringLiteral("Path of the plug-in library to load. Default: libPRVC03.so beside the "
                       "host, else the installed one."),
        QStringLiteral("PATH"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Open the module window, save a PNG of it to FILE, print the host's log "
                       "and quit."),
        QStringLiteral("FILE"));
    parser.addOptions({database, postgres, odbc, library, screenshot});
    parser.process(*app);

    QSqlDatabase db;
    QString label;
    try {
        if (parser.isSet(odbc)) {
            db = QSqlDatabase::addDatabase(QStringLiteral("QODBC"), QStringLiteral("host"));
            db.setDatabaseName(parser.value(odbc));
            if (!db.open()) {
                Print(QStringLiteral("Cannot open the ODBC connection: %1")
                          .arg(db.lastError().text()));
                return 2;
            }
            label = QStringLiteral("ODBC ") + parser.value(odbc).section(QLatin1Char(';'), 0, 1);
        } else if (parser.isSet(postgres)) {
            if (!OpenPostgres(db, parser.value(postgres))) {
                Print(QStringLiteral("Cannot open PostgreSQL: %1").arg(db.lastError().text()));
                return 2;
            }
            label = QStringLiteral("PostgreSQL ") + db.hostName() + QLatin1Char('/') +
                    db.databaseName();
        } else {
            QString file = parser.value(database);
            if (file.isEmpty()) {
                const QString folder =
                    QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
                QDir().mkpath(folder);
                file = QDir(folder).filePath(QStringLiteral("prvc03-demo.db"));
            }
            db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("host"));
            db.setDatabaseName(file);
            if (!db.open()) {
                Print(QStringLiteral("Cannot open %1: %2").arg(file, db.lastError().text()));
                return 2;
            }
            label = QFileInfo(file).absoluteFilePath();
        }
        if (prvc03::demo::EnsureDemoDatabase(db)) {
            label += QStringLiteral("（已建立演示数据）");
        }
    } catch (const std::exception& error) {
        Print(
            QStringLiteral("Cannot prepare the database: %1").arg(QString::fromUtf8(error.what())));
        return 2;
    }

    QString libraryPath = parser.value(library);
    if (libraryPath.isEmpty()) {
        libraryPath = DefaultLibraryPath();
    }

    int result = 0;
    {
        prvc03::host::HostWindow window(db, libraryPath, label);
        if (parser.isSet(screenshot)) {
            window.interactive = false;
            window.show();
            const bool opened = window.OpenModule();
            QWidget* module = window.ModuleWindow();
            if (opened && module != nullptr) {
                QApplication::processEvents();
                if (!module->grab().save(parser.value(screenshot))) {
                    Print(QStringLiteral("Cannot write %1").arg(parser.value(screenshot)));
                    result = 1;
                }
                window.CloseModule();
                QApplication::processEvents();
            } else {
                result = 1;
            }
            window.UnloadLibrary();
            for (const QString& line : window.Log()) {
                Print(line);
            }
        } else {
            window.show();
            QTimer::singleShot(0, &window, [&window] { window.OpenModule(); });
            result = app->exec();
            window.UnloadLibrary();
        }
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("host"));
    return result;
}
