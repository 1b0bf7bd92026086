// The host's stand-in for the system's message box speaks the operator's
// language, and the host finds Qt's own translations.
#include <QApplication>
#include <QTranslator>

#include <gtest/gtest.h>

#include "HostWindow.h"
#include "Translations.h"
#include "platform/Cp936.h"
#include "platform/Windows.h"
#include "support/MessageBoxProbe.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"

namespace prvc03 {
namespace {

// The buttons of the box the host shows for one MessageBoxA of the module.
QStringList HostBoxButtons(const QLocale& locale) {
    const test::DefaultLocale scope(locale);
    QObject context;
    const auto seen = test::RecordNextMessageBox(&context);
    const QByteArray text = platform::ToCp936(QStringLiteral("复制用户权限成功．"));
    const QByteArray caption = platform::ToCp936(QStringLiteral("提示信息"));
    EXPECT_EQ(
        platform::MessageBoxA(0, text.constData(), caption.constData(), platform::MB_ICONQUESTION),
        platform::IDOK);
    return *seen;
}

TEST(HostWindow, MessageBoxesReadInTheOperatorsLanguage) {
    test::TestDatabase db;
    host::HostWindow window(db.db(), QStringLiteral("/nonexistent/libPRVC03.so"),
                            QStringLiteral("test"));
    window.interactive = true;
    const QString text = QStringLiteral("复制用户权限成功．");
    EXPECT_EQ(HostBoxButtons(test::kChina), (QStringList{text, QStringLiteral("确定")}));
    EXPECT_EQ(HostBoxButtons(test::kUnitedStates), (QStringList{text, QStringLiteral("OK")}));
    // With Qt's translations loaded as the host loads them, still 确定.
    QTranslator* translator = host::LoadToolkitTranslations(*qApp, test::kChina);
    ASSERT_NE(translator, nullptr);
    EXPECT_EQ(HostBoxButtons(test::kChina), (QStringList{text, QStringLiteral("确定")}));
    QCoreApplication::removeTranslator(translator);
    delete translator;
    EXPECT_TRUE(window.Log().last().contains(text)) << "the host logs every box";
}

TEST(HostWindow, LoadsQtsOwnTranslationsForTheLocale) {
    QTranslator* translator = host::LoadToolkitTranslations(*qApp, test::kChina);
    ASSERT_NE(translator, nullptr) << "qt6-translations-l10n is not installed";
    EXPECT_EQ(translator->parent(), qApp);
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("取消"));
    QCoreApplication::removeTranslator(translator);
    delete translator;
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("Cancel"));
    EXPECT_EQ(host::LoadToolkitTranslations(*qApp, QLocale(QLocale::Zulu, QLocale::SouthAfrica)),
              nullptr);
}

}  // namespace
}  // namespace prvc03
