#pragma once
// Plays the host in tests: a "TfrmMain" window that records host notices, a
// log window that records error reports, and a message-box recorder.

#include <QByteArray>
#include <QString>
#include <QStringList>

#include <memory>
#include <vector>

#include "platform/Windows.h"

namespace prvc03::test {

struct ReceivedMessage {
    unsigned message = 0;
    platform::WPARAM wParam = 0;
    std::uintptr_t dwData = 0;
    std::uint32_t cbData = 0;
    QByteArray bytes;  // the text as sent, without its NUL
    QString text;      // decoded from code page 936
};

struct ShownMessageBox {
    platform::HWND owner = 0;
    QString text;
    QString caption;
    unsigned type = 0;
};

// Everything observed in one sequence, so tests can check relative order.
struct HostEvent {
    enum Kind { Notice, ErrorReport, MessageBox } kind;
    QString text;
};

class HostRecorder {
  public:
    // registerMain: whether a "TfrmMain" window exists.
    explicit HostRecorder(bool registerMain = true);
    ~HostRecorder();
    HostRecorder(const HostRecorder&) = delete;
    HostRecorder& operator=(const HostRecorder&) = delete;

    platform::HWND MainHandle() const { return main_; }
    platform::HWND LogHandle() const { return log_; }

    std::vector<ReceivedMessage> notices;       // 1124 at TfrmMain
    std::vector<ReceivedMessage> errorReports;  // 1225 at the log window
    std::vector<ShownMessageBox> messageBoxes;
    std::vector<HostEvent> events;
    // What a box with 是 and 否 (MB_YESNO) is answered: IDYES or IDNO.
    int questionAnswer;

    void Clear();
    // Texts of the message boxes shown since the last call (or Clear).
    QStringList TakeBoxTexts();

  private:
    class Endpoint;
    std::unique_ptr<Endpoint> mainEndpoint_;
    std::unique_ptr<Endpoint> logEndpoint_;
    platform::HWND main_ = 0;
    platform::HWND log_ = 0;
    platform::MessageBoxPresenter previous_;
};

}  // namespace prvc03::test
