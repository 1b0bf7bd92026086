// The result store's growable arrays: values survive growth, copies are
// independent, moves leave the source empty, shrinking keeps the values.
#include <gtest/gtest.h>

#include <cstdint>

#include "data/PodBuffer.h"

namespace prvc03 {
namespace {

TEST(PodBufferTest, GrowsCopiesMovesAndShrinksKeepingValues) {
    PodBuffer<std::uint32_t> buffer;
    EXPECT_TRUE(buffer.empty());
    for (std::uint32_t i = 0; i < 100000; ++i) {
        buffer.push_back(i * 3);
    }
    const std::uint32_t tail[] = {7, 8, 9};
    buffer.Append(tail, 3);
    buffer.Append(tail, 0);
    ASSERT_EQ(buffer.size(), 100003u);
    EXPECT_GE(buffer.capacity(), buffer.size());
    EXPECT_EQ(buffer[99999], 299997u);
    EXPECT_EQ(buffer.back(), 9u);

    PodBuffer<std::uint32_t> copy = buffer;
    copy[0] = 42;
    EXPECT_EQ(buffer[0], 0u);
    EXPECT_EQ(copy.size(), buffer.size());

    buffer.shrink_to_fit();
    EXPECT_EQ(buffer.capacity(), buffer.size());
    EXPECT_EQ(buffer[50000], 150000u);

    PodBuffer<std::uint32_t> moved = std::move(buffer);
    EXPECT_TRUE(buffer.empty());  // NOLINT(bugprone-use-after-move): moved-from is empty
    EXPECT_EQ(buffer.capacity(), 0u);
    EXPECT_EQ(moved[100000], 7u);

    moved = {};
    EXPECT_TRUE(moved.empty());
    moved.shrink_to_fit();
    EXPECT_EQ(moved.data(), nullptr);
}

// Megabytes of values: the buffer leaves the heap for its own mapping, moves
// it on growth, trims it, and can grow again afterwards.
TEST(PodBufferTest, LargeBuffersKeepValuesThroughGrowthAndTrimming) {
    PodBuffer<std::uint64_t> buffer;
    const std::uint64_t count = 3000000;  // 24 MB
    for (std::uint64_t i = 0; i < count; ++i) {
        buffer.push_back(i * 7 + 1);
    }
    ASSERT_EQ(buffer.size(), count);
    EXPECT_EQ(buffer[0], 1u);
    EXPECT_EQ(buffer[65535], 65535u * 7 + 1);
    EXPECT_EQ(buffer[count - 1], (count - 1) * 7 + 1);

    PodBuffer<std::uint64_t> copy = buffer;
    copy[count - 1] = 5;
    EXPECT_EQ(buffer[count - 1], (count - 1) * 7 + 1);

    buffer.shrink_to_fit();
    EXPECT_EQ(buffer.capacity(), count);
    EXPECT_EQ(buffer[count / 2], count / 2 * 7 + 1);
    const std::uint64_t more[] = {11, 12};
    buffer.Append(more, 2);
    EXPECT_EQ(buffer.size(), count + 2);
    EXPECT_EQ(buffer[count - 1], (count - 1) * 7 + 1);
    EXPECT_EQ(buffer.back(), 12u);

    PodBuffer<std::uint64_t> moved = std::move(buffer);
    EXPECT_EQ(buffer.data(), nullptr);  // NOLINT(bugprone-use-after-move): moved-from is empty
    EXPECT_EQ(moved[count], 11u);
    moved = copy;
    EXPECT_EQ(moved[count - 1], 5u);
    EXPECT_EQ(moved[1], 8u);
}

}  // namespace
}  // namespace prvc03
