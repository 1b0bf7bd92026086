// The host's stand-in for the system's message box speaks the operator's
// language, the host finds Qt's own translations, and its "发送 Close"
// reaches the copy window of the real plug-in.
#include <QAbstractButton>
#include <QApplication>
#include <QTest>
#include <QTimer>
#include <QTranslator>

#include <gtest/gtest.h>

#include <functional>

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

// "发送 Close" goes to the copy window even after a lookup, the last window
// that announced itself, has come and gone; without a module window it says
// so.
TEST(HostWindow, SendCloseReachesTheCopyWindowAfterALookup) {
    test::TestDatabase db;
    host::HostWindow window(db.db(), QStringLiteral(PRVC03_LIBRARY_PATH), QStringLiteral("test"));
    window.interactive = false;
    const QString none = QStringLiteral("没有打开的模块窗口");
    window.CloseModule();
    EXPECT_EQ(window.Log().count(none), 1);

    ASSERT_TRUE(window.OpenModule());
    QWidget* module = window.ModuleWindow();
    ASSERT_NE(module, nullptr);
    auto* lookupButton = module->findChild<QAbstractButton*>(QStringLiteral("SpeedButton1"));
    ASSERT_NE(lookupButton, nullptr);
    // The source lookup, closed with Esc once it shows.
    QObject context;
    bool lookupShown = false;
    std::function<void()> closeLookup = [&] {
        QWidget* modal = QApplication::activeModalWidget();
        lookupShown = modal != nullptr;
        modal != nullptr ? QTest::keyClick(modal, Qt::Key_Escape)
                         : QTimer::singleShot(10, &context, closeLookup);
    };
    QTimer::singleShot(0, &context, closeLookup);
    lookupButton->click();
    ASSERT_TRUE(lookupShown);

    window.CloseModule();
    EXPECT_TRUE(QTest::qWaitFor([&] { return window.ModuleWindow() == nullptr; }, 5000))
        << "the copy window closed";
    EXPECT_EQ(window.Log().count(none), 1);
    window.CloseModule();
    EXPECT_EQ(window.Log().count(none), 2) << "nothing open any more";
    window.UnloadLibrary();
}

}  // namespace
}  // namespace prvc03
