#include "platform/HostString.h"

#include <gtest/gtest.h>

#include <cstring>

using prvc03::platform::HostString;
using prvc03::platform::ReadHostString;

namespace {

// A counted string laid out by hand, for lengths that disagree with the bytes.
struct RawBlock {
    RawBlock(std::int32_t length, const char* bytes, std::size_t size) {
        std::memcpy(block + 4, &length, sizeof length);
        std::memcpy(block + 8, bytes, size);
    }
    const char* data() const { return block + 8; }
    alignas(4) char block[64] = {};
};

std::int32_t Int32At(const char* p) {
    std::int32_t value = 0;
    std::memcpy(&value, p, sizeof value);
    return value;
}

}  // namespace

TEST(HostString, BuildsTheHostLayout) {
    const HostString text(QByteArray("\xcd\xf5\xce\xe5"), 3);  // 王五
    const char* p = text.data();
    ASSERT_NE(p, nullptr);
    EXPECT_EQ(Int32At(p - 8), 3);
    EXPECT_EQ(Int32At(p - 4), 4);
    EXPECT_EQ(QByteArray(p, 4), QByteArray("\xcd\xf5\xce\xe5"));
    EXPECT_EQ(p[4], '\0');
    EXPECT_EQ(Int32At(HostString(QByteArray("x")).data() - 8), -1) << "constants count -1";
    EXPECT_EQ(HostString::Null().data(), nullptr);
}

TEST(HostString, ReadsNullEmptyAndChineseTexts) {
    EXPECT_TRUE(ReadHostString(nullptr).isEmpty());
    EXPECT_TRUE(ReadHostString(HostString(QByteArray()).data()).isEmpty());
    const QByteArray caption("\xb8\xb4\xd6\xc6\xd3\xc3\xbb\xa7\xc8\xa8\xcf\xde");  // 复制用户权限
    EXPECT_EQ(ReadHostString(HostString(caption).data()), caption);
}

TEST(HostString, TrustsTheCountOnlyUpToTheFirstNul) {
    // Count beyond a NUL: the text ends at the NUL.
    const RawBlock early(10, "abc\0defghij", 11);
    EXPECT_EQ(ReadHostString(early.data()), QByteArray("abc"));
    // Count shorter than the bytes: the count wins.
    const RawBlock shortCount(2, "abcdef", 7);
    EXPECT_EQ(ReadHostString(shortCount.data()), QByteArray("ab"));
    // A NUL at the very start.
    const RawBlock leadingNul(5, "\0abcd", 6);
    EXPECT_TRUE(ReadHostString(leadingNul.data()).isEmpty());
}

TEST(HostString, NegativeOrZeroCountReadsEmpty) {
    const RawBlock negative(-3, "abc", 4);
    EXPECT_TRUE(ReadHostString(negative.data()).isEmpty());
    const RawBlock zero(0, "abc", 4);
    EXPECT_TRUE(ReadHostString(zero.data()).isEmpty());
}
