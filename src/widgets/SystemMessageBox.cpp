#include "widgets/SystemMessageBox.h"

#include <QAbstractButton>
#include <QMessageBox>

#include "platform/MessageBoxButtons.h"
#include "platform/Windows.h"

namespace prvc03 {

namespace {

int ButtonId(QMessageBox::StandardButton button) {
    switch (button) {
        case QMessageBox::Ok:
            return platform::IDOK;
        case QMessageBox::Cancel:
            return platform::IDCANCEL;
        case QMessageBox::Yes:
            return platform::IDYES;
        case QMessageBox::No:
            return platform::IDNO;
        default:
            return 0;
    }
}

}  // namespace

void UseSystemButtonTexts(QMessageBox& box) {
    for (QAbstractButton* button : box.buttons()) {
        const QString text = platform::MessageBoxButtonText(ButtonId(box.standardButton(button)));
        if (!text.isEmpty()) {
            button->setText(text);
        }
    }
}

int ShowSystemMessageBox(const QString& caption, const QString& text, unsigned type) {
    const bool yesNo = (type & platform::MB_TYPEMASK) == platform::MB_YESNO;
    QMessageBox box(type & platform::MB_ICONSTOP       ? QMessageBox::Critical
                    : type & platform::MB_ICONQUESTION ? QMessageBox::Question
                                                       : QMessageBox::NoIcon,
                    caption, text, yesNo ? QMessageBox::Yes | QMessageBox::No : QMessageBox::Ok);
    if (yesNo) {
        // Esc and the title bar's close answer 否, as the system's box does.
        box.setDefaultButton(QMessageBox::Yes);
        box.setEscapeButton(QMessageBox::No);
    }
    UseSystemButtonTexts(box);
    const int answer = box.exec();
    return yesNo ? ButtonId(static_cast<QMessageBox::StandardButton>(answer)) : platform::IDOK;
}

bool AskYesNo(QWidget* parent, const QString& caption, const QString& text) {
    QMessageBox box(QMessageBox::Question, caption, text, QMessageBox::Yes | QMessageBox::No,
                    parent);
    box.setDefaultButton(QMessageBox::Yes);
    UseSystemButtonTexts(box);
    return box.exec() == QMessageBox::Yes;
}

}  // namespace prvc03
