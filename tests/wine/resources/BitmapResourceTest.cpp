// BitmapResourceTest: LoadBitmapA finds every bitmap of the resource script, with its size and pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

namespace {

HBITMAP load(int id) { return LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)); }

// The pixels of a loaded bitmap as 0xRRGGBB, top row first.
std::vector<uint32_t> pixelsOf(HBITMAP bitmap, int width, int height) {
    BITMAPINFO info = {};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    std::vector<uint32_t> pixels(size_t(width) * size_t(height));
    HDC screen = GetDC(nullptr);
    GetDIBits(screen, bitmap, 0, height, pixels.data(), &info, DIB_RGB_COLORS);
    ReleaseDC(nullptr, screen);
    for (uint32_t& p : pixels) p &= 0xffffff;
    return pixels;
}

}  // namespace

TEST(BitmapResources, WindowsLoadsEveryBitmapWithItsSize) {
    const struct {
        int id, width, height;
    } bitmaps[] = {{12, 762, 104}, {13, 42, 2405}, {14, 96, 6},    {15, 96, 6},   {16, 51, 9},
                   {24, 96, 6},    {25, 96, 6},    {128, 135, 215}, {129, 16, 160}, {130, 14, 12}};
    for (const auto& b : bitmaps) {
        HBITMAP bitmap = load(b.id);
        ASSERT_NE(bitmap, nullptr) << b.id;
        BITMAP description = {};
        ASSERT_NE(GetObjectA(bitmap, sizeof description, &description), 0) << b.id;
        EXPECT_EQ(description.bmWidth, b.width) << b.id;
        EXPECT_EQ(description.bmHeight, b.height) << b.id;
        DeleteObject(bitmap);
    }
    EXPECT_EQ(load(17), nullptr);
}

// The painted knobs of the panel and the strip's frame 22 come through the system's loader alike.
TEST(BitmapResources, PanelKnobsMatchTheStripAfterLoading) {
    HBITMAP panel = load(12), strip = load(13);
    ASSERT_NE(panel, nullptr);
    ASSERT_NE(strip, nullptr);
    const std::vector<uint32_t> panelPixels = pixelsOf(panel, 762, 104), stripPixels = pixelsOf(strip, 42, 2405);
    int mismatches = 0;
    for (int y = 0; y < 37; ++y) {
        for (int x = 0; x < 42; ++x) {
            mismatches += panelPixels[size_t(39 + y) * 762 + 423 + x] != stripPixels[size_t(22 * 37 + y) * 42 + x];
        }
    }
    EXPECT_EQ(mismatches, 0);
    // The 8-bit fader handle keeps its white corners, which transparent drawing leaves out.
    HBITMAP handle = load(130);
    ASSERT_NE(handle, nullptr);
    const std::vector<uint32_t> handlePixels = pixelsOf(handle, 14, 12);
    EXPECT_EQ(handlePixels[0], 0xffffffu);
    EXPECT_NE(handlePixels[size_t(3) * 14 + 5], 0xffffffu);
    DeleteObject(panel);
    DeleteObject(strip);
    DeleteObject(handle);
}
