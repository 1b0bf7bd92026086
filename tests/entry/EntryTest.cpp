// LoadDll's work in-process: the session context, the current application
// object, opening and re-activating by class name, freeing at unload.
#include <QApplication>
#include <QPointer>
#include <QPushButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <algorithm>

#include "entry/PRVC03.h"
#include "forms/Root.h"
#include "platform/Cp936.h"
#include "platform/HostString.h"
#include "session/Errors.h"
#include "session/Global.h"
#include "support/ErrorOf.h"
#include "support/HostRecorder.h"
#include "support/MessageBoxProbe.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"

namespace prvc03 {
namespace {

using platform::HostString;

class EntryTest : public ::testing::Test {
  protected:
    void SetUp() override { AttachLibrary(); }
    void TearDown() override { DetachLibrary(0); }

    void Load(const QByteArray& formName, const QString& caption, int hostWindow = 7) {
        const HostString name(formName);
        const HostString title(platform::ToCp936(caption));
        // A text of its own in each slot ("t5" in hostText5), so that a
        // swapped parameter shows.
        const HostString t5("t5"), t9("t9"), t10("t10"), t11("t11"), t12("t12"), t13("t13"),
            t14("t14"), t16("t16");
        LoadDllEntry(qApp, 2, name.data(), title.data(), t5.data(), nullptr, &db.db(), 8, t9.data(),
                     t10.data(), t11.data(), t12.data(), t13.data(), t14.data(), hostWindow,
                     t16.data());
    }
    static std::vector<QWidget*> ModuleWindows() {
        std::vector<QWidget*> windows;
        for (const OpenWindow& open : OpenWindows()) {
            if (auto* widget = qobject_cast<QWidget*>(open.window.data())) {
                windows.push_back(widget);
            }
        }
        return windows;
    }

    test::HostRecorder host;
    test::TestDatabase db;
};

TEST_F(EntryTest, StoresTheSessionInParameterOrder) {
    Load("frmPRVC03F", QStringLiteral("复制用户权限"), 15);
    const SessionContext& session = Session();
    EXPECT_EQ(session.HostInt2, 2);
    EXPECT_EQ(session.FormName, QByteArray("frmPRVC03F"));
    EXPECT_EQ(platform::FromCp936(session.FormCaption), QStringLiteral("复制用户权限"));
    EXPECT_EQ(session.HostText5, QByteArray("t5"));
    EXPECT_TRUE(session.HostText6.isEmpty()) << "a null text is the empty text";
    EXPECT_EQ(session.SessionConnection, &db.db());
    EXPECT_EQ(session.HostInt8, 8);
    EXPECT_EQ(session.HostWindow, 15);
    EXPECT_EQ((QByteArrayList{session.HostText9, session.HostText10, session.HostText11,
                              session.HostText12, session.HostText13, session.HostText14,
                              session.HostText16}),
              (QByteArrayList{"t9", "t10", "t11", "t12", "t13", "t14", "t16"}));
}

TEST_F(EntryTest, CreatesOnceThenReactivates) {
    QObject* own = Session().OwnApplication;
    ASSERT_NE(own, nullptr);
    Load("frmPRVC03F", QStringLiteral("复制用户权限"));
    ASSERT_EQ(ModuleWindows().size(), 1u);
    QWidget* window = ModuleWindows()[0];
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QStringLiteral("复制用户权限"));
    EXPECT_EQ(window->objectName(), QStringLiteral("frmPRVC03F"));
    EXPECT_EQ(CurrentApplication(), own) << "creating makes the library's own object current";
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_EQ(host.notices[0].dwData, 0u);

