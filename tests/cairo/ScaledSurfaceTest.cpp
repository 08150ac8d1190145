// Drawing at 150 % and 200 %: unit areas tile the device pixels to their last row and column, and a
// shape, text or pen drawn at a scale is the one drawn at 100 % with its coordinates and sizes mapped,
// sizes rounded half up.
#include <gtest/gtest.h>

#include <memory>
#include <string>

#include "gui/core/DrawSurface.h"
#include "gui/core/PluginWindow.h"
#include "gui/core/UiScale.h"
#include "gui/platform/cairo/DeviceContext.h"
#include "gui/platform/cairo/HeadlessWindow.h"
#include "gui/platform/cairo/ScriptedInput.h"

namespace {

// A plug-in window at a scale inside a host frame, with a surface over it; black at first.
struct Canvas {
    explicit Canvas(int32_t percent, int32_t width = 90, int32_t height = 60)
        : host(nullptr, UiRect{0, 0, 400, 300}, true) {
        window = new PluginWindow(UiRect{0, 0, width, height}, host.handle(), nullptr, percent);
        child = HeadlessWindow::fromHandle(window->getChildWindow());
        context = DeviceContext::forWindow(child);
        surface = std::make_unique<DrawSurface>(window, context, child);
        surface->setFillColour(colourBlack);
        surface->fillArea(UiRect{-1, -1, 1000, 1000});
    }
    ~Canvas() {
        surface.reset();
        DeviceContext::release(context);
        delete window;
    }
    uint32_t rgb(int32_t x, int32_t y) const { return child->pixel(x, y).rgb(); }

    HeadlessWindow host;
    PluginWindow* window = nullptr;
    HeadlessWindow* child = nullptr;
    DeviceContext* context = nullptr;
    std::unique_ptr<DrawSurface> surface;
};

// Where the two pictures differ, as "x,y", empty when they are equal.
std::string firstDifference(const Canvas& a, const Canvas& b) {
    for (int32_t y = 0; y < a.child->height(); ++y)
        for (int32_t x = 0; x < a.child->width(); ++x)
            if (a.rgb(x, y) != b.rgb(x, y)) return std::to_string(x) + "," + std::to_string(y);
    return "";
}

UiColor unitColour(int32_t u, int32_t v) { return UiColor{uint8_t(40 + u * 5), uint8_t(30 + v * 20), 0x5A, 0}; }

}  // namespace

TEST(ScaledSurfaceTest, UnitAreasTileTheDevicePixelsToTheirLastRowAndColumn) {
    for (int32_t percent : uiscale::kSteps) {
        SCOPED_TRACE(percent);
        ScriptedInput::instance().reset();
        Canvas canvas(percent);
        // Each unit of a 30 by 10 block filled alone, in a colour of its own; the fill leaves the top row
        // and left column of its rectangle, so (u - 1, v - 1, u + 1, v + 1) is the unit (u, v).
        constexpr int32_t columns = 30, rows = 10;
        for (int32_t v = 0; v < rows; ++v)
            for (int32_t u = 0; u < columns; ++u) {
                canvas.surface->setFillColour(unitColour(u, v));
                canvas.surface->fillArea(UiRect{u - 1, v - 1, u + 1, v + 1});
            }
        const int32_t right = uiscale::toDevice(columns, percent), bottom = uiscale::toDevice(rows, percent);
        int wrong = 0;
        for (int32_t y = 0; y <= bottom; ++y)
            for (int32_t x = 0; x <= right; ++x) {
                const uint32_t expected = x < right && y < bottom
                                              ? unitColour(uiscale::toPanel(x, percent), uiscale::toPanel(y, percent)).rgb()
                                              : 0u;
                if (canvas.rgb(x, y) != expected && ++wrong < 4) ADD_FAILURE() << "pixel " << x << "," << y;
            }
        EXPECT_EQ(wrong, 0);

        // A paint of one device pixel covers the unit that holds it, however it lies in the unit's span.
        for (int32_t x = 0; x < right; ++x) {
            const UiRect covered = uiscale::coveringPanel(UiRect{x, 3, x + 1, 4}, percent);
            const UiRect back = uiscale::toDevice(covered, percent);
            EXPECT_TRUE(back.left <= x && back.right >= x + 1 && back.top <= 3 && back.bottom >= 4) << x;
            EXPECT_EQ(covered.width(), 1) << x;
            EXPECT_EQ(covered.height(), 1) << x;
        }
    }
}

// Text, frames, lines and wide pens at a scale against the same drawn at 100 % at the mapped places:
// odd sizes land on halves at 150 %, which round up (a cell height's magnitude too).
TEST(ScaledSurfaceTest, ShapesTextAndPensAreThe100PercentOnesMappedAndRounded) {
    struct Case {
        int32_t percent, fontSize, deviceFontSize, penWidth, devicePenWidth;
    };
    const Case cases[] = {{150, 9, 14, 3, 5}, {150, 11, 17, 2, 3}, {150, -9, -14, 5, 8}, {200, 7, 14, 3, 6}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.percent << " %, font " << c.fontSize << ", pen " << c.penWidth);
        ScriptedInput::instance().reset();
        Canvas scaled(c.percent), plain(100, uiscale::toDevice(90, c.percent), uiscale::toDevice(60, c.percent));
        auto device = [&](const UiRect& r) { return uiscale::toDevice(r, c.percent); };
        auto devicePoint = [&](const UiPoint& p) { return uiscale::toDevice(p, c.percent); };
        for (Canvas* canvas : {&scaled, &plain}) {
            DrawSurface& s = *canvas->surface;
            const bool mapped = canvas == &plain;
            s.setFontColour(colourWhite);
            s.setFont(2, mapped ? c.deviceFontSize : c.fontSize, 0);
            const UiRect textArea{3, 3, 63, 15};
            s.drawText("Rg 0,5 dB", mapped ? device(textArea) : textArea, false, AlignLeft);
            s.setFrameColour(colourGreen);
            const UiRect frame{5, 18, 41, 27};
            s.drawFrame(mapped ? device(frame) : frame);
            s.setFrameColour(colourRed);
            s.setLineWidth(mapped ? c.devicePenWidth : c.penWidth);
            const UiPoint from{8, 40}, to{70, 47};
            s.moveTo(mapped ? devicePoint(from) : from);
            s.lineTo(mapped ? devicePoint(to) : to);
        }
        EXPECT_EQ(firstDifference(scaled, plain), "");
    }
}
