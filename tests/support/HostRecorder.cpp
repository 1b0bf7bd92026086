#include "support/HostRecorder.h"

#include <cstring>

#include "platform/Cp936.h"
#include "platform/MessageBoxButtons.h"

namespace prvc03::test {

class HostRecorder::Endpoint : public platform::WindowEndpoint {
  public:
    Endpoint(HostRecorder& owner, bool isMain) : owner_(owner), isMain_(isMain) {}
    platform::LRESULT HandleMessage(unsigned message, platform::WPARAM wParam,
                                    platform::LPARAM lParam) override {
        ReceivedMessage received;
        received.message = message;
        received.wParam = wParam;
        const auto* record = reinterpret_cast<const platform::COPYDATASTRUCT*>(lParam);
        if (record != nullptr) {
            received.dwData = record->dwData;
            received.cbData = record->cbData;
            if (record->lpData != nullptr) {
                received.bytes = QByteArray(static_cast<const char*>(record->lpData));
            }
        }
        received.text = platform::FromCp936(received.bytes);
        if (isMain_) {
            owner_.notices.push_back(received);
            owner_.events.push_back({HostEvent::Notice, received.text});
        } else {
            owner_.errorReports.push_back(received);
            owner_.events.push_back({HostEvent::ErrorReport, received.text});
        }
        return 0;
    }
    void ApplyShowCommand(int) override {}

  private:
    HostRecorder& owner_;
    bool isMain_;
};

HostRecorder::HostRecorder(bool registerMain) : questionAnswer(platform::IDYES) {
    if (registerMain) {
        mainEndpoint_ = std::make_unique<Endpoint>(*this, true);
        main_ = platform::RegisterWindow("TfrmMain", mainEndpoint_.get());
    }
    logEndpoint_ = std::make_unique<Endpoint>(*this, false);
    log_ = platform::RegisterWindow("THostLog", logEndpoint_.get());
    previous_ = platform::SetMessageBoxPresenter([this](platform::HWND owner,
                                                        const QByteArray& text,
                                                        const QByteArray& caption, unsigned type) {
        ShownMessageBox box{owner, platform::FromCp936(text), platform::FromCp936(caption), type};
        messageBoxes.push_back(box);
        events.push_back({HostEvent::MessageBox, box.text});
        return (type & platform::MB_TYPEMASK) == platform::MB_YESNO ? questionAnswer
                                                                    : platform::IDOK;
    });
}

HostRecorder::~HostRecorder() {
    platform::SetMessageBoxPresenter(previous_);
    if (main_ != 0) {
        platform::UnregisterWindow(main_);
    }
    platform::UnregisterWindow(log_);
}

void HostRecorder::Clear() {
    notices.clear();
    errorReports.clear();
    messageBoxes.clear();
    events.clear();
}

QStringList HostRecorder::TakeBoxTexts() {
    QStringList texts;
    for (const ShownMessageBox& box : messageBoxes) {
        texts << box.text;
    }
    messageBoxes.clear();
    return texts;
}

}  // namespace prvc03::test
