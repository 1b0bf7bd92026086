#pragma once
// The test host's main window, of window class "TfrmMain": it loads the
// plug-in, calls LoadDll and logs every notice, error report and message box
// it receives.

#include <QLibrary>
#include <QMainWindow>
#include <QSqlDatabase>
#include <QStringList>

#include <memory>

#include "../include/PRVC03.h"
#include "platform/Windows.h"

class QPlainTextEdit;

namespace prvc03::host {

class HostWindow : public QMainWindow {
    Q_OBJECT
  public:
    HostWindow(QSqlDatabase& db, const QString& libraryPath, const QString& databaseLabel);
    ~HostWindow() override;

    // Loads the library when needed and calls LoadDll; returns false and logs
    // the error when the library or LoadDll fails.
    bool OpenModule();
    // Sends the copy-data text "Close" to the copy window; logs when none is
    // open.
    void CloseModule();
    // Unloads the library (its unload hook frees the module window).
    void UnloadLibrary();
    // The module window that is open, if any.
    QWidget* ModuleWindow() const;
    QStringList Log() const { return lines_; }
    bool interactive = true;  // show message boxes on screen

  private:
    class Endpoint;
    void Append(const QString& line);
    void OnMessage(bool main, unsigned message, platform::WPARAM wParam, platform::LPARAM lParam);

    QSqlDatabase& db_;
    QString libraryPath_;
    QLibrary library_;
    LoadDllFunction loadDll_ = nullptr;
    QPlainTextEdit* log_ = nullptr;
    QStringList lines_;
    std::unique_ptr<Endpoint> mainEndpoint_;
    std::unique_ptr<Endpoint> logEndpoint_;
    platform::HWND mainHandle_ = 0;
    platform::HWND logHandle_ = 0;
};

}  // namespace prvc03::host
