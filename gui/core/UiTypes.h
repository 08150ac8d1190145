// Value types of the toolkit (rectangles, points, colours) and its shared constants; header-only.
#pragma once

#include <cstdint>

// Opaque handle of a platform object (device context, window, bitmap, pen, brush, font, cursor, module).
// Each backend decides what it stores in such a slot; neutral code only copies and null-tests it.
using NativeHandle = void*;

struct UiPoint {
    int32_t h = 0;  // horizontal
    int32_t v = 0;  // vertical
};

// Right and bottom are exclusive for fills and blits; hit tests state their own edge rule.
struct UiRect {
    int32_t left = 0;
    int32_t top = 0;
    int32_t right = 0;
    int32_t bottom = 0;

    int32_t width() const { return right - left; }
    int32_t height() const { return bottom - top; }

    // Half-open on both axes.
    bool contains(const UiPoint& where) const {
        return where.h >= left && where.h < right && where.v >= top && where.v < bottom;
    }
    bool isEmpty() const { return left >= right || top >= bottom; }

    // Intersection in place; the result is never inverted.
    UiRect& boundTo(const UiRect& other) {
        if (left < other.left) left = other.left;
        if (top < other.top) top = other.top;
        if (right > other.right) right = other.right;
        if (bottom > other.bottom) bottom = other.bottom;
        if (bottom < top) bottom = top;
        if (right < left) right = left;
        return *this;
    }

    // All four edges inclusive: the rule of widget hit tests, drop targets and the cursor lookup.
    bool containsInclusive(const UiPoint& where) const {
        return where.h >= left && where.h <= right && where.v >= top && where.v <= bottom;
    }
    // All four edges inclusive, as widgets test for overlap.
    bool overlapsInclusive(const UiRect& other) const {
        return other.right >= left && other.left <= right && other.bottom >= top && other.top <= bottom;
    }
};

// Red, green, blue, alpha: travels as one 32-bit word whose lowest byte is red. Alpha is carried
// along but never influences drawing.
struct UiColor {
    uint8_t red = 0;
    uint8_t green = 0;
    uint8_t blue = 0;
    uint8_t alpha = 0;

    constexpr uint32_t toWord() const {
        return uint32_t(red) | uint32_t(green) << 8 | uint32_t(blue) << 16 | uint32_t(alpha) << 24;
    }
    static constexpr UiColor fromWord(uint32_t word) {
        return UiColor{uint8_t(word), uint8_t(word >> 8), uint8_t(word >> 16), uint8_t(word >> 24)};
    }
    // The low three bytes: the GDI colour value.
    constexpr uint32_t rgb() const { return toWord() & 0x00FFFFFFu; }
    constexpr bool sameRgb(const UiColor& other) const { return rgb() == other.rgb(); }
    constexpr bool operator==(const UiColor& other) const { return toWord() == other.toWord(); }
    constexpr bool operator!=(const UiColor& other) const { return !(*this == other); }
};
static_assert(sizeof(UiColor) == 4, "UiColor travels as one 32-bit word");
static_assert(sizeof(UiPoint) == 8 && sizeof(UiRect) == 16, "plain 32-bit value records");

// The named colours; fixed for the life of the process.
inline constexpr UiColor colourWhite{255, 255, 255, 0};
inline constexpr UiColor colourBlack{0, 0, 0, 0};
inline constexpr UiColor colourGrey{127, 127, 127, 0};
inline constexpr UiColor colourRed{255, 0, 0, 0};
inline constexpr UiColor colourGreen{0, 255, 0, 0};
inline constexpr UiColor colourBlue{0, 0, 255, 0};
inline constexpr UiColor colourYellow{255, 255, 0, 0};
inline constexpr UiColor colourMagenta{255, 0, 255, 0};
inline constexpr UiColor colourCyan{0, 255, 255, 0};
inline constexpr UiColor colourDefaultTransparent{255, 255, 255, 0};  // pixmaps leave this colour out

// Mouse buttons and modifier keys, as getMouseButtons reports them (-1 stands for "no surface to ask").
enum MouseButtons : int32_t {
    MouseLeft = 1,
    MouseMiddle = 2,
    MouseRight = 4,
    KeyShift = 8,
    KeyControl = 16,
    KeyAlt = 32,
};

enum TextAlignment : int32_t { AlignLeft = 0, AlignCentre = 1, AlignRight = 2 };

enum LineStyle : int32_t { LineSolid = 0, LineDotted = 1 };

enum DrawMode : int32_t { DrawCopy = 0, DrawOr = 1, DrawXor = 2 };

// Font style bits of DrawSurface::setFont.
enum FontStyle : int32_t { FontBold = 1, FontItalic = 2, FontUnderline = 4 };

enum CursorKind : int32_t {
    CursorDefault = 0,
    CursorWait = 1,
    CursorHorizontal = 2,
    CursorVertical = 3,
    CursorMove = 4,
    CursorRising = 5,
    CursorFalling = 6,
};

// A key press as the toolkit sees it: the toolkit's own names for the keys its controls react to; the
// editor converts the host's key record at the edge.
enum class UiKeyName : uint8_t { Other, Left, Up, Right, Down };
struct UiKey {
    int32_t character = 0;
    UiKeyName name = UiKeyName::Other;
    bool shift = false;
};

// What a drop delivers: file path strings, or one text pointer with its size in bytes as the count.
enum DropKind : int32_t { DropFiles = 0, DropText = 1 };
