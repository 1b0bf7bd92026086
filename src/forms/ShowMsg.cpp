#include "forms/ShowMsg.h"

#include <QApplication>

#include "resources/Glyphs.h"

namespace prvc03 {

namespace {

const QColor kSkyBlue(166, 202, 240);

QFont PixelFont(const QStringList& families, int pixelSize) {
    QFont font;
    font.setFamilies(families);
    font.setPixelSize(pixelSize);
    return font;
}

}  // namespace

void BuildNoticeLayout(QWidget* window, QFrame*& panel, QLabel*& label, QLabel*& animation,
                       const QString& text, const QRect& labelGeometry) {
    panel = new QFrame(window);
    panel->setObjectName(QStringLiteral("Panel1"));
    panel->setGeometry(0, 0, window->width(), window->height());
    panel->setFrameStyle(QFrame::Panel | QFrame::Raised);
    panel->setAutoFillBackground(true);
    QPalette colours = panel->palette();
    colours.setColor(QPalette::Window, kSkyBlue);
    panel->setPalette(colours);

    label = new QLabel(text, panel);
    label->setObjectName(QStringLiteral("Label1"));
    label->setGeometry(labelGeometry);
    label->setFont(PixelFont(
        {QString::fromUtf8("宋体"), QString::fromUtf8("SimSun"),
         QString::fromUtf8("WenQuanYi Zen Hei")},  // heap copies: Qt's font cache keeps them
        16));
    QPalette black = label->palette();
    black.setColor(QPalette::WindowText, Qt::black);
    label->setPalette(black);

    animation = new QLabel(panel);
    animation->setObjectName(QStringLiteral("Animate1"));
    animation->setGeometry(35, 37, 16, 16);
    animation->setPixmap(GlyphPixmap(Glyph::FindComputer, 16));
    animation->setAccessibleName(QStringLiteral("查找计算机"));
}

TfrmShowMsg::TfrmShowMsg(QObject* owner) : TfrmRoot(owner) {
    setObjectName(QStringLiteral("frmShowMsg"));
    setWindowFlags(Qt::Dialog | Qt::FramelessWindowHint);
    SetClientSize(277, 95);
    BuildNoticeLayout(this, Panel1, Label1, Animate1, QStringLiteral("数据处理中，请稍后..."),
                      QRect(81, 37, 168, 16));
    // The panel's own font; the label keeps the one set on it.
    Panel1->setFont(PixelFont({QString::fromUtf8("Tahoma")}, 15));
}

void TfrmShowMsg::PlaceWindow() {
    QWidget* main = QApplication::activeWindow();
    if (main == nullptr || main == this) {
        TfrmRoot::PlaceWindow();
        return;
    }
    QRect frame = frameGeometry();
    frame.moveCenter(main->frameGeometry().center());
    move(frame.topLeft());
}

}  // namespace prvc03
