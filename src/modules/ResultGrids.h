#pragma once
// What the copy's result windows (the preview and the report) build from: a
// read-only grid of whole rows, its cells, failures in red, and a push
// button with the style's icon for actions the module's glyphs do not draw.

#include <QColor>
#include <QRect>
#include <QString>
#include <QStringList>
#include <QStyle>

class QPushButton;
class QTableWidget;
class QTableWidgetItem;
class QWidget;

namespace prvc03 {

// The text colour of a failure.
inline const QColor kFailedText(0xC0, 0x00, 0x00);

// A grid of `titles` whose rows are selected whole and never edited; Tab
// leaves it, and its last column takes the width left over.
QTableWidget* ResultGrid(QWidget* parent, const char* name, const QStringList& titles,
                         const QString& accessibleName, const QRect& geometry);
// A cell that can be selected but not edited; its text is its tooltip too.
QTableWidgetItem* ResultCell(const QString& text, Qt::Alignment alignment = Qt::AlignLeft);
// A push button with `caption`, the style's `icon` and the tooltip `tip`.
QPushButton* StyleIconButton(QWidget* parent, const char* name, const QString& caption,
                             QStyle::StandardPixmap icon, const QString& tip);

}  // namespace prvc03
