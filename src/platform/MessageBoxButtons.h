#pragma once
// The texts the system's message box gives its standard buttons in the
// user's language. Under a Chinese locale the buttons read in Chinese
// whether or not the toolkit's own translations are loaded; for any other
// locale the toolkit's texts stand.

#include <QLocale>
#include <QString>

namespace prvc03::platform {

// Button identifiers, as MessageBoxA returns them.
inline constexpr int IDCANCEL = 2;
inline constexpr int IDYES = 6;
inline constexpr int IDNO = 7;

// The text of the button `id` (IDOK, IDCANCEL, IDYES, IDNO) under `locale`;
// empty when the toolkit's own text is to stay.
QString MessageBoxButtonText(int id, const QLocale& locale = QLocale());

}  // namespace prvc03::platform
