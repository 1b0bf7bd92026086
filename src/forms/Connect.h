#pragma once
// TfrmConnect: a frameless "connecting" notice that stays on top. Carried as
// a layout; no operation of the module opens it.

#include <QFrame>
#include <QLabel>

#include "forms/Root.h"

namespace prvc03 {

class TfrmConnect final : public TfrmRoot {
    Q_OBJECT

  public:
    explicit TfrmConnect(QObject* owner);

    QFrame* Panel1;
    QLabel* Label1;
    QLabel* Animate1;
};

}  // namespace prvc03
