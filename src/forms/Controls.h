#pragma once
// The control factories every window builds from: a component name, the
// glyph-and-caption push button (BitBtn), and buttons that show only a glyph,
// whose purpose goes to the tooltip and to assistive technology. Enter and
// Esc belong to the window's key handling, never to a button.

#include <QRect>
#include <QSize>
#include <QString>

#include "resources/Glyphs.h"

class QPushButton;
class QToolButton;
class QWidget;

namespace prvc03 {

// Gives `widget` its component name.
template <class Widget>
Widget* Named(Widget* widget, const char* name) {
    widget->setObjectName(QLatin1String(name));
    return widget;
}

// A push button with glyph and caption; the caption is its accessible name.
// It keeps `fixedSize` unless that is invalid.
QPushButton* BitBtn(QWidget* parent, const char* name, const QString& caption, Glyph glyph,
                    const QSize& fixedSize = QSize());
// A push button that shows only a glyph, of `fixedSize` unless that is invalid.
QPushButton* GlyphBitBtn(QWidget* parent, const char* name, Glyph glyph, const QString& description,
                         const QSize& fixedSize = QSize());
// A flat tool button that shows only a glyph of `glyphSize` pixels, placed at
// `geometry` unless that is null.
QToolButton* GlyphButton(QWidget* parent, const char* name, Glyph glyph, int glyphSize,
                         const QString& description, const QRect& geometry = QRect());
// A flat glyph button outside the Tab and Enter chain, as flat buttons are:
// the mouse clicks it, the keyboard reaches its action through `key`, which
// the tooltip names after the description and assistive technology reads as
// the description of the button. An empty `key` leaves the tooltip alone.
QToolButton* FlatGlyphButton(QWidget* parent, const char* name, Glyph glyph, int glyphSize,
                             const QString& description, const QString& key,
                             const QRect& geometry = QRect());

}  // namespace prvc03
