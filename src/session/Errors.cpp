#include "session/Errors.h"

#include <QtGlobal>

#include "platform/Cp936.h"
#include "platform/Windows.h"

namespace prvc03 {

void ReportError(const std::exception& error) {
    const QByteArray text = platform::ToCp936(QString::fromUtf8(error.what()));
    const QByteArray caption = platform::ToCp936(QStringLiteral("PRVC03"));
    platform::MessageBoxA(0, text.constData(), caption.constData(), platform::MB_ICONSTOP);
}

namespace {

// Reporting itself must not let an error escape into the event loop.
void ReportSafely(const std::exception& error) {
    try {
        ReportError(error);
    } catch (const std::exception& failure) {
        qCritical("prvc03: could not report \"%s\": %s", error.what(), failure.what());
    } catch (...) {
        qCritical("prvc03: could not report \"%s\"", error.what());
    }
}

}  // namespace

void RunHandler(const std::function<void()>& handler) {
    try {
        handler();
    } catch (const Abort&) {
        // The check that aborted has already told the operator.
    } catch (const Cancelled&) {
        // The operator stopped it and sees so where it was stopped.
    } catch (const std::exception& error) {
        ReportSafely(error);
    } catch (...) {
        ReportSafely(Error(QStringLiteral("Unknown error")));
    }
}

}  // namespace prvc03
