#include "forms/Controls.h"

#include <QPushButton>
#include <QToolButton>

namespace prvc03 {

namespace {

// The push button both factories build: named, with `glyph` and `caption`,
// of `fixedSize` unless that is invalid, never the default of its window.
QPushButton* GlyphPushButton(QWidget* parent, const char* name, Glyph glyph, const QString& caption,
                             const QString& accessibleName, const QSize& fixedSize) {
    auto* button = Named(new QPushButton(GlyphIcon(glyph), caption, parent), name);
    if (fixedSize.isValid()) {
        button->setFixedSize(fixedSize);
    }
    button->setAutoDefault(false);
    button->setAccessibleName(accessibleName);
    return button;
}

}  // namespace

QPushButton* BitBtn(QWidget* parent, const char* name, const QString& caption, Glyph glyph,
                    const QSize& fixedSize) {
    auto* button = GlyphPushButton(parent, name, glyph, caption, caption, fixedSize);
    button->setDefault(false);
    return button;
}

QPushButton* GlyphBitBtn(QWidget* parent, const char* name, Glyph glyph, const QString& description,
                         const QSize& fixedSize) {
    auto* button = GlyphPushButton(parent, name, glyph, QString(), description, fixedSize);
    button->setToolTip(description);
    return button;
}

QToolButton* GlyphButton(QWidget* parent, const char* name, Glyph glyph, int glyphSize,
                         const QString& description, const QRect& geometry) {
    auto* button = Named(new QToolButton(parent), name);
    button->setAutoRaise(true);
    button->setIcon(GlyphIcon(glyph, glyphSize));
    button->setIconSize(QSize(glyphSize, glyphSize));
    button->setToolTip(description);
    button->setAccessibleName(description);
    button->setFocusPolicy(Qt::StrongFocus);
    if (!geometry.isNull()) {
        button->setGeometry(geometry);
    }
    return button;
}

QToolButton* FlatGlyphButton(QWidget* parent, const char* name, Glyph glyph, int glyphSize,
                             const QString& description, const QString& key,
                             const QRect& geometry) {
    auto* button = GlyphButton(parent, name, glyph, glyphSize, description, geometry);
    if (!key.isEmpty()) {
        button->setToolTip(description + QStringLiteral("（") + key + QStringLiteral("）"));
    }
    button->setAccessibleDescription(key);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

}  // namespace prvc03
