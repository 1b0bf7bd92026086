#include "platform/MessageBoxButtons.h"

#include "platform/Windows.h"

namespace prvc03::platform {

QString MessageBoxButtonText(int id, const QLocale& locale) {
    if (locale.language() != QLocale::Chinese) {
        return QString();
    }
    const bool traditional = locale.script() == QLocale::TraditionalChineseScript;
    switch (id) {
        case IDOK:
            return traditional ? QStringLiteral("確定") : QStringLiteral("确定");
        case IDCANCEL:
            return QStringLiteral("取消");
        case IDYES:
            return QStringLiteral("是");
        case IDNO:
            return QStringLiteral("否");
        default:
            return QString();
    }
}

}  // namespace prvc03::platform
