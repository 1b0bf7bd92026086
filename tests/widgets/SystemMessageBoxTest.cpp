// The system's message boxes: standard buttons in Chinese under a Chinese
// locale, with or without Qt's translations; Qt's own texts elsewhere.
#include <QLibraryInfo>
#include <QTranslator>

#include <gtest/gtest.h>

#include "platform/Windows.h"
#include "support/MessageBoxProbe.h"
#include "support/QtPrinters.h"
#include "widgets/SystemMessageBox.h"

namespace prvc03 {
namespace {

using test::ButtonTexts;
using test::WhenMessageBox;

struct Seen {
    QStringList buttons;
    QString title;
    QString text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
};

// Shows the OK box for `type` and records what it showed.
Seen OkBox(unsigned type) {
    QObject context;
    Seen seen;
    WhenMessageBox(&context, [&seen](QMessageBox& box) {
        seen = {ButtonTexts(box), box.windowTitle(), box.text(), box.icon()};
        return nullptr;
    });
    EXPECT_EQ(ShowSystemMessageBox(QStringLiteral("提示信息"), QStringLiteral("复制用户权限成功．"),
                                   type),
              platform::IDOK);
    return seen;
}

// Asks Yes / No, answers with the button at `answer`, records the texts.
bool YesNo(int answer, QStringList& texts) {
    QObject context;
    WhenMessageBox(&context, [&texts, answer](QMessageBox& box) {
        texts = ButtonTexts(box);
        return box.buttons().value(answer);
    });
    return AskYesNo(nullptr, QStringLiteral("提示信息"), QStringLiteral("删除当前记录吗？"));
}

TEST(SystemMessageBox, ChineseLocaleReadsChineseButtons) {
    const test::DefaultLocale chinese(test::kChina);
    const Seen stop = OkBox(platform::MB_ICONSTOP);
    EXPECT_EQ(stop.buttons, QStringList{QStringLiteral("确定")});
    EXPECT_EQ(stop.title, QStringLiteral("提示信息"));
    EXPECT_EQ(stop.icon, QMessageBox::Critical);
    EXPECT_EQ(OkBox(platform::MB_ICONQUESTION).icon, QMessageBox::Question);

    QStringList texts;
    EXPECT_TRUE(YesNo(0, texts));
    EXPECT_EQ(texts, (QStringList{QStringLiteral("是"), QStringLiteral("否")}));
    EXPECT_FALSE(YesNo(1, texts));
}

TEST(SystemMessageBox, QtTranslationsLoadedChangeNothing) {
    QTranslator translator;
    ASSERT_TRUE(translator.load(test::kChina, QStringLiteral("qtbase"), QStringLiteral("_"),
                                QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        << "qt6-translations-l10n is not installed";
    QCoreApplication::installTranslator(&translator);
    const test::DefaultLocale chinese(test::kChina);
    QStringList texts;
    YesNo(1, texts);
    QCoreApplication::removeTranslator(&translator);
    // Qt's own translation would read 是(&Y) / 否(&N).
    EXPECT_EQ(texts, (QStringList{QStringLiteral("是"), QStringLiteral("否")}));
}

TEST(SystemMessageBox, OtherLocalesKeepQtTexts) {
    {
        const test::DefaultLocale english(test::kUnitedStates);
        EXPECT_EQ(OkBox(platform::MB_ICONSTOP).buttons, QStringList{QStringLiteral("OK")});
        QStringList texts;
        YesNo(0, texts);
        EXPECT_EQ(texts, (QStringList{QStringLiteral("&Yes"), QStringLiteral("&No")}));
    }
    const test::DefaultLocale taiwan(QLocale(QLocale::Chinese, QLocale::Taiwan));
    EXPECT_EQ(OkBox(platform::MB_ICONSTOP).buttons, QStringList{QStringLiteral("確定")});
}

}  // namespace
}  // namespace prvc03
