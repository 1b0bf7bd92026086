// LoadDll with arguments a careless host might pass: null texts, no window
// name, an unknown class, no connection, counted texts whose length and NUL
// disagree. Each gives a clear error or a sound default, never a crash.
#include <QApplication>
#include <QLineEdit>
#include <QPointer>
#include <QTest>
#include <QTimer>
#include <QToolButton>
#include <QWidget>

#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "entry/PRVC03.h"
#include "lookup/RootFH.h"
#include "modules/PRVC03F.h"
#include "platform/HostString.h"
#include "session/Errors.h"
#include "session/Global.h"
#include "support/ErrorOf.h"
#include "support/HostRecorder.h"
#include "support/QtPrinters.h"
#include "support/TestDatabase.h"

namespace prvc03 {
namespace {

using platform::HostString;

// A counted string laid out by hand: reference count, the given length, the
// bytes and a NUL, in a block of exactly that size.
class RawText {
  public:
    RawText(const QByteArray& bytes, std::int32_t length) : size_(8 + bytes.size() + 1) {
        block_ = std::make_unique<char[]>(size_);
        const std::int32_t refCount = -1;
        std::memcpy(block_.get(), &refCount, 4);
        std::memcpy(block_.get() + 4, &length, 4);
        std::memcpy(block_.get() + 8, bytes.constData(), static_cast<std::size_t>(bytes.size()));
        block_[size_ - 1] = '\0';
    }
    const char* data() const { return block_.get() + 8; }

  private:
    std::size_t size_;
    std::unique_ptr<char[]> block_;
};

class BadArguments : public ::testing::Test {
  protected:
    void SetUp() override { AttachLibrary(); }
    void TearDown() override {
        QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
        DetachLibrary(0);
    }

    // LoadDll with every text null but the two given.
    void Load(const char* formName, const char* caption, void* connection,
              void* application = qApp) {
        LoadDllEntry(application, 0, formName, caption, nullptr, nullptr, connection, 0, nullptr,
                     nullptr, nullptr, nullptr, nullptr, nullptr,
                     static_cast<std::int32_t>(host.LogHandle()), nullptr);
    }
    static TfrmPRVC03F* CopyWindow() {
        for (const OpenWindow& open : OpenWindows()) {
            if (auto* window = qobject_cast<TfrmPRVC03F*>(open.window.data())) {
                return window;
            }
        }
        return nullptr;
    }
    QStringList Boxes() const {
        QStringList texts;
        for (const auto& box : host.messageBoxes) {
            texts << box.text;
        }
        return texts;
    }

    test::HostRecorder host;
    test::TestDatabase db;
};

TEST_F(BadArguments, NullTextsAreEmptyTexts) {
    const HostString name(QByteArrayLiteral("frmPRVC03F"));
    Load(name.data(), nullptr, &db.db());
    TfrmPRVC03F* window = CopyWindow();
    ASSERT_NE(window, nullptr);
    EXPECT_TRUE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), QString()) << "a null caption is the empty caption";
    EXPECT_TRUE(Session().HostText5.isEmpty());
    EXPECT_TRUE(Session().HostText16.isEmpty());
    ASSERT_EQ(host.notices.size(), 1u);
    EXPECT_TRUE(host.notices[0].text.startsWith(QStringLiteral("#")));

    // No window name at all, null or empty: the class "T" is not registered.
    for (const HostString& formName : {HostString::Null(), HostString(QByteArray())}) {
        EXPECT_EQ(test::ErrorOf([&] { Load(formName.data(), nullptr, &db.db()); }),
                  QStringLiteral("Class T not found"));
    }
    EXPECT_EQ(CopyWindow(), window) << "the open window is left alone";
}

TEST_F(BadArguments, UnknownClassesAndNonWindowNamesOpenNothing) {
    // Names that are no window class of the module, including the root of
    // the toolkit's own classes and text that is not code page 936.
    for (const QByteArray& name : {QByteArray("frmNoSuch"), QByteArray("Object"),
                                   QByteArray("frmPRVC03F "), QByteArray("\x81\xff\xfe")}) {
        const HostString formName(name);
        EXPECT_THROW(Load(formName.data(), nullptr, &db.db()), std::exception)
            << name.toHex().constData();
    }
    EXPECT_EQ(CopyWindow(), nullptr);
    EXPECT_TRUE(host.notices.empty());
}

