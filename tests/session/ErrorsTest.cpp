#include <gtest/gtest.h>

#include <stdexcept>

#include "session/Errors.h"
#include "session/VariantArray.h"
#include "support/ErrorOf.h"
#include "support/HostRecorder.h"

using namespace prvc03;
using prvc03::test::HostRecorder;

TEST(RunHandler, AbortEndsTheHandlerSilently) {
    HostRecorder host;
    bool after = false;
    RunHandler([&] {
        throw Abort();
        after = true;
    });
    EXPECT_FALSE(after);
    EXPECT_TRUE(host.events.empty());
}

TEST(RunHandler, ErrorsAreShownInAStopMessageBox) {
    HostRecorder host;
    RunHandler([] { throw Error(QStringLiteral("用户编号不存在．")); });
    RunHandler([] { throw std::runtime_error("disk full"); });
    RunHandler([] { throw 42; });
    ASSERT_EQ(host.messageBoxes.size(), 3u);
    EXPECT_EQ(host.messageBoxes[0].text, QStringLiteral("用户编号不存在．"));
    EXPECT_EQ(host.messageBoxes[0].caption, QStringLiteral("PRVC03"));
    EXPECT_EQ(host.messageBoxes[0].type, platform::MB_ICONSTOP);
    EXPECT_EQ(host.messageBoxes[0].owner, 0);
    EXPECT_EQ(host.messageBoxes[1].text, QStringLiteral("disk full"));
    EXPECT_EQ(host.messageBoxes[2].text, QStringLiteral("Unknown error"));
    EXPECT_TRUE(host.errorReports.empty());
}

TEST(RunHandler, AFailingReportDoesNotEscape) {
    const auto previous = platform::SetMessageBoxPresenter(
        [](platform::HWND, const QByteArray&, const QByteArray&, unsigned) -> int {
            throw std::runtime_error("presenter broke");
        });
    EXPECT_NO_THROW(RunHandler([] { throw Error(QStringLiteral("first")); }));
    platform::SetMessageBoxPresenter(previous);
}

TEST(VariantArray, OneDimensionKeepsItsBoundsAndChecksIndices) {
    VariantArray array(1, 3);
    EXPECT_EQ(array.Low(), 1);
    EXPECT_EQ(array.High(), 3);
    EXPECT_EQ(array.Count(), 3);
    EXPECT_FALSE(array.at(2).isValid()) << "elements start Empty";
    array.at(3) = QStringLiteral("c");
    EXPECT_EQ(array.at(3).toString(), QStringLiteral("c"));
    EXPECT_THROW(array.at(0), Error);
    EXPECT_THROW(array.at(4), Error);
    EXPECT_THROW(array.at(1, 1), Error);
    EXPECT_THROW(array.Low(2), Error);

    const VariantArray none(0, -1);
    EXPECT_TRUE(none.IsEmpty());
    EXPECT_EQ(none.Count(), 0);
    EXPECT_THROW(none.at(0), Error);
    EXPECT_THROW(VariantArray(2, 0), Error);
}

TEST(VariantArray, TwoDimensionsAddressRowsAndColumns) {
    VariantArray array(0, 2, 1, 2);
    EXPECT_EQ(array.DimCount(), 2);
    EXPECT_EQ(array.Count(1), 3);
    EXPECT_EQ(array.Count(2), 2);
    for (int row = 0; row <= 2; ++row) {
        for (int column = 1; column <= 2; ++column) {
            array.at(row, column) = row * 10 + column;
        }
    }
    EXPECT_EQ(array.at(0, 2).toInt(), 2);
    EXPECT_EQ(array.at(2, 1).toInt(), 21);
    EXPECT_EQ(array.at(1, 2).toInt(), 12);
    EXPECT_THROW(array.at(3, 1), Error);
    EXPECT_THROW(array.at(0, 0), Error);
    EXPECT_THROW(array.at(0), Error);
    EXPECT_EQ(test::ErrorOf([&] { array.at(0, 3); }), QStringLiteral("Index out of range"));
}
