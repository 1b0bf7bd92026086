#include "modules/MessageBoxes.h"

#include "platform/Cp936.h"
#include "platform/MessageBoxButtons.h"
#include "platform/Windows.h"
#include "session/Errors.h"

namespace prvc03 {

namespace {

int Show(const QString& text, unsigned type) {
    const QByteArray bytes = platform::ToCp936(text);
    const QByteArray caption = platform::ToCp936(QStringLiteral("提示信息"));
    return platform::MessageBoxA(0, bytes.constData(), caption.constData(), type);
}

}  // namespace

void Tell(const QString& text, unsigned type) {
    Show(text, type | platform::MB_OK);
}

void Refuse(const QString& text) {
    Tell(text, platform::MB_ICONSTOP);
    throw Abort();
}

bool Ask(const QString& text) {
    return Show(text, platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES;
}

}  // namespace prvc03
