// prvc03-host: a small host for the PRVC03 plug-in. It opens the demo
// database (or another one), loads libPRVC03 from beside its executable,
// calls LoadDll and shows in its log what the plug-in tells the host.
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

}  // namespace

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("prvc03-host"));
    QApplication::setOrganizationName(QStringLiteral("PRVC03"));
    // Qt's own texts (standard buttons, context menus) in the user's language.
    prvc03::host::LoadToolkitTranslations(app);

    QCommandLineParser parser;
    parser.setApplicationDescription(QStringLiteral(
        "Test host for the PRVC03 plug-in (copy user permissions). Opens the demo database,\n"
        "loads libPRVC03 and calls LoadDll; the log shows the plug-in's notices,\n"
        "error reports and message boxes."));
    parser.addHelpOption();
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
    const QCommandLineOption library(QStringLiteral("library"),
                                     QStringLiteral("Path of the plug-in library to load."),
                                     QStringLiteral("PATH"));
    const QCommandLineOption screenshot(
        QStringLiteral("screenshot"),
        QStringLiteral("Open the module window, save a PNG of it to FILE, print the host's log "
                       "and quit."),
        QStringLiteral("FILE"));
    parser.addOptions({database, postgres, library, screenshot});
    parser.process(app);

    QSqlDatabase db;
    QString label;
    try {
        if (parser.isSet(postgres)) {
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
        libraryPath =
            QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("libPRVC03.so"));
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
            result = app.exec();
            window.UnloadLibrary();
        }
    }
    db.close();
    db = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("host"));
    return result;
}
