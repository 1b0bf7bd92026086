#pragma once
// TfrmRootFY: the option-dialog frame. A page control whose tabs the window
// draws itself (PageControl1DrawTab) above an OK / Cancel button pair. The
// frame gives the buttons no click handlers; derived windows do.

#include <QColor>
#include <QPoint>
#include <QPushButton>
#include <QRect>
#include <QString>

#include "forms/RootF.h"
#include "widgets/OwnerDrawnPageControl.h"

class QPainter;

namespace prvc03 {

// What drawing one tab puts on the canvas.
struct TabDrawing {
    int pageIndex = -1;  // the page the tab stands for; -1 when there is none
    QString caption;
    QColor text;
    QColor background;
    bool bold = false;
    QRect rect;          // filled with the background
    QPoint textTopLeft;  // top left of the caption's text box
};

class TfrmRootFY : public TfrmRootF {
    Q_OBJECT

  public:
    explicit TfrmRootFY(QObject* owner);

    // Draws tab `tabIndex` (counted among the tabs that are visible).
    virtual void PageControl1DrawTab(QPainter& canvas, int tabIndex, const QRect& rect,
                                     bool active);
    // What PageControl1DrawTab draws for those arguments.
    TabDrawing DescribeTab(int tabIndex, const QRect& rect, bool active) const;

    OwnerDrawnPageControl* PageControl1;
    QWidget* TabSheet1;
    QPushButton* BitBtn1;
    QPushButton* BitBtn2;
};

}  // namespace prvc03