TEST_F(BadArguments, CountedLengthAndNulThatDisagree) {
    const QByteArray name("frmPRVC03F");
    // The NUL before the counted end decides; a shorter count cuts the text;
    // a negative or zero count is the empty text.
    const struct {
        QByteArray bytes;
        std::int32_t length;
        QByteArray read;
    } cases[] = {
        {name, 10, name},
        {name, 4000, name},
        {name, 0x7fffffff, name},
        {name + QByteArray("\0junk", 5), 15, name},
        {name, 3, QByteArray("frm")},
        {name, 0, QByteArray()},
        {name, -1, QByteArray()},
        {name, INT32_MIN, QByteArray()},
    };
    for (const auto& c : cases) {
        const RawText text(c.bytes, c.length);
        EXPECT_EQ(platform::ReadHostString(text.data()), c.read) << c.length;
    }

    const RawText longCount(name, 1 << 20);
    const RawText caption(QByteArray("\xb8\xb4\xd6\xc6"), 100);  // 复制, counted too long
    Load(longCount.data(), caption.data(), &db.db());
    ASSERT_NE(CopyWindow(), nullptr);
    EXPECT_EQ(CopyWindow()->windowTitle(), QStringLiteral("复制"));

    const RawText shortCount(name, 3);
    EXPECT_EQ(test::ErrorOf([&] { Load(shortCount.data(), caption.data(), &db.db()); }),
              QStringLiteral("Class Tfrm not found"));
}

TEST_F(BadArguments, NoConnectionOpensTheWindowAndEachUseSaysSo) {
    const HostString name(QByteArrayLiteral("frmPRVC03F"));
    Load(name.data(), nullptr, nullptr);
    QPointer<TfrmPRVC03F> window = CopyWindow();
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(Session().SessionConnection, nullptr);

    // 确定: the count cannot run.
    window->Edit1->setText(QStringLiteral("A01"));
    window->AddTargetLine(QStringLiteral("B01"), QStringLiteral("王五"));
    QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("No database connection")});
    ASSERT_FALSE(window.isNull()) << "the window stays open";

    // The lookup cannot show its records: it closes, nothing is picked.
    host.Clear();
    QTest::mouseClick(window->SpeedButton1, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("No database connection")});
    EXPECT_EQ(frmRootFH, nullptr);
    ASSERT_FALSE(window.isNull());
    EXPECT_EQ(window->Edit1->text(), QStringLiteral("A01"));

    // The host hands a connection on its next call; the open window uses it.
    Load(name.data(), nullptr, &db.db());
    host.Clear();
    QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
    QApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    EXPECT_EQ(Boxes(), QStringList{QStringLiteral("复制用户权限成功．")});
    EXPECT_TRUE(window.isNull());
}

TEST_F(BadArguments, AConnectionThatIsNotOpenCountsAsNone) {
    QSqlDatabase closed = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"),
                                                    QStringLiteral("bad_arguments_closed"));
    {
        const HostString name(QByteArrayLiteral("frmPRVC03F"));
        Load(name.data(), nullptr, &closed);
        TfrmPRVC03F* window = CopyWindow();
        ASSERT_NE(window, nullptr);
        window->Edit1->setText(QStringLiteral("A01"));
        QTest::mouseClick(window->BitBtn1, Qt::LeftButton);
        EXPECT_EQ(Boxes(), QStringList{QStringLiteral("No database connection")});
        delete window;
    }
    closed = QSqlDatabase();
    QSqlDatabase::removeDatabase(QStringLiteral("bad_arguments_closed"));
}

TEST_F(BadArguments, NoApplicationObjectFromTheHost) {
    const HostString name(QByteArrayLiteral("frmPRVC03F"));
    Load(name.data(), nullptr, &db.db(), nullptr);
    TfrmPRVC03F* window = CopyWindow();
    ASSERT_NE(window, nullptr) << "created with the library's own application object";
    EXPECT_EQ(CurrentApplication(), Session().OwnApplication);
    // Re-activation with no host object leaves none current.
    Load(name.data(), nullptr, &db.db(), nullptr);
    EXPECT_EQ(CopyWindow(), window);
    EXPECT_EQ(CurrentApplication(), nullptr);
}

}  // namespace
}  // namespace prvc03
