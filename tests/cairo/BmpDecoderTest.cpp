// Decoding of 24-bit and palette BMP files into images, and refusal of damaged ones.
#include <gtest/gtest.h>

#include "gui/platform/cairo/BmpDecoder.h"
#include "tools/bmpfile/BmpWriter.h"

#include <cairo.h>

namespace {

uint32_t pixelAt(cairo_surface_t* image, int32_t x, int32_t y) {
    cairo_surface_flush(image);
    const unsigned char* row = cairo_image_surface_get_data(image) + size_t(y) * cairo_image_surface_get_stride(image);
    return reinterpret_cast<const uint32_t*>(row)[x] & 0xFFFFFFu;
}

struct Image {
    explicit Image(const std::vector<unsigned char>& bytes) : surface(BmpDecoder::decode(bytes.data(), bytes.size())) {}
    ~Image() {
        if (surface) cairo_surface_destroy(surface);
    }
    cairo_surface_t* surface;
};

}  // namespace

TEST(BmpDecoderTest, TwentyFourBitRowsComeBottomUpWithPadding) {
    // 3 by 2: each row carries 3 pad bytes that must not shift the next row.
    const std::vector<uint32_t> pixels{0x102030, 0x405060, 0x708090, 0xA0B0C0, 0xD0E0F0, 0x010203};
    Image image(BmpWriter::rgb24(3, 2, pixels));
    ASSERT_NE(image.surface, nullptr);
    EXPECT_EQ(cairo_image_surface_get_width(image.surface), 3);
    EXPECT_EQ(cairo_image_surface_get_height(image.surface), 2);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 3; ++x) EXPECT_EQ(pixelAt(image.surface, x, y), pixels[size_t(y) * 3 + x]) << x << "," << y;
}

TEST(BmpDecoderTest, EightBitIndicesLookUpTheirPalette) {
    const std::vector<uint32_t> palette{0xFF0000, 0x00FF00, 0x123456};
    const std::vector<uint8_t> indices{0, 1, 2, 2, 1, 0, 1, 1, 1, 2, 0, 2};  // 6 by 2, rows padded to 8
    Image image(BmpWriter::indexed8(6, 2, palette, indices));
    ASSERT_NE(image.surface, nullptr);
    for (int32_t y = 0; y < 2; ++y)
        for (int32_t x = 0; x < 6; ++x)
            EXPECT_EQ(pixelAt(image.surface, x, y), palette[indices[size_t(y) * 6 + x]]) << x << "," << y;

    // An index past the palette is refused rather than read past the table.
    Image stray(BmpWriter::indexed8(1, 1, palette, {7}));
    EXPECT_EQ(stray.surface, nullptr);
}

TEST(BmpDecoderTest, DamagedFilesAreRefused) {
    std::vector<unsigned char> good = BmpWriter::rgb24(3, 4, std::vector<uint32_t>(12, 0xFFFFFF));
    EXPECT_EQ(BmpDecoder::decode(nullptr, 0), nullptr);
    EXPECT_EQ(BmpDecoder::decode(good.data(), 20), nullptr);

    std::vector<unsigned char> truncated(good.begin(), good.end() - 1);
    EXPECT_EQ(BmpDecoder::decode(truncated.data(), truncated.size()), nullptr);

    std::vector<unsigned char> badMagic = good;
    badMagic[0] = 'X';
    EXPECT_EQ(BmpDecoder::decode(badMagic.data(), badMagic.size()), nullptr);

    std::vector<unsigned char> hugeOffset = good;
    hugeOffset[10] = 0xFF;
    hugeOffset[11] = 0xFF;
    hugeOffset[12] = 0xFF;
    EXPECT_EQ(BmpDecoder::decode(hugeOffset.data(), hugeOffset.size()), nullptr);

    std::vector<unsigned char> compressed = good;
    compressed[30] = 1;  // BI_RLE8 on a 24-bit file
    EXPECT_EQ(BmpDecoder::decode(compressed.data(), compressed.size()), nullptr);

    std::vector<unsigned char> zeroWidth = good;
    zeroWidth[18] = 0;
    EXPECT_EQ(BmpDecoder::decode(zeroWidth.data(), zeroWidth.size()), nullptr);

    // A width whose row size wraps 32 bits: with no pixel bytes at all the sizes would still add up.
    std::vector<unsigned char> hugeWidth(good.begin(), good.begin() + 54);
    hugeWidth[2] = 54;
    hugeWidth[3] = hugeWidth[4] = hugeWidth[5] = 0;
    hugeWidth[18] = hugeWidth[19] = hugeWidth[20] = 0;
    hugeWidth[21] = 0x20;
    EXPECT_EQ(BmpDecoder::decode(hugeWidth.data(), hugeWidth.size()), nullptr);

    std::vector<unsigned char> topDown = good;  // a negative height: rows stored top-down
    topDown[22] = 0xFC;
    topDown[23] = topDown[24] = topDown[25] = 0xFF;
    EXPECT_EQ(BmpDecoder::decode(topDown.data(), topDown.size()), nullptr);

    std::vector<unsigned char> paddedWithJunk = good;
    paddedWithJunk[54 + 9] = 0xEE;  // the first row's pad byte
    EXPECT_EQ(BmpDecoder::decode(paddedWithJunk.data(), paddedWithJunk.size()), nullptr);
}
