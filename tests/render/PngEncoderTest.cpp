// PngEncoderTest: the winhost's screenshot encoder writes pictures a PNG reader gives back pixel for pixel.
#include <cairo.h>

#include "tests/render/RenderTestSupport.h"
#include "tools/pngencoder/PngEncoder.h"

namespace {

void expectRoundTrip(int width, int height, int channels) {
    std::vector<uint8_t> pixels(static_cast<size_t>(width) * height * channels);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * channels];
            p[0] = static_cast<uint8_t>(x * 7 + y);
            p[1] = static_cast<uint8_t>(y * 3);
            p[2] = static_cast<uint8_t>(x ^ y);
            if (channels == 4) p[3] = 255;
        }
    }
    const std::string path = scratchDir() + "/picture.png";
    ASSERT_TRUE(PngEncoder::writeFile(path, pixels.data(), width, height, channels));
    EXPECT_FALSE(fileExists(path + ".partial"));
    cairo_surface_t* s = cairo_image_surface_create_from_png(path.c_str());
    ASSERT_EQ(cairo_surface_status(s), CAIRO_STATUS_SUCCESS);
    ASSERT_EQ(cairo_image_surface_get_width(s), width);
    ASSERT_EQ(cairo_image_surface_get_height(s), height);
    const uint8_t* data = cairo_image_surface_get_data(s);
    const int stride = cairo_image_surface_get_stride(s);
    for (int y = 0; y < height; ++y) {
        for (int x = 0; x < width; ++x) {
            const uint32_t argb = *reinterpret_cast<const uint32_t*>(data + y * stride + 4 * x);
            const uint8_t* p = &pixels[(static_cast<size_t>(y) * width + x) * channels];
            ASSERT_EQ((argb >> 16) & 0xff, p[0]) << x << "," << y;
            ASSERT_EQ((argb >> 8) & 0xff, p[1]) << x << "," << y;
            ASSERT_EQ(argb & 0xff, p[2]) << x << "," << y;
        }
    }
    cairo_surface_destroy(s);
}

TEST(PngEncoderTest, SmallRgbPictureRoundTrips) { expectRoundTrip(5, 3, 3); }

TEST(PngEncoderTest, EditorSizedPictureSpansManyStoredBlocks) {
    // 762 x 104 RGB is about 238 kB of scan lines: four stored blocks and a short last one.
    expectRoundTrip(762, 104, 3);
    expectRoundTrip(300, 300, 4);
}

TEST(PngEncoderTest, ChecksumsMatchTheirPublishedValues) {
    const uint8_t text[] = "123456789";
    EXPECT_EQ(PngEncoder::crc32(text, 9), 0xCBF43926u);
    const uint8_t wiki[] = "Wikipedia";
    EXPECT_EQ(PngEncoder::adler32(wiki, 9), 0x11E60398u);
}

}  // namespace
