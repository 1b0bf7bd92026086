#include <QObject>
#include <QPointer>
#include <QWidget>

#include <gtest/gtest.h>

#include "session/Global.h"

using namespace prvc03;

namespace {
WindowFactory Making(const QString& name) {
    return [name](QObject*) {
        auto* made = new QObject;  // handed to the caller
        made->setObjectName(name);
        return made;
    };
}

// A window class entered for one scope and taken out again however the
// scope ends, so that a failed case leaves no entry to later ones.
class RegisteredClass {
  public:
    RegisteredClass(const QByteArray& name, const QString& made) : name_(name) {
        RegisterWindowClass(name, Making(made));
    }
    ~RegisteredClass() { UnregisterWindowClass(name_); }
    RegisteredClass(const RegisteredClass&) = delete;
    RegisteredClass& operator=(const RegisteredClass&) = delete;

  private:
    QByteArray name_;
};
}  // namespace

TEST(WindowClassRegistry, LooksUpWithoutRegardToLetterCase) {
    const RegisteredClass entry("TfrmRegTest", QStringLiteral("first"));
    EXPECT_TRUE(IsWindowClassRegistered("TfrmRegTest"));
    EXPECT_TRUE(IsWindowClassRegistered("TFRMREGTEST"));
    EXPECT_TRUE(IsWindowClassRegistered("tfrmregtest"));
    EXPECT_FALSE(IsWindowClassRegistered("TfrmRegTest2"));
    EXPECT_EQ(FindWindowClass("TfrmOther"), nullptr);

    // Entering the same name in other letters replaces the entry.
    RegisterWindowClass("TFRMREGTEST", Making(QStringLiteral("second")));
    const WindowFactory* factory = FindWindowClass("tFrMrEgTeSt");
    ASSERT_NE(factory, nullptr);
    std::unique_ptr<QObject> made((*factory)(nullptr));
    EXPECT_EQ(made->objectName(), QStringLiteral("second"));

    UnregisterWindowClass("tfrmregtest");
    EXPECT_FALSE(IsWindowClassRegistered("TfrmRegTest"));
}

TEST(WindowClassRegistry, FoldsOnlyAsciiLetters) {
    const RegisteredClass entry("Tfrm_1\xb5", QStringLiteral("x"));
    EXPECT_TRUE(IsWindowClassRegistered("TFRM_1\xb5"));
    EXPECT_FALSE(IsWindowClassRegistered("TFRM_1\x95")) << "bytes above 127 are not letters";
}

TEST(OpenWindowList, KeepsCreationOrderAndForgetsDestroyedWindows) {
    auto first = std::make_unique<QObject>();
    auto second = std::make_unique<QWidget>();
    QObject third;
    AddOpenWindow(first.get(), "TfrmA", 0x100);
    AddOpenWindow(second.get(), "TfrmB", 0x104);
    AddOpenWindow(&third, "TfrmC", 0x108);
    AddOpenWindow(first.get(), "TfrmA", 0x10C);  // known window: updated in place

    std::vector<OpenWindow> open = OpenWindows();
    ASSERT_EQ(open.size(), 3u);
    EXPECT_EQ(open[0].window, first.get());
    EXPECT_EQ(open[0].handle, 0x10C);
    EXPECT_EQ(open[1].className, QByteArray("TfrmB"));
    EXPECT_EQ(open[2].window, &third);

    second.reset();
    open = OpenWindows();
    ASSERT_EQ(open.size(), 2u);
    EXPECT_EQ(open[1].window, &third);

    RemoveOpenWindow(&third);
    RemoveOpenWindow(first.get());
    EXPECT_TRUE(OpenWindows().empty());
    first.reset();  // no longer watched: nothing left to remove
    EXPECT_TRUE(OpenWindows().empty());
}

TEST(CurrentApplication, FollowsTheLastSetObjectWhileItLives) {
    auto own = std::make_unique<QObject>();
    QObject host;
    SetCurrentApplication(own.get());
    EXPECT_EQ(CurrentApplication(), own.get());
    SetCurrentApplication(&host);
    EXPECT_EQ(CurrentApplication(), &host);
    SetCurrentApplication(own.get());
    own.reset();
    EXPECT_EQ(CurrentApplication(), nullptr);
}

TEST(AdoptComponent, ComponentsDieWithTheirOwnerInAdoptionOrder) {
    auto owner = std::make_unique<QObject>();
    std::vector<QString> deaths;
    auto adopt = [&](QObject* component, const QString& name) {
        component->setObjectName(name);
        QObject::connect(component, &QObject::destroyed,
                         [&deaths, name] { deaths.push_back(name); });
        AdoptComponent(owner.get(), component);
        return QPointer<QObject>(component);
    };
    const QPointer<QObject> window = adopt(new QWidget, QStringLiteral("window"));
    const QPointer<QObject> helper = adopt(new QObject, QStringLiteral("helper"));
    const QPointer<QObject> early = adopt(new QObject, QStringLiteral("early"));

    delete early.data();  // goes first; the owner must not touch it again
    EXPECT_EQ(deaths, std::vector<QString>{QStringLiteral("early")});
    ASSERT_FALSE(window.isNull());
    ASSERT_FALSE(helper.isNull());

    owner.reset();
    EXPECT_TRUE(window.isNull());
    EXPECT_TRUE(helper.isNull());
    EXPECT_EQ(deaths, (std::vector<QString>{QStringLiteral("early"), QStringLiteral("window"),
                                            QStringLiteral("helper")}));
}

TEST(AdoptComponent, ComponentOutlivesNothingButItsOwner) {
    QPointer<QObject> component = new QObject;
    {
        QObject owner;
        AdoptComponent(&owner, component);
        AdoptComponent(&owner, component);  // twice is harmless
        QObject unrelated;
        AdoptComponent(&unrelated, nullptr);
        AdoptComponent(nullptr, &unrelated);
        EXPECT_FALSE(component.isNull());
    }
    EXPECT_TRUE(component.isNull());
}
