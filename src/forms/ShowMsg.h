#pragma once
// TfrmShowMsg: a frameless "please wait" notice. Carried as a layout; no
// operation of the module opens it.

#include <QFrame>
#include <QLabel>

#include "forms/Root.h"

namespace prvc03 {

class TfrmShowMsg final : public TfrmRoot {
    Q_OBJECT

  public:
    explicit TfrmShowMsg(QObject* owner);

    QFrame* Panel1;
    QLabel* Label1;
    QLabel* Animate1;

  protected:
    // Centred on the application's main (active) window, else on the screen.
    void PlaceWindow() override;
};

// Builds the sky-blue panel, label and animation frame both notices share.
void BuildNoticeLayout(QWidget* window, QFrame*& panel, QLabel*& label, QLabel*& animation,
                       const QString& text, const QRect& labelGeometry);

}  // namespace prvc03
