#pragma once
// Message boxes as the system shows them: standard buttons in the user's
// language (确定, 取消, 是, 否 under a Chinese locale), whether or not the
// toolkit's translations are loaded.

#include <QString>

class QMessageBox;
class QWidget;

namespace prvc03 {

// Gives the box's standard buttons the system's texts for the current locale.
void UseSystemButtonTexts(QMessageBox& box);
// Shows the box MessageBoxA stands for: caption, text, icon by type (stop or
// question mark) and one OK button, returning IDOK; or, for MB_YESNO, 是 and
// 否, returning IDYES or IDNO.
int ShowSystemMessageBox(const QString& caption, const QString& text, unsigned type);
// Asks a question with Yes and No buttons over `parent`; true for Yes.
bool AskYesNo(QWidget* parent, const QString& caption, const QString& text);

}  // namespace prvc03