    window->showMinimized();
    Load("FRMprvc03f", QStringLiteral("另一个标题"));
    ASSERT_EQ(ModuleWindows().size(), 1u) << "letter case is ignored when looking for the window";
    EXPECT_EQ(ModuleWindows()[0], window);
    EXPECT_FALSE(window->isMinimized()) << "a minimised window is restored";
    EXPECT_EQ(window->windowTitle(), QStringLiteral("复制用户权限")) << "caption unchanged";
    EXPECT_EQ(platform::FromCp936(Session().FormCaption), QStringLiteral("另一个标题"));
    EXPECT_EQ(CurrentApplication(), static_cast<QObject*>(qApp))
        << "re-activation leaves the host's object current";
}

TEST_F(EntryTest, UnknownClassRaisesAndOpensNothing) {
    EXPECT_EQ(test::ErrorOf([&] { Load("frmNothing", QStringLiteral("x")); }),
              QStringLiteral("Class TfrmNothing not found"));
    EXPECT_TRUE(ModuleWindows().empty());
    EXPECT_EQ(CurrentApplication(), static_cast<QObject*>(qApp));
    EXPECT_EQ(Session().FormName, QByteArray("frmNothing"));
    EXPECT_THROW(Load("", QStringLiteral("x")), Error);
}

TEST_F(EntryTest, DetachFreesTheWindowByExactName) {
    Load("frmPRVC03F", QStringLiteral("复制用户权限"));
    QPointer<QWidget> window = ModuleWindows()[0];
    DetachLibrary(2);  // a thread notification changes nothing
    EXPECT_FALSE(window.isNull());
    DetachLibrary(0);
    EXPECT_TRUE(window.isNull());
    EXPECT_EQ(Session().OwnApplication, nullptr);
    AttachLibrary();
}

TEST_F(EntryTest, LowerCaseNameIsFreedOnlyWithItsOwner) {
    Load("frmprvc03f", QStringLiteral("复制用户权限"));
    QPointer<QWidget> window = ModuleWindows()[0];
    // FreeWindowByName compares the component name exactly: nothing is freed...
    FreeWindowByName(Session().FormName);
    EXPECT_FALSE(window.isNull());
    // ... and the window goes with the library's own application object.
    DetachLibrary(0);
    EXPECT_TRUE(window.isNull());
    AttachLibrary();
}

TEST_F(EntryTest, FreeWindowByNameTakesTheLastMatch) {
    Load("frmRootF", QStringLiteral("一"));
    Load("frmRootFY", QStringLiteral("二"));
    auto windows = ModuleWindows();
    ASSERT_EQ(windows.size(), 2u);
    windows[0]->setObjectName(QStringLiteral("same"));
    windows[1]->setObjectName(QStringLiteral("same"));
    QPointer<QWidget> first = windows[0];
    QPointer<QWidget> second = windows[1];
    FreeWindowByName("same");
    EXPECT_FALSE(first.isNull());
    EXPECT_TRUE(second.isNull());
}

// Each window class the library registers runs its destroy step once, on
// the whole window, however the window is freed: the class name it gives
// then is still its own, not that of a base whose destructor runs.
TEST_F(EntryTest, EveryRegisteredWindowClassRunsItsDestroyStepOnTheWholeWindow) {
    const std::vector<QByteArray> classes = {"TFRMPRVC03F", "TFRMROOT", "TFRMROOTF", "TFRMROOTFY"};
    std::vector<QByteArray> registered = RegisteredWindowClasses();
    std::sort(registered.begin(), registered.end());
    ASSERT_EQ(registered, classes);
    enum class Freed { ByDelete, Later, WithOwner };
    for (const QByteArray& className : classes) {
        for (const Freed freed : {Freed::ByDelete, Freed::Later, Freed::WithOwner}) {
            auto owner = std::make_unique<QObject>();
            QObject* made = (*FindWindowClass(className))(owner.get());
            auto* window = qobject_cast<TfrmRoot*>(made);
            ASSERT_NE(window, nullptr) << className.constData();
            QStringList seen;
            QObject::connect(window, &TfrmRoot::Destroying, window, [&seen, window] {
                seen << QString::fromLatin1(window->ClassName().toUpper());
            });
            switch (freed) {
                case Freed::ByDelete:
                    delete made;  // through a QObject pointer
                    break;
                case Freed::Later:
                    window->deleteLater();
                    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
                    break;
                case Freed::WithOwner:
                    owner.reset();
                    break;
            }
            EXPECT_EQ(seen, QStringList{QString::fromLatin1(className)})
                << "freed " << static_cast<int>(freed);
        }
    }
}

TEST_F(EntryTest, OwnMessageBoxesReadInTheOperatorsLanguage) {
    // Without a presenter of the host's the library shows its own boxes.
    DetachLibrary(0);
    const platform::MessageBoxPresenter hosts = platform::SetMessageBoxPresenter(nullptr);
    AttachLibrary();
    Load("frmPRVC03F", QStringLiteral("复制用户权限"));
    auto* ok = ModuleWindows().at(0)->findChild<QPushButton*>(QStringLiteral("BitBtn1"));
    ASSERT_NE(ok, nullptr);
    auto refusal = [ok](const QLocale& locale) {
        const test::DefaultLocale scope(locale);
        QObject context;
        const auto seen = test::RecordNextMessageBox(&context);
        ok->click();  // Edit1 is empty: refused
        return *seen;
    };
    const QString text = QStringLiteral("原用户信息不能为空，复制无效．");
    EXPECT_EQ(refusal(test::kChina), (QStringList{text, QStringLiteral("确定")}));
    EXPECT_EQ(refusal(test::kUnitedStates), (QStringList{text, QStringLiteral("OK")}));
    DetachLibrary(0);
    EXPECT_FALSE(platform::SetMessageBoxPresenter(hosts)) << "the library removes its own";
    AttachLibrary();
}

}  // namespace
}  // namespace prvc03
