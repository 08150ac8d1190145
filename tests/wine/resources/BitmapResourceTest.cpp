// BitmapResourceTest: LoadBitmapA finds every bitmap of the resource script, with its size and pixels.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdint>

#include "tests/wine/editor/ScreenImage.h"

namespace {

HBITMAP load(int id) { return LoadBitmapA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(id)); }

}  // namespace

TEST(BitmapResources, WindowsLoadsEveryBitmapWithItsSize) {
    const struct {
        int id, width, height;
    } bitmaps[] = {{12, 762, 104}, {13, 42, 2405}, {14, 96, 6},    {15, 96, 6},   {16, 51, 9},
                   {24, 96, 6},    {25, 96, 6},    {128, 135, 215}, {129, 16, 160}, {130, 14, 12},
                   // The editor's artwork at 150 % and 200 % travels in the module too.
                   {1512, 1143, 156}, {1513, 63, 3640}, {1516, 76, 14}, {2012, 1524, 208}, {2013, 84, 4810},
                   {2025, 192, 12}};
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
    const HMODULE module = GetModuleHandleA(nullptr);
    const ScreenImage panel = ScreenImage::fromResource(module, 12), strip = ScreenImage::fromResource(module, 13);
    ASSERT_FALSE(panel.empty());
    ASSERT_FALSE(strip.empty());
    EXPECT_EQ(panel.compare(423, 39, 42, 37, strip, 0, 22 * 37), "");
    // The 8-bit fader handle keeps its white corners, which transparent drawing leaves out.
    const ScreenImage handle = ScreenImage::fromResource(module, 130);
    ASSERT_FALSE(handle.empty());
    EXPECT_EQ(handle.at(0, 0), 0xffffffu);
    EXPECT_NE(handle.at(5, 3), 0xffffffu);
}
