#include "forms/Connect.h"

#include "forms/ShowMsg.h"

namespace prvc03 {

TfrmConnect::TfrmConnect(QObject* owner) : TfrmRoot(owner) {
    setObjectName(QStringLiteral("frmConnect"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint);
    SetClientSize(312, 93);
    BuildNoticeLayout(this, Panel1, Label1, Animate1, QStringLiteral("应用服务器连机中，请稍后..."),
                      QRect(65, 37, 216, 16));
    // Outer and inner bevel, both raised.
    Panel1->setLineWidth(2);
}

}  // namespace prvc03
