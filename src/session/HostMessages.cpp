// Texts sent to the host and to the module's windows as copy-data messages.
#include "session/HostMessages.h"

#include "platform/Cp936.h"
#include "session/OpenWindows.h"

namespace prvc03 {

namespace {

// The text record of one send and the copy of the text it points at.
class TextRecord final {
  public:
    TextRecord(const QString& text, std::uintptr_t kind) : bytes_(platform::ToCp936(text)) {
        record_.dwData = kind;
        record_.cbData = static_cast<std::uint32_t>(bytes_.size()) + 1;
        record_.lpData = bytes_.constData();  // QByteArray keeps a NUL after the bytes
    }
    platform::LPARAM Address() const { return reinterpret_cast<platform::LPARAM>(&record_); }

  private:
    QByteArray bytes_;
    platform::COPYDATASTRUCT record_;
};

}  // namespace

void NotifyHost(const QString& text, std::int32_t kind) {
    const TextRecord record(text, static_cast<std::uint32_t>(kind));
    const platform::HWND main = platform::FindWindowA("TfrmMain", nullptr);
    if (main != 0) {
        platform::SendMessageA(main, platform::WM_HOST_NOTICE, 0, record.Address());
    }
}

void SendTextMessage(std::int32_t window, unsigned message, const QString& text) {
    const TextRecord record(text, 0);
    if (window > 0) {
        platform::SendMessageA(window, message, 1, record.Address());
        return;
    }
    for (const OpenWindow& open : OpenWindows()) {
        platform::SendMessageA(open.handle, message, 1, record.Address());
    }
}

}  // namespace prvc03
