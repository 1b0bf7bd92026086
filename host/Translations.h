#pragma once
// The toolkit's own translations (Debian's qt6-translations-l10n) for the
// user's locale, so that the host's dialogs speak the operator's language.

#include <QLocale>

class QCoreApplication;
class QTranslator;

namespace prvc03::host {

// Installs Qt's translations of its own texts ("qtbase_<locale>") for
// `locale` on `app` and returns the translator, a child of `app`; null when
// no translation for that locale is installed.
QTranslator* LoadToolkitTranslations(QCoreApplication& app, const QLocale& locale = QLocale());

}  // namespace prvc03::host
