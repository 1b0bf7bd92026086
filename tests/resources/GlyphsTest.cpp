// The painted glyphs: each one drawn, distinct from the others, and cached.

#include <QImage>
#include <QSet>

#include <gtest/gtest.h>

#include "resources/Glyphs.h"

namespace prvc03 {
namespace {

constexpr int kGlyphCount = static_cast<int>(Glyph::Preview) + 1;

QImage Picture(Glyph glyph, int size) {
    return GlyphPixmap(glyph, size).toImage().convertToFormat(QImage::Format_ARGB32);
}

TEST(GlyphsTest, EveryGlyphIsDrawnAndDiffersFromTheOthers) {
    QSet<QByteArray> seen;
    for (int i = 0; i < kGlyphCount; ++i) {
        const QImage image = Picture(static_cast<Glyph>(i), 16);
        ASSERT_EQ(image.size(), QSize(16, 16)) << i;
        int painted = 0;
        for (int y = 0; y < 16; ++y) {
            for (int x = 0; x < 16; ++x) {
                painted += qAlpha(image.pixel(x, y)) > 0 ? 1 : 0;
            }
        }
        EXPECT_GT(painted, 10) << "glyph " << i;
        EXPECT_LT(painted, 256) << "glyph " << i << " has no transparent edge";
        const QByteArray bits(reinterpret_cast<const char*>(image.constBits()),
                              static_cast<int>(image.sizeInBytes()));
        EXPECT_FALSE(seen.contains(bits)) << "glyph " << i << " repeats another";
        seen.insert(bits);
    }
}

TEST(GlyphsTest, SizesAreDrawnApartAndCached) {
    EXPECT_EQ(GlyphPixmap(Glyph::DeleteLine, 18).size(), QSize(18, 18));
    EXPECT_EQ(GlyphPixmap(Glyph::Lookup, 16).cacheKey(), GlyphPixmap(Glyph::Lookup, 16).cacheKey());
    EXPECT_NE(GlyphPixmap(Glyph::Lookup, 16).cacheKey(), GlyphPixmap(Glyph::Lookup, 32).cacheKey());
    EXPECT_TRUE(GlyphPixmap(Glyph::Ok, 0).isNull());
    EXPECT_FALSE(GlyphIcon(Glyph::WindowIcon, 32).isNull());
}

TEST(GlyphsTest, ArrowColours) {
    // Order list: red upward, black downward; title images: red with a
    // black outline.
    auto centre = [](Glyph glyph) { return Picture(glyph, 16).pixelColor(8, 9); };
    EXPECT_GT(centre(Glyph::OrderAscending).red(), 150);
    EXPECT_LT(centre(Glyph::OrderAscending).green(), 80);
    EXPECT_LT(centre(Glyph::OrderDescending).red(), 40);
    EXPECT_GT(centre(Glyph::OrderDescending).alpha(), 200);
    EXPECT_GT(centre(Glyph::TitleUp).red(), 150);
    EXPECT_GT(centre(Glyph::TitleDown).red(), 150);
    // The outline: the up arrow's tip row is dark, not red.
    const QImage up = Picture(Glyph::TitleUp, 16);
    const QColor tip = up.pixelColor(8, 2);
    EXPECT_LT(tip.red(), 120);
}

}  // namespace
}  // namespace prvc03
